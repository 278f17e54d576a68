#pragma once
// Our application object over plain Win32 (Windows builds only): a start
// hook, an idle hook that runs while the message queue is empty, and an exit
// hook. The loop waits for messages when idle work is done; it never polls.
#include <windows.h>

#include <string>
#include <vector>

namespace qv::win {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The one application object of the process, or nullptr.
    static Application* current();

    // Runs the start hook, the message loop when it asks for it, and the exit
    // hook; returns the exit hook's result as the process exit code.
    int run(HINSTANCE instance, std::vector<std::string> arguments);

    HINSTANCE instance() const { return instance_; }
    // The command-line arguments after the program name.
    const std::vector<std::string>& arguments() const { return arguments_; }

    // The window whose destruction ends the program (informational; the
    // window posts the quit message itself).
    void setMainWindow(HWND window) { mainWindow_ = window; }
    HWND mainWindow() const { return mainWindow_; }

protected:
    // Start hook: true runs the message loop, false ends the program.
    virtual bool InitInstance() = 0;
    // Idle hook, called while the queue is empty with a count that restarts
    // at 0 after each message that may bring new work. Return true to be
    // called again before the loop waits, false when there is nothing more.
    virtual bool OnIdle(long count);
    // Exit hook: runs after the loop (or after a start hook that said no);
    // its result is the exit code. The default gives the quit message's code.
    virtual int ExitInstance();
    // A chance to take a message before it is dispatched (modeless dialogs).
    virtual bool PreTranslateMessage(MSG& message);

    int quitCode() const { return quitCode_; }

private:
    int messageLoop();
    bool isIdleMessage(const MSG& message);

    HINSTANCE instance_ = nullptr;
    std::vector<std::string> arguments_;
    HWND mainWindow_ = nullptr;
    int quitCode_ = 0;
    POINT lastMovePoint_{-1, -1};
    UINT lastMoveMessage_ = 0;
};

// The arguments after the program name, in UTF-8, split as the
// C runtime splits a command line.
std::vector<std::string> commandLineArguments();

}  // namespace qv::win
