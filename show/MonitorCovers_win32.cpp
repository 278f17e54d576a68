#include "show/MonitorCovers_win32.h"

#include <utility>

#include "platform/win32/D3D8Device.h"
#include "render/Renderer_win32.h"
#include "scene/ScreenLayout.h"
#include "show/ScenePlayback.h"

namespace qv::win {

class MonitorCovers::CoverWindow : public Window {
public:
    CoverWindow(const Listener& listener, const ScreenRect& rect) : listener_(listener), rect_(rect) {}
    ~CoverWindow() override { scenes_.stop(); }  // the device goes before its window
    CoverWindow(const CoverWindow&) = delete;
    CoverWindow& operator=(const CoverWindow&) = delete;

    // The show of monitor index (1 for the first beside the primary) of
    // count monitors with a show; false leaves the window black.
    bool start(const Variant& variant, FilesPort& files, const std::shared_ptr<ShowPictureMemory>& pictures,
               PhotosOnScreens* screens, int index, int count) {
        // The primary's pictures, prepared once for every monitor.
        auto renderer = std::make_unique<Renderer>(variant, files, pictures, screens);
        MonitorScreen screen;
        screen.width = rect_.right - rect_.left;
        screen.height = rect_.bottom - rect_.top;
        RECT area{rect_.left, rect_.top, rect_.right, rect_.bottom};
        screen.adapter = D3D8Device::adapterForMonitor(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST));
        screen.rotationStart = rotationStart(index, count, renderer->photoCount());
        screen.number = index + 1;
        // A device the monitor's own adapter refuses may still be made
        // windowed on the first adapter, which draws in this window too.
        if (renderer->createDevice(handle(), false, &screen) != D3D_OK) {
            if (screen.adapter == D3DADAPTER_DEFAULT) return false;
            screen.adapter = D3DADAPTER_DEFAULT;
            if (renderer->createDevice(handle(), false, &screen) != D3D_OK) return false;
        }
        if (!scenes_.start(std::move(renderer), screenLayoutCode(screen.width, screen.height))) return false;
        SetTimer(handle(), ScenePlayback::kSceneTimer, scenes_.firstSceneDelay(), nullptr);
        frameDue_ = true;
        return true;
    }
    void step() {
        if (!scenes_.playing()) return;
        frameDue_ = true;
        scenes_.step();
    }
    bool frameDue() const { return frameDue_ && scenes_.playing(); }
    // Draws a due frame; false when the device was lost in it.
    bool drawDueFrame() {
        if (!frameDue()) return true;
        frameDue_ = false;
        return scenes_.drawFrame();
    }
    bool prepareAhead() { return scenes_.prepareAhead(); }
    bool playing() const { return scenes_.playing(); }
    // The show of this monitor ends: black from now on.
    void turnBlack() {
        scenes_.stop();
        frameDue_ = false;
        KillTimer(handle(), ScenePlayback::kSceneTimer);
        InvalidateRect(handle(), nullptr, TRUE);
    }

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
    void OnTimer(UINT_PTR id) override {
        if (id == ScenePlayback::kSceneTimer) {
            KillTimer(handle(), id);
            if (const std::uint32_t delay = scenes_.onSceneTimer()) SetTimer(handle(), id, delay, nullptr);
        }
        Default();
    }
    void OnPaint() override {
        // A frame the system wants repainted is drawn at the next tick.
        scenes_.invalidate();
        Default();
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        // A click must not take the activation from the show window (whose
        // deactivation would end the show before the click is seen).
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        // While a show plays the device paints every pixel: no black between.
        if (message == WM_ERASEBKGND && scenes_.playing()) return 1;
        return Window::OnMessage(message, wParam, lParam);
    }

private:
    void tell(CoverEvent event) {
        Default();
        if (listener_) listener_(event);
    }
    const Listener& listener_;
    const ScreenRect rect_;
    ScenePlayback scenes_;
    bool frameDue_ = false;
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
        auto window = std::make_unique<CoverWindow>(listener_, rect);
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

void MonitorCovers::play(const Variant& variant, FilesPort& files, const std::shared_ptr<ShowPictureMemory>& pictures,
                         PhotosOnScreens* screens) {
    if (!pictures) return;
    // The primary is monitor 0; the monitors with a window follow it.
    const int count = static_cast<int>(windows_.size()) + 1;
    for (std::size_t i = 0; i < windows_.size(); ++i)
        if (!windows_[i]->start(variant, files, pictures, screens, static_cast<int>(i) + 1, count))
            windows_[i]->turnBlack();
}

void MonitorCovers::step() {
    for (auto& window : windows_) window->step();
}

bool MonitorCovers::frameDue() const {
    for (const auto& window : windows_)
        if (window->frameDue()) return true;
    return false;
}

bool MonitorCovers::drawDueFrames(bool primaryPlaying) {
    bool ends = false;
    for (auto& window : windows_) {
        if (window->drawDueFrame()) continue;
        window->turnBlack();
        if (monitorLoss(false, playing() + (primaryPlaying ? 1 : 0)) == MonitorLoss::EndShow) ends = true;
    }
    return ends;
}

bool MonitorCovers::prepareAhead() {
    for (auto& window : windows_)
        if (window->prepareAhead()) return true;
    return false;
}

int MonitorCovers::playing() const {
    int playing = 0;
    for (const auto& window : windows_)
        if (window->playing()) ++playing;
    return playing;
}

void MonitorCovers::remove() { windows_.clear(); }

}  // namespace qv::win
