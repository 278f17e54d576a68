// Photo import driver for the end-to-end tests: runs the picture check, the
// conversion, the first-run preparation or one message dialog of a variant
// with the real Windows adapters, and prints what happened, one fact a line.
//
//   qvimport validate VARIANT SOURCE [--dialogs MODULE]
//   qvimport convert VARIANT SOURCE SLOT FOLDER [--silent] [--dialogs MODULE]
//   qvimport prepare VARIANT [--dialogs MODULE]
//   qvimport message VARIANT KIND MODULE
//   qvimport store VARIANT read-string NAME | read-dword NAME DEFAULT |
//                          remove COUNT SLOT FOLDER
//
// Messages are recorded ("message: MsgUnsupportedFile") instead of shown,
// unless --dialogs names a program whose dialog templates to show them from.
// "message" shows one dialog from MODULE, prints its caption, text and
// buttons as soon as it is up, and then the button that ended it
// ("result: 1" or "result: 2"); the test presses the keys.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ports/MessagePort.h"
#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"
#include "settings/DefaultPictures.h"
#include "variant/Variant.h"

namespace {

using namespace qv;

constexpr int kMessageTextId = 1050;  // the text control of every message template

const char* const kKindNames[] = {
    "MsgAlreadyListed",   "MsgConfirmRemove",   "MsgConfirmInitialize", "MsgListFull",
    "MsgUnsupportedFile", "MsgPictureTooLarge", "MsgOutOfMemory",       "MsgCannotDeleteAll",
    "MsgCannotSavePicture", "MsgFolderWithoutPictures",
};

const char* kindName(MessageKind kind) { return kKindNames[static_cast<int>(kind)]; }

bool kindByName(const std::string& name, MessageKind& kind) {
    for (int i = 0; i < static_cast<int>(sizeof kKindNames / sizeof kKindNames[0]); ++i)
        if (name == kKindNames[i]) {
            kind = static_cast<MessageKind>(i);
            return true;
        }
    return false;
}

void line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// UTF-8 with line breaks spelt "\n", so a text stays on one output line.
std::string printable(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\n') escaped += L"\\n";
        else if (c == L'\r') escaped += L"\\r";
        else escaped += c;
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

class RecordingMessages : public MessagePort {
public:
    void restoreArrowCursor() override {}
    int showMessage(MessageKind kind) override {
        line(std::string("message: ") + kindName(kind));
        return kMsgFirstButton;
    }
};

// Messages shown as real dialogs, each also reported on stdout.
class ReportingMessages : public MessagePort {
public:
    ReportingMessages(const Variant& variant, HINSTANCE module) : dialogs_(variant, module) {}
    void restoreArrowCursor() override { dialogs_.restoreArrowCursor(); }
    int showMessage(MessageKind kind) override {
        line(std::string("message: ") + kindName(kind));
        const int result = dialogs_.showMessage(kind);
        line("message result: " + std::to_string(result));
        return result;
    }

private:
    win::Win32Messages dialogs_;
};

HINSTANCE loadResources(const char* path) {
    HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        line("cannot load " + std::string(path) + " (error " + std::to_string(GetLastError()) + ")");
        std::exit(2);
    }
    return module;
}

// Watches for the message dialog captioned with the product name and prints
// what it shows, once it is up.
struct DialogWatch {
    std::wstring caption;
    HANDLE thread = nullptr;

    static DWORD WINAPI run(void* self) {
        auto* watch = static_cast<DialogWatch*>(self);
        for (int i = 0; i < 200; ++i) {
            HWND dialog = FindWindowW(L"#32770", watch->caption.c_str());
            if (dialog && IsWindowVisible(dialog)) {
                Sleep(200);  // let it paint before anyone takes a picture
                line("caption: " + printable(windowText(dialog)));
                line("text: " + printable(windowText(GetDlgItem(dialog, kMessageTextId))));
                HWND first = GetDlgItem(dialog, IDOK);
                HWND second = GetDlgItem(dialog, IDCANCEL);
                line("button1: " + (first ? printable(windowText(first)) : std::string("-")));
                line("button2: " + (second ? printable(windowText(second)) : std::string("-")));
                const LONG style = GetWindowLongW(dialog, GWL_STYLE);
                line(std::string("system menu: ") + ((style & WS_SYSMENU) ? "yes" : "no"));
                RECT box{};
                GetWindowRect(dialog, &box);
                line("window: " + std::to_string(box.left) + " " + std::to_string(box.top) + " " +
                     std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top));
                RECT textBox{};
                GetWindowRect(GetDlgItem(dialog, kMessageTextId), &textBox);
                line("text box: " + std::to_string(textBox.left) + " " + std::to_string(textBox.top) + " " +
                     std::to_string(textBox.right - textBox.left) + " " +
                     std::to_string(textBox.bottom - textBox.top));
                line("shown");
                return 0;
            }
            Sleep(50);
        }
        line("no dialog appeared");
        return 1;
    }
};

