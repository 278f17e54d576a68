#pragma once
// Window base class of our framework (Windows builds only). The window
// procedure finds the object and hands each message to a named On... handler;
// a handler that does not want the message calls Default(), which gives it
// the system's default processing. Handlers not overridden do just that.
#include <windows.h>

namespace qv::win {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Registers a window class whose procedure dispatches to Window objects.
    static bool registerClass(HINSTANCE instance, const char* name, UINT style, HICON icon,
                              HCURSOR cursor, HBRUSH background);

    // Creates the window of a class registered above; false on failure.
    bool createWindow(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance);
    void destroyWindow();

    HWND handle() const { return handle_; }
    void postMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Stops the window's timer and starts it again with the delay; a delay
    // of 0 leaves it stopped.
    void rearmTimer(UINT_PTR id, UINT delayMs) const;

protected:
    // Every message comes here first; the default dispatches to the handlers.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The system's default processing of the message being handled; the
    // result becomes the message's answer unless the handler returns its own.
    LRESULT Default();

    virtual void OnCreate(CREATESTRUCTA* create);
    virtual void OnDestroy();
    virtual void OnNcDestroy();  // the last message: the handle is gone after it
    virtual void OnTimer(UINT_PTR id);
    virtual void OnKeyDown(UINT key, UINT flags);
    virtual void OnSysKeyDown(UINT key, UINT flags);
    virtual void OnMouseMove(UINT keys, POINT point);
    virtual void OnLButtonDown(UINT keys, POINT point);
    virtual void OnRButtonDown(UINT keys, POINT point);
    virtual void OnMButtonDown(UINT keys, POINT point);
    virtual void OnLButtonUp(UINT keys, POINT point);
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    virtual void OnActivateApp(BOOL active, DWORD thread);
    virtual void OnKillFocus(HWND newFocus);
    virtual void OnSysCommand(UINT command, LPARAM lParam);
    virtual LRESULT OnNcActivate(BOOL active);
    virtual void OnPaint();
    virtual void OnDrawItem(int id, DRAWITEMSTRUCT* item);
    virtual LRESULT OnQueryEndSession();
    virtual LRESULT OnPowerBroadcast(WPARAM event, LPARAM data);
    virtual LRESULT OnDisplayChange(int bitsPerPixel, int width, int height);
    virtual void OnWindowPosChanging(WINDOWPOS* position);
    virtual void OnCaptureChanged(HWND gaining);
    virtual void OnClose();
    // Any message without a handler of its own.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    // The message being handled, for Default().
    UINT message_ = 0;
    WPARAM wParam_ = 0;
    LPARAM lParam_ = 0;
    LRESULT result_ = 0;
};

}  // namespace qv::win
