#include "platform/win32/Win32Window.h"

#include <windowsx.h>

namespace qv::win {

Window::~Window() {
    if (handle_) {
        // The object goes first: detach so late messages get default handling.
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

bool Window::registerClass(HINSTANCE instance, const char* name, UINT style, HICON icon,
                           HCURSOR cursor, HBRUSH background) {
    WNDCLASSA windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = &Window::staticProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (RegisterClassA(&windowClass)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::createWindow(DWORD exStyle, const char* className, const char* title, DWORD style,
                          int x, int y, int width, int height, HWND parent, HMENU menu,
                          HINSTANCE instance) {
    // The object travels in the creation parameter so that even the first
    // messages (WM_NCCREATE, WM_CREATE) reach it.
    HWND made = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                                instance, this);
    if (!made) return false;
    handle_ = made;
    return true;
}

void Window::destroyWindow() {
    if (handle_) DestroyWindow(handle_);
}

void Window::postMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (handle_) PostMessageA(handle_, message, wParam, lParam);
}

void Window::rearmTimer(UINT_PTR id, UINT delayMs) const {
    if (!handle_) return;
    KillTimer(handle_, id);
    if (delayMs) SetTimer(handle_, id, delayMs, nullptr);
}

LRESULT CALLBACK Window::staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->handle_ = window;
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);

    // Keep the outer message for Default() across nested (sent) messages.
    const UINT savedMessage = self->message_;
    const WPARAM savedW = self->wParam_;
    const LPARAM savedL = self->lParam_;
    const LRESULT savedResult = self->result_;
    self->message_ = message;
    self->wParam_ = wParam;
    self->lParam_ = lParam;
    self->result_ = 0;
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    self->message_ = savedMessage;
    self->wParam_ = savedW;
    self->lParam_ = savedL;
    self->result_ = savedResult;

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
    }
    return result;
}

LRESULT Window::Default() {
    result_ = DefWindowProcA(handle_, message_, wParam_, lParam_);
    return result_;
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_CREATE: OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam)); return result_;
        case WM_DESTROY: OnDestroy(); return result_;
        case WM_NCDESTROY: OnNcDestroy(); return result_;
        case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return result_;
        case WM_KEYDOWN: OnKeyDown(static_cast<UINT>(wParam), HIWORD(lParam)); return result_;
        case WM_SYSKEYDOWN: OnSysKeyDown(static_cast<UINT>(wParam), HIWORD(lParam)); return result_;
        case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), point); return result_;
        case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), point); return result_;
        case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), point); return result_;
        case WM_MBUTTONDOWN: OnMButtonDown(static_cast<UINT>(wParam), point); return result_;
        case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), point); return result_;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
            return result_;
        case WM_ACTIVATEAPP: OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam)); return result_;
        case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return result_;
        case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wParam), lParam); return result_;
        case WM_NCACTIVATE: return OnNcActivate(static_cast<BOOL>(wParam));
        case WM_PAINT: OnPaint(); return result_;
        case WM_DRAWITEM:
            OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return result_;
        case WM_QUERYENDSESSION: return OnQueryEndSession();
        case WM_POWERBROADCAST: return OnPowerBroadcast(wParam, lParam);
        case WM_DISPLAYCHANGE:
            return OnDisplayChange(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return result_;
        case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lParam)); return result_;
        case WM_CLOSE: OnClose(); return result_;
        default: return OnMessage(message, wParam, lParam);
    }
}

void Window::OnCreate(CREATESTRUCTA*) { Default(); }
void Window::OnDestroy() { Default(); }
void Window::OnNcDestroy() { Default(); }
void Window::OnTimer(UINT_PTR) { Default(); }
void Window::OnKeyDown(UINT, UINT) { Default(); }
void Window::OnSysKeyDown(UINT, UINT) { Default(); }
void Window::OnMouseMove(UINT, POINT) { Default(); }
void Window::OnLButtonDown(UINT, POINT) { Default(); }
void Window::OnRButtonDown(UINT, POINT) { Default(); }
void Window::OnMButtonDown(UINT, POINT) { Default(); }
void Window::OnLButtonUp(UINT, POINT) { Default(); }
void Window::OnActivate(UINT, HWND, BOOL) { Default(); }
void Window::OnActivateApp(BOOL, DWORD) { Default(); }
void Window::OnKillFocus(HWND) { Default(); }
void Window::OnSysCommand(UINT, LPARAM) { Default(); }
LRESULT Window::OnNcActivate(BOOL) { return Default(); }
void Window::OnPaint() { Default(); }
void Window::OnDrawItem(int, DRAWITEMSTRUCT*) { Default(); }
LRESULT Window::OnQueryEndSession() { return Default(); }
LRESULT Window::OnPowerBroadcast(WPARAM, LPARAM) { return Default(); }
LRESULT Window::OnDisplayChange(int, int, int) { return Default(); }
void Window::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void Window::OnCaptureChanged(HWND) { Default(); }
void Window::OnClose() { Default(); }
LRESULT Window::OnMessage(UINT, WPARAM, LPARAM) { return Default(); }

}  // namespace qv::win
