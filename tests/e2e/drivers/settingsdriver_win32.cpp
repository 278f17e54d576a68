// Drives a running settings dialog of another process, for the end-to-end
// tests: finds it, reads its controls, selects list items, presses buttons,
// fills the open-file dialog and answers the message dialogs. Commands run
// in order, each printing what it saw, one fact a line:
//
//   settingsdriver VARIANT COMMAND... with COMMAND one of
//     wait              the dialog is up: "caption: ...", "window: x y w h"
//     opening           the dialog is up: "opened: N ms" after its process began
//     idle              the dialog has finished what it was doing
//     probe             the same, asking the dialog's thread all the while
//                       with 100 ms to answer: "progress: ..." lines seen,
//                       "took: N ms", "longest unanswered: N ms"
//     state             items, selection, which buttons are enabled, switches
//     names             "names: a.jpg|b.jpg|..." the items' names
//     text ID           "text ID: ..." of a control
//     select I          selects list item I (-1: none)
//     click NAME        add add-folder delete exchange initialize on off enlarge
//                       fit ok cancel
//     pick PATH         the open-file dialog comes: "file types: ..." its first
//                       filter; PATH is typed and opened
//     pick-folder PATH  the folder picker comes: PATH is typed into its name
//                       field and picked
//     cancel-pick       the open-file dialog comes and is cancelled
//     answer KEY        a message comes: "message: TEXT"; KEY is first or escape
//     closed            the dialog has gone
//     owner PROGRAM ARG  starts PROGRAM ARG<handle> with a window of ours as
//                       owner ("/c:" or "/c "), reports the owner and cancels
//
// Anything that does not come within its time prints "timeout: ..." and the
// driver ends with exit code 1.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32App.h"
#include "variant/Variant.h"

namespace {

const qv::Variant* variant = nullptr;
HWND dialog = nullptr;
constexpr int kFileNameBox = 0x47C;  // the open-file dialog's name field
constexpr int kFileTypesBox = 0x470;  // its list of file types
constexpr int kMessageText = 1050;   // the text of every message dialog

void line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void timeout(const std::string& what) {
    line("timeout: " + what);
    std::exit(1);
}

std::string utf8(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) escaped += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    const int size = WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    // Another process's window: WM_GETTEXT is carried across.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, nullptr);
    return utf8(text);
}

// Keeps our own windows answering (an owner is sent WM_ENABLE) while waiting.
void pump(DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

bool isDialogClass(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wcscmp(name, L"#32770") == 0;
}

// A visible dialog box with a control of that id (the settings dialog's
// list, a message's text, the open-file dialog's name field).
HWND findDialogWith(int controlId) {
    struct Search {
        int id;
        HWND found;
    } search{controlId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (IsWindowVisible(window) && isDialogClass(window) && GetDlgItem(window, s->id)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitFor(int controlId, const char* what, DWORD milliseconds = 30000) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = findDialogWith(controlId)) {
            pump(150);  // let it finish its own start
            return found;
        }
        if (GetTickCount() - start > milliseconds) timeout(what);
        pump(50);
    }
}

HWND settingsDialog() {
    if (!dialog || !IsWindow(dialog)) dialog = waitFor(variant->dialogIds.pictureList, "settings dialog");
    return dialog;
}

HWND control(int id) { return GetDlgItem(settingsDialog(), id); }

std::string rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
           std::to_string(r.bottom - r.top);
}

// True while the dialog's worker runs an operation (the dialog says so on
// its window, for other programs to see).
bool working() { return GetPropW(settingsDialog(), L"QuorVelkBusy") != nullptr; }

// Waits until the dialog has ended its operation and nothing of it is open
// above it. Meanwhile it keeps asking the dialog's thread, each time allowing
// it probeMs to answer: the longest stretch without an answer, the progress
// lines shown and the time it took are printed when report is set.
void idle(bool report = false, UINT probeMs = 1000) {
    const DWORD start = GetTickCount();
    DWORD longest = 0;
    DWORD silentSince = 0;
    bool silent = false;
    std::vector<std::string> progress;
    for (;;) {
        DWORD_PTR answer = 0;
        const DWORD asked = GetTickCount();
        const bool free = SendMessageTimeoutW(settingsDialog(), WM_NULL, 0, 0, SMTO_NORMAL, probeMs, &answer) != 0;
        const DWORD now = GetTickCount();
        if (!silent) silentSince = asked;
        silent = !free;
        longest = std::max<DWORD>(longest, now - silentSince);
        if (report && free && IsWindowVisible(control(variant->dialogIds.progressText))) {
            const std::string text = textOf(control(variant->dialogIds.progressText));
            if (progress.empty() || progress.back() != text) progress.push_back(text);
        }
        if (free && !working() && IsWindowEnabled(settingsDialog()) && !findDialogWith(kMessageText) &&
            !findDialogWith(kFileNameBox))
            break;
        if (now - start > 60000) timeout("idle");
        if (report) {
            Sleep(10);
        } else {
            pump(50);
        }
    }
    if (!report) return;
    for (const std::string& text : progress) line("progress: " + text);
    line("took: " + std::to_string(GetTickCount() - start) + " ms");
    line("longest unanswered: " + std::to_string(longest) + " ms");
}

