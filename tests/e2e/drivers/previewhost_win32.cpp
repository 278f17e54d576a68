// Preview host for the end-to-end tests: makes a window of its own, starts
// a screen saver with "/p <that window>", and checks that the saver stays
// while the window exists and ends by itself, with exit code 0, once the
// window is gone. Usage: previewhost <program.scr>; exit code 0 when all held.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: previewhost program.scr\n");
        return 2;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QvPreviewHost";
    RegisterClassA(&windowClass);
    HWND host = CreateWindowExA(0, "QvPreviewHost", "preview host", WS_OVERLAPPEDWINDOW, 0, 0, 152,
                                112, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!host) {
        std::printf("could not make the host window\n");
        return 2;
    }

    std::string command = "\"" + std::string(argv[1]) + "\" /p " +
                          std::to_string(reinterpret_cast<UINT_PTR>(host));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("could not start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }

    // Longer than the saver's one-second check, so a saver that ignored the
    // window would have had time to notice it and wrongly end.
    const bool stayed = WaitForSingleObject(process.hProcess, 3500) == WAIT_TIMEOUT;
    std::printf("saver stayed while the window existed: %s\n", stayed ? "yes" : "no");
    DestroyWindow(host);
    const bool ended = WaitForSingleObject(process.hProcess, 8000) == WAIT_OBJECT_0;
    std::printf("saver ended after the window went: %s\n", ended ? "yes" : "no");
    DWORD code = 1;
    if (ended) GetExitCodeProcess(process.hProcess, &code);
    else TerminateProcess(process.hProcess, 1);
    std::printf("saver exit code: %lu\n", code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return stayed && ended && code == 0 ? 0 : 1;
}
