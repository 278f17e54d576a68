// Checks our application object under Wine: the start hook decides whether
// the loop runs, the idle hook runs only when the queue has run empty after
// new work (never in a loop while nothing happens), the exit hook always
// runs and gives the exit code. Exit code 0 when every check held.
#include <windows.h>

#include <cstdio>

#include "platform/win32/Win32App.h"

namespace {

int failures = 0;
void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

class ProbeApp : public qv::win::Application {
public:
    bool runLoop = true;
    long idleCalls = 0;
    long timerMessages = 0;
    bool exited = false;
    bool idleSawEmptyQueue = true;
    bool secondIdleCall = false;

protected:
    bool InitInstance() override {
        if (!runLoop) return false;
        // A thread timer every 20 ms for 30 ticks, then the quit message.
        SetTimer(nullptr, 0, 20, nullptr);
        return true;
    }
    bool OnIdle(long count) override {
        ++idleCalls;
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) idleSawEmptyQueue = false;
        // Ask for one more idle call after the first, then nothing more.
        if (count == 1) secondIdleCall = true;
        return count == 0;
    }
    bool PreTranslateMessage(MSG& message) override {
        if (message.message == WM_TIMER && ++timerMessages == 30) PostQuitMessage(7);
        return false;
    }
    int ExitInstance() override {
        exited = true;
        return quitCode() + 100;
    }
};

}  // namespace

int main() {
    ProbeApp app;
    check(qv::win::Application::current() == &app, "the application object is the current one");
    const int code = app.run(GetModuleHandleW(nullptr), {"/x"});
    check(code == 107, "the exit hook's result, built on the quit code, is returned");
    check(app.exited, "the exit hook ran after the loop");
    check(app.arguments().size() == 1 && app.arguments()[0] == "/x", "the arguments are kept");
    check(app.timerMessages == 30, "every timer message was dispatched");
    check(app.idleSawEmptyQueue, "the idle hook only runs when the queue is empty");
    check(app.secondIdleCall, "an idle hook that asks for more is called again");
    // Two idle calls per timer message at most (the first asks for one
    // more), plus the start: anything above means the loop spins.
    std::printf("idle calls: %ld for %ld timer messages\n", app.idleCalls, app.timerMessages);
    check(app.idleCalls <= 2 * (app.timerMessages + 1), "the idle hook does not spin while nothing happens");
    check(app.idleCalls >= app.timerMessages, "each timer message gives the idle hook its turn");

    ProbeApp refused;
    refused.runLoop = false;
    const int refusedCode = refused.run(GetModuleHandleW(nullptr), {});
    check(refused.exited && refused.idleCalls == 0 && refusedCode == 100,
          "a start hook that says no skips the loop but not the exit hook");
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