std::string onOff(HWND window) { return IsWindowEnabled(window) ? "on" : "off"; }
bool checked(int id) { return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void state() {
    const qv::SettingsDialogIds& ids = variant->dialogIds;
    HWND list = control(ids.pictureList);
    line("items: " + std::to_string(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    line("selected: " + std::to_string(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)));
    line("add: " + onOff(control(ids.addButton)));
    line("delete: " + onOff(control(ids.deleteButton)));
    line("exchange: " + onOff(control(ids.exchangeButton)));
    line("initialize: " + onOff(control(ids.initializeButton)));
    line(std::string("music: ") + (checked(ids.musicOn) ? "on" : checked(ids.musicOff) ? "off" : "none"));
    line(std::string("view: ") + (checked(ids.enlarge) ? "enlarge" : checked(ids.fitScreen) ? "fit" : "none"));
}

// LVM_SETITEMSTATE takes a pointer, read in the list's own process: the
// item goes there first.
void select(int index) {
    HWND list = control(variant->dialogIds.pictureList);
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (!remote) timeout("memory in the dialog's process");
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (index >= 0) {
        // Nothing selected first, so the notices run as a click would make them.
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(remote));
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
    }
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    line("selected " + std::to_string(index));
}

// Every item's name, read through the list in the dialog's own process.
void names() {
    HWND list = control(variant->dialogIds.pictureList);
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE, pid);
    constexpr int kChars = 260;
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                            MEM_COMMIT, PAGE_READWRITE)
                           : nullptr;
    if (!remote) timeout("memory in the dialog's process");
    auto* text = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    std::string all;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = kChars;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(remote));
        wchar_t name[kChars] = {};
        ReadProcessMemory(process, text, name, sizeof name, nullptr);
        name[kChars - 1] = L'\0';
        all += (i ? "|" : "") + utf8(name);
    }
    // The first item's picture: as large as the list draws its thumbnails.
    RECT box{};
    box.left = LVIR_ICON;
    WriteProcessMemory(process, remote, &box, sizeof box, nullptr);
    if (count > 0 && SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(remote)))
        ReadProcessMemory(process, remote, &box, sizeof box, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    line("names: " + all);
    line("icon: " + std::to_string(box.right - box.left) + " x " + std::to_string(box.bottom - box.top));
}

// How long after its process started the dialog was up and answering:
// "opened: N ms". Looked for every 5 ms.
void opening() {
    HWND found = nullptr;
    const DWORD start = GetTickCount();
    while (!(found = findDialogWith(variant->dialogIds.pictureList))) {
        if (GetTickCount() - start > 30000) timeout("settings dialog");
        Sleep(5);
    }
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process, &created, &exited, &kernel, &user)) timeout("process times");
    CloseHandle(process);
    auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    line("opened: " + std::to_string((ticks(now) - ticks(created)) / 10000) + " ms");
    dialog = found;
}

int buttonId(const std::string& name) {
    const qv::SettingsDialogIds& ids = variant->dialogIds;
    if (name == "add") return ids.addButton;
    if (name == "add-folder") return ids.addFolderButton;
    if (name == "delete") return ids.deleteButton;
    if (name == "exchange") return ids.exchangeButton;
    if (name == "initialize") return ids.initializeButton;
    if (name == "on") return ids.musicOn;
    if (name == "off") return ids.musicOff;
    if (name == "enlarge") return ids.enlarge;
    if (name == "fit") return ids.fitScreen;
    if (name == "ok") return IDOK;
    if (name == "cancel") return IDCANCEL;
    return std::atoi(name.c_str());
}

void click(const std::string& name) {
    // The click returns once the dialog has taken it: its work goes on in
    // the dialog's worker, so whatever is asked next sees it under way.
    // (Closing buttons end the dialog, which may then be gone.)
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control(buttonId(name)), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
    line("clicked " + name);
}

