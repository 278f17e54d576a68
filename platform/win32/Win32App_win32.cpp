#include "platform/win32/Win32App.h"

#include <shellapi.h>

#include "platform/win32/WideText.h"

namespace qv::win {

namespace {
Application* g_application = nullptr;
constexpr UINT kSystemTimer = 0x0118;  // the caret blink timer: no new work
}  // namespace

Application::Application() { g_application = this; }

Application::~Application() {
    if (g_application == this) g_application = nullptr;
}

Application* Application::current() { return g_application; }

int Application::run(HINSTANCE instance, std::vector<std::string> arguments) {
    instance_ = instance;
    arguments_ = std::move(arguments);
    if (InitInstance()) quitCode_ = messageLoop();
    return ExitInstance();
}

bool Application::OnIdle(long) { return false; }

int Application::ExitInstance() { return quitCode_; }

bool Application::PreTranslateMessage(MSG&) { return false; }

bool Application::isIdleMessage(const MSG& message) {
    // Painting and caret blinks bring no work for the idle hook, and neither
    // does a mouse move that did not move.
    if (message.message == WM_PAINT || message.message == kSystemTimer) return false;
    if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
        if (message.message == lastMoveMessage_ && message.pt.x == lastMovePoint_.x &&
            message.pt.y == lastMovePoint_.y)
            return false;
        lastMoveMessage_ = message.message;
        lastMovePoint_ = message.pt;
    }
    return true;
}

int Application::messageLoop() {
    MSG message{};
    bool idle = true;
    long idleCount = 0;
    for (;;) {
        // Idle work while nothing is waiting.
        while (idle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        // Then wait for messages (GetMessage blocks) and handle every one
        // that is queued before going idle again.
        do {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) return static_cast<int>(message.wParam);
            if (got == -1) return -1;
            if (!PreTranslateMessage(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (isIdleMessage(message)) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    }
}

std::vector<std::string> commandLineArguments() {
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return result;
    // In UTF-8 as every text of the core; an argument no UTF-8 can hold
    // (a lone surrogate) stays in as an empty one, so later ones keep
    // their places.
    for (int i = 1; i < count; ++i) result.push_back(fromWide(wide[i]).value_or(std::string()));
    LocalFree(wide);
    return result;
}

}  // namespace qv::win
