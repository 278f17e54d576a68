// Preview host for the end-to-end tests: plays the part of the display
// settings. Makes a 152 x 112 window of its own (a popup, so its client area
// is the whole window, at X, Y on the screen), starts a screen saver with the
// preview switch and that window's handle, keeps the window HOLD
// milliseconds while pumping its messages (the test takes screenshots
// meanwhile), destroys it and times how long the saver takes to end.
// Usage: previewhost <program.scr> [SWITCH [HOLD [X Y | desktop]]]
//   SWITCH: "/p" (default) or "-p" pass the handle as the next argument;
//           "/p:" glues it on.  HOLD: default 3500.
// Exit code 0 when the saver stayed while the window existed and ended with
// exit code 0 within one second after it went.
// With "desktop" the saver gets the desktop window instead (which is never
// destroyed: the saver is ended after HOLD). Wine 8 shows nothing of a child
// window inside another program's window, but a child of the desktop is a
// window of its own there: on a screen of 152 x 112 it is the preview at
// its usual size, and screenshots see it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Handles the host window's messages until the deadline or the process ends;
// true when the process ended.
bool pumpUntil(HANDLE process, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
        const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE,
                                                       static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: previewhost program.scr [switch [hold-ms [x y]]]\n");
        return 2;
    }
    const std::string option = argc > 2 ? argv[2] : "/p";
    const DWORD hold = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 3500;
    const bool desktop = argc == 5 && std::string(argv[4]) == "desktop";
    const int x = argc > 5 ? std::atoi(argv[4]) : 0;
    const int y = argc > 5 ? std::atoi(argv[5]) : 0;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "QvPreviewHost";
    RegisterClassA(&windowClass);
    HWND host = desktop ? GetDesktopWindow()
                        : CreateWindowExA(0, "QvPreviewHost", "preview host", WS_POPUP | WS_CLIPCHILDREN,
                                          x, y, 152, 112, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!host) {
        std::printf("could not make the host window\n");
        return 2;
    }
    // Shown without activation: Wine without a window manager waits 2 s
    // for an activated window to be withdrawn when it is destroyed, which
    // would be timed as the saver's.
    if (!desktop) ShowWindow(host, SW_SHOWNOACTIVATE);

    const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(host));
    const bool glued = !option.empty() && option.back() == ':';
    std::string command = "\"" + std::string(argv[1]) + "\" " + option + (glued ? "" : " ") + handle;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("could not start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    std::printf("started: %s\n", command.c_str());
    std::fflush(stdout);

    const bool stayed = !pumpUntil(process.hProcess, hold);
    std::printf("saver stayed while the window existed: %s\n", stayed ? "yes" : "no");
    if (desktop) {
        TerminateProcess(process.hProcess, 0);
        return stayed ? 0 : 1;
    }
    // The saver's window inside ours.
    if (HWND child = FindWindowExA(host, nullptr, nullptr, nullptr)) {
        RECT client{};
        GetClientRect(child, &client);
        char name[64] = "";
        GetClassNameA(child, name, sizeof(name));
        std::printf("child window: %s %ldx%ld %s\n", name, client.right, client.bottom,
                    IsWindowEnabled(child) ? "enabled" : "disabled");
    } else {
        std::printf("child window: none\n");
    }
    const ULONGLONG destroyed = GetTickCount64();
    DestroyWindow(host);
    std::printf("destroying the window took %llu ms\n", GetTickCount64() - destroyed);
    const bool ended = pumpUntil(process.hProcess, 8000);
    const ULONGLONG took = GetTickCount64() - destroyed;
    if (ended) std::printf("saver ended %llu ms after the window went\n", took);
    else std::printf("saver did not end within 8 s after the window went\n");
    DWORD code = 1;
    if (ended) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 1);
    std::printf("saver exit code: %lu\n", code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return stayed && ended && took <= 1000 && code == 0 ? 0 : 1;
}