void pick(const std::string& path) {
    HWND files = waitFor(kFileNameBox, "open-file dialog");
    line("file dialog: " + textOf(files));
    line("file types: " + textOf(GetDlgItem(files, kFileTypesBox)));
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), int(wide.size())) - 1);
    SendMessageW(GetDlgItem(files, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PostMessageW(files, WM_COMMAND, IDOK, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(files) && GetTickCount() - start < 30000) pump(50);
    line("picked " + path);
}

// The folder picker: a dialog owned by the settings dialog other than a
// message or the open-file dialog, with an edit field somewhere inside.
HWND folderPicker() {
    struct Search {
        HWND owner;
        HWND found;
    } search{settingsDialog(), nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (window != s->owner && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == s->owner &&
                !GetDlgItem(window, kMessageText)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND firstEdit(HWND parent) {
    HWND found = nullptr;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(child, name, 16);
            if (_wcsicmp(name, L"Edit") != 0 || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(data) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void pickFolder(const std::string& path) {
    const DWORD start = GetTickCount();
    HWND picker = nullptr;
    while (!(picker = folderPicker())) {
        if (GetTickCount() - start > 30000) timeout("folder picker");
        pump(50);
    }
    pump(500);
    line("folder picker: " + textOf(picker));
    HWND name = firstEdit(picker);
    if (!name) timeout("folder picker's name field");
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), int(wide.size())) - 1);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PostMessageW(picker, WM_COMMAND, IDOK, 0);
    const DWORD sent = GetTickCount();
    while (IsWindow(picker) && IsWindowVisible(picker) && GetTickCount() - sent < 15000) pump(50);
    if (IsWindow(picker) && IsWindowVisible(picker)) timeout("folder picker closing");
    line("picked folder " + path);
}

void answer(const std::string& key) {
    const DWORD start = GetTickCount();
    HWND message = nullptr;
    bool told = false;
    while (!(message = findDialogWith(kMessageText))) {
        if (!told && findDialogWith(kFileNameBox)) {
            line("file dialog came instead");
            told = true;
        }
        if (GetTickCount() - start > 30000) timeout("message");
        pump(50);
    }
    pump(150);
    line("message: " + textOf(GetDlgItem(message, kMessageText)));
    if (key == "escape") {
        // Through the dialog manager, as a key press goes.
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(message, nullptr), &info);
        HWND target = info.hwndFocus ? info.hwndFocus : message;
        PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    } else {
        PostMessageW(message, WM_COMMAND, IDOK, 0);
    }
    while (IsWindow(message) && GetTickCount() - start < 40000) pump(50);
}

void closed() {
    const DWORD start = GetTickCount();
    while (findDialogWith(variant->dialogIds.pictureList)) {
        if (GetTickCount() - start > 30000) timeout("dialog to close");
        pump(50);
    }
    line("closed");
}

// Starts the program for its settings with a window of ours named as owner.
void owner(const std::string& program, const std::string& option) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QvSettingsOwner";
    RegisterClassW(&windowClass);
    HWND mine = CreateWindowExW(0, L"QvSettingsOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
    std::string command = "\"" + program + "\" " + option +
                          std::to_string(reinterpret_cast<UINT_PTR>(mine));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        timeout("start of " + program);
    dialog = nullptr;
    HWND settings = settingsDialog();
    line(std::string("owner is ours: ") + (GetWindow(settings, GW_OWNER) == mine ? "yes" : "no"));
    line(std::string("ours while it runs: ") + (IsWindowEnabled(mine) ? "enabled" : "disabled"));
    PostMessageW(control(IDCANCEL), BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(started.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() - start < 30000) pump(50);
    line(std::string("ours afterwards: ") + (IsWindowEnabled(mine) ? "enabled" : "disabled"));
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    DestroyWindow(mine);
    dialog = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || !(variant = qv::findVariant(argv[1][0]))) {
        line("usage: settingsdriver VARIANT COMMAND...");
        return 2;
    }
    // In UTF-8 from the wide command line: a path may hold any character.
    const std::vector<std::string> all = qv::win::commandLineArguments();
    std::vector<std::string> args(all.begin() + 1, all.end());
    auto next = [&](std::size_t& i) -> std::string {
        if (i + 1 >= args.size()) {
            line("missing argument after " + args[i]);
            std::exit(2);
        }
        return args[++i];
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& command = args[i];
        if (command == "wait") {
            dialog = nullptr;
            line("caption: " + textOf(settingsDialog()));
            line("window: " + rect(settingsDialog()));
        } else if (command == "opening") {
            opening();
        } else if (command == "idle") {
            idle();
        } else if (command == "probe") {
            idle(true, 100);
        } else if (command == "state") {
            state();
        } else if (command == "names") {
            names();
        } else if (command == "text") {
            const std::string id = next(i);
            line("text " + id + ": " + textOf(control(std::atoi(id.c_str()))));
        } else if (command == "select") {
            select(std::atoi(next(i).c_str()));
        } else if (command == "click") {
            click(next(i));
        } else if (command == "pick") {
            pick(next(i));
        } else if (command == "pick-folder") {
            pickFolder(next(i));
        } else if (command == "cancel-pick") {
            PostMessageW(waitFor(kFileNameBox, "open-file dialog"), WM_COMMAND, IDCANCEL, 0);
            line("file dialog cancelled");
        } else if (command == "answer") {
            answer(next(i));
        } else if (command == "closed") {
            closed();
        } else if (command == "owner") {
            const std::string program = next(i);
            owner(program, next(i));
        } else {
            line("unknown command " + command);
            return 2;
        }
    }
    return 0;
}