int usage() {
    line("usage: qvimport validate|convert|prepare|message|store VARIANT ...");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    win::adoptAnsiCodePage();
    const std::string command = argv[1];
    const Variant* variant = findVariant(argv[2][0]);
    if (!variant || argv[2][1] != '\0') return usage();

    // Options after the positional arguments.
    std::vector<std::string> positional;
    bool silent = false;
    const char* dialogModule = nullptr;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--silent") == 0) silent = true;
        else if (std::strcmp(argv[i], "--dialogs") == 0 && i + 1 < argc) dialogModule = argv[++i];
        else positional.push_back(argv[i]);
    }

    if (command == "message") {
        MessageKind kind;
        if (positional.size() != 2 || !kindByName(positional[0], kind)) return usage();
        win::Win32Messages dialogs(*variant, loadResources(positional[1].c_str()));
        DialogWatch watch;
        const std::string caption = variant->productName;
        watch.caption.assign(caption.begin(), caption.end());
        watch.thread = CreateThread(nullptr, 0, &DialogWatch::run, &watch, 0, nullptr);
        dialogs.restoreArrowCursor();
        const int result = dialogs.showMessage(kind);
        WaitForSingleObject(watch.thread, 15000);
        CloseHandle(watch.thread);
        line("result: " + std::to_string(result));
        return 0;
    }

    if (command == "store") {
        // The settings store on the real registry, one operation a run.
        win::Win32Registry registry;
        SettingsStore store(registry, *variant);
        const std::string operation = positional.empty() ? "" : positional[0];
        if (operation == "read-string" && positional.size() == 2) {
            line("value: " + store.ReadStringOrError(positional[1]));
        } else if (operation == "read-dword" && positional.size() == 3) {
            line("value: " + std::to_string(store.ReadDword(positional[1], std::atoi(positional[2].c_str()))));
        } else if (operation == "remove" && positional.size() == 4) {
            const int count = std::atoi(positional[1].c_str());
            const int slot = std::atoi(positional[2].c_str());
            const bool ok = store.RemovePicture(photoValueName(slot), positional[3], count, slot);
            line(ok ? "removed" : "not removed");
        } else {
            return usage();
        }
        return 0;
    }

    std::unique_ptr<MessagePort> messages;
    if (dialogModule) messages = std::make_unique<ReportingMessages>(*variant, loadResources(dialogModule));
    else messages = std::make_unique<RecordingMessages>();
    win::Win32Files files;
    win::Win32Decoder decoder;
    PhotoImport import(*variant, files, decoder, *messages, win::screenHeight());
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
    };

    if (command == "validate") {
        if (positional.size() != 1) return usage();
        const bool accepted = import.ValidatePicture(positional[0]);
        line(accepted ? "accepted" : "rejected");
        line("milliseconds: " + elapsed());
        return 0;
    }
    if (command == "convert") {
        if (positional.size() != 3) return usage();
        const int slot = std::atoi(positional[1].c_str());
        const Conversion result = import.ConvertPicture(positional[0], slot, positional[2], silent);
        line(result ? "success" : "failure");
        line("output: " + result.path);
        line("milliseconds: " + elapsed());
        return 0;
    }
    if (command == "prepare") {
        if (!positional.empty()) return usage();
        win::Win32Registry registry;
        const DefaultPictures result =
            prepareDefaultPictures(*variant, win::applicationDataFolder(), files, registry, import);
        line("folder: " + result.folder);
        line("seeded: " + std::to_string(result.seeded ? 1 : 0));
        line("failed stills: " + std::to_string(result.failedStills));
        line("end show early: " + std::to_string(result.endShowEarly ? 1 : 0));
        line("milliseconds: " + elapsed());
        return 0;
    }
    return usage();
}
