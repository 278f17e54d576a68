// Sends one message to a top-level window found by its title and prints the
// answer, for the end-to-end tests of the show window's message handling.
// "class:NAME" in place of the title finds the first window of that class.
// Usage: sendmsg "<window title>" <message> <wParam> [lParam]
//        sendmsg "<window title>" activate-other
//        sendmsg "<window title>" move <x> <y>
// Numbers may be decimal or 0x hex. "activate-other" makes a window of its
// own and brings it to the front, so the titled window loses activation.
// "move" moves the window without touching its size (SWP_NOSIZE).
// Exit code 0 when the window was found (and the message sent).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: sendmsg title message wparam [lparam] | sendmsg title activate-other\n");
        return 2;
    }
    const bool byClass = std::strncmp(argv[1], "class:", 6) == 0;
    HWND target = byClass ? FindWindowA(argv[1] + 6, nullptr) : FindWindowA(nullptr, argv[1]);
    if (!target) {
        std::printf("no window \"%s\"\n", argv[1]);
        return 1;
    }
    if (std::strcmp(argv[2], "activate-other") == 0) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QvOtherWindow";
        RegisterClassA(&windowClass);
        HWND other = CreateWindowExA(0, "QvOtherWindow", "other", WS_POPUP | WS_VISIBLE, 850, 650, 100,
                                     100, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetForegroundWindow(other);
        SetActiveWindow(other);
        // Let the activation messages go round before the window goes.
        const DWORD until = GetTickCount() + 1500;
        MSG message;
        while (GetTickCount() < until) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(20);
        }
        std::printf("activated another window\n");
        return 0;
    }
    if (std::strcmp(argv[2], "move") == 0 && argc > 4) {
        const BOOL moved = SetWindowPos(target, nullptr, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0,
                                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        std::printf("moved %d\n", moved ? 1 : 0);
        return moved ? 0 : 1;
    }
    const UINT message = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
    const WPARAM wParam = static_cast<WPARAM>(std::strtoull(argv[3 < argc ? 3 : 2], nullptr, 0));
    const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(std::strtoll(argv[4], nullptr, 0)) : 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(target, message, argc > 3 ? wParam : 0, lParam, SMTO_NORMAL, 5000, &answer)) {
        std::printf("no answer\n");
        return 1;
    }
    std::printf("answer %llu\n", static_cast<unsigned long long>(answer));
    return 0;
}
