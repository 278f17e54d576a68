#include "show/MonitorCovers_win32.h"

namespace qv::win {

class MonitorCovers::CoverWindow : public Window {
public:
    explicit CoverWindow(const Listener& listener) : listener_(listener) {}

protected:
    void OnKeyDown(UINT, UINT) override { tell(CoverEvent::KeyDown); }
    void OnLButtonDown(UINT, POINT) override { tell(CoverEvent::ButtonDown); }
    void OnRButtonDown(UINT, POINT) override { tell(CoverEvent::ButtonDown); }
    void OnMButtonDown(UINT, POINT) override { tell(CoverEvent::ButtonDown); }
    void OnMouseMove(UINT, POINT) override { tell(CoverEvent::MouseMove); }
    LRESULT OnDisplayChange(int, int, int) override {
        tell(CoverEvent::DisplayChange);
        return 1;
    }
    void OnSysCommand(UINT command, LPARAM) override {
        // As on the show window: neither the system's screen saver nor
        // Alt+F4 replaces or closes a part of the show.
        const UINT which = command & 0xFFF0;
        if (which == SC_SCREENSAVE || which == SC_CLOSE) return;
        Default();
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        // A click must not take the activation from the show window (whose
        // deactivation would end the show before the click is seen).
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        return Window::OnMessage(message, wParam, lParam);
    }

private:
    void tell(CoverEvent event) {
        Default();
        if (listener_) listener_(event);
    }
    const Listener& listener_;
};

MonitorCovers::MonitorCovers() = default;
MonitorCovers::~MonitorCovers() { remove(); }

void MonitorCovers::cover(HINSTANCE instance, const std::vector<ScreenRect>& rectangles, Listener listener) {
    listener_ = std::move(listener);
    if (rectangles.empty()) return;
    // Black background, no cursor (it stays hidden over every monitor).
    static const char* const kClass = "QuorVelkCover";
    if (!Window::registerClass(instance, kClass, 0, nullptr, nullptr,
                               static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))))
        return;
    for (const ScreenRect& rect : rectangles) {
        auto window = std::make_unique<CoverWindow>(listener_);
        // Top-most like the show; no taskbar button; never activated, so the
        // show window keeps the activation its rules watch.
        if (!window->createWindow(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClass, "",
                                  WS_POPUP, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance))
            continue;  // that monitor stays uncovered; the show goes on
        ShowWindow(window->handle(), SW_SHOWNOACTIVATE);
        windows_.push_back(std::move(window));
    }
}

void MonitorCovers::remove() { windows_.clear(); }

}  // namespace qv::win
