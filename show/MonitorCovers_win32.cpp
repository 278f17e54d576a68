#include "show/MonitorCovers_win32.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/win32/D3D8Device.h"
#include "render/MadeAside.h"
#include "render/Renderer_win32.h"
#include "scene/ScreenLayout.h"
#include "show/ScenePlayback.h"

namespace qv::win {

namespace {

// A start-up moment of another monitor's show, for whoever listens to the
// debug output (bench/monitors.sh).
void mark(const char* moment, int number) {
    const std::string line = std::string("quorvelk: ") + moment + " on monitor " + std::to_string(number);
    OutputDebugStringA(line.c_str());
}

// One more reference to a COM object (none for none).
template <class T>
ComPtr<T> shared(T* object) {
    if (object) object->AddRef();
    return ComPtr<T>(object);
}

// What the device's thread hands over: the device, or nothing and the
// failing call's result, and the adapter it was made on.
struct MadeDevice {
    std::unique_ptr<D3D8Device> device;
    UINT adapter = D3DADAPTER_DEFAULT;
    HRESULT result = E_FAIL;
};

// Runs on a thread of its own: the Direct3D object, the monitor's adapter
// and the device, which under Wine take a few hundred milliseconds that
// the primary's frames must not wait for. The window belongs to the show's
// thread and outlives this (see MonitorCovers::remove); the device is
// multithreaded, so the show's thread draws with it afterwards.
// direct3d: the primary's Direct3D object, shared (a new one costs about
// as much as the device under Wine, and holds the primary's frames up
// meanwhile), else one is made here.
MadeDevice makeDevice(HWND window, RECT area, int number, bool refused, ComPtr<IDirect3D8> direct3d) {
    MadeDevice made;
    if (refused) {
        mark("device refused (test switch)", number);
        return made;
    }
    if (!direct3d) direct3d = D3D8Device::loadDirect3D();
    made.adapter = D3D8Device::adapterForMonitor(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), direct3d.get());
    mark("adapter found", number);
    made.device = D3D8Device::create(window, &made.result, made.adapter, shared(direct3d.get()));
    // A device the monitor's own adapter refuses may still be made
    // windowed on the first adapter, which draws in this window too.
    if (!made.device && made.adapter != D3DADAPTER_DEFAULT) {
        made.adapter = D3DADAPTER_DEFAULT;
        made.device = D3D8Device::create(window, &made.result, made.adapter, shared(direct3d.get()));
    }
    mark(made.device ? "device made" : "device failed", number);
    return made;
}

}  // namespace

class MonitorCovers::CoverWindow : public Window {
public:
    CoverWindow(const Listener& listener, const ScreenRect& rect) : listener_(listener), rect_(rect) {}
    // The device goes before its window; one still being made is left to
    // its thread.
    ~CoverWindow() override { scenes_.stop(); }
    CoverWindow(const CoverWindow&) = delete;
    CoverWindow& operator=(const CoverWindow&) = delete;

    // Starts the show of monitor index (1 for the first beside the primary)
    // of count monitors with a show: its device is made on a thread of its
    // own, and the show starts at the first step after it is ready
    // (poll()). refused: the test switch that fails the device.
    void start(const Variant& variant, FilesPort& files, const std::shared_ptr<ShowPictureMemory>& pictures,
               PhotosOnScreens* screens, IDirect3D8* direct3d, int index, int count, bool refused) {
        show_ = Show{&variant, &files, pictures, screens, index, count};
        const RECT area{rect_.left, rect_.top, rect_.right, rect_.bottom};
        const HWND window = handle();
        const int number = index + 1;
        // The making owns a reference of its own: it may outlive the show.
        // (The job runs exactly once, here or on its thread.)
        if (direct3d) direct3d->AddRef();
        device_ = std::make_unique<MadeAside<MadeDevice>>([window, area, number, refused, direct3d] {
            return makeDevice(window, area, number, refused, ComPtr<IDirect3D8>(direct3d));
        });
    }
    // A device made since the last call starts the show; a device that
    // could not be made leaves the window black.
    void poll() {
        if (!device_ || !device_->ready()) return;
        MadeDevice made = device_->take();
        device_.reset();
        if (!made.device || !startScenes(std::move(made))) turnBlack();
    }
    // Waits until deadline at most for a device still being made.
    void awaitDevice(std::chrono::steady_clock::time_point deadline) const {
        if (!device_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now < deadline)
            device_->waitFor(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
    }
    void step() {
        if (!scenes_.playing()) return;
        frameDue_ = true;
        if (const auto delay = scenes_.step()) rearmTimer(ScenePlayback::kSceneTimer, *delay);
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
            rearmTimer(id, scenes_.onSceneTimer());
            if (scenes_.sceneBuilt()) frameDue_ = true;
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
    // What the show needs once the device is there.
    struct Show {
        const Variant* variant = nullptr;
        FilesPort* files = nullptr;
        std::shared_ptr<ShowPictureMemory> pictures;
        PhotosOnScreens* screens = nullptr;
        int index = 1;
        int count = 2;
    };

    // The renderer on the primary's pictures, prepared once for every
    // monitor, and the first scenes; false leaves the window black.
    bool startScenes(MadeDevice made) {
        auto renderer = std::make_unique<Renderer>(*show_.variant, *show_.files, show_.pictures, show_.screens);
        MonitorScreen screen;
        screen.width = rect_.right - rect_.left;
        screen.height = rect_.bottom - rect_.top;
        screen.adapter = made.adapter;
        screen.rotationStart = rotationStart(show_.index, show_.count, renderer->photoCount());
        screen.number = show_.index + 1;
        show_.pictures.reset();
        if (renderer->useDevice(handle(), std::move(made.device), false, &screen) != D3D_OK) return false;
        if (!scenes_.start(std::move(renderer), screenLayoutCode(screen.width, screen.height))) return false;
        mark("first scenes built", screen.number);
        SetTimer(handle(), ScenePlayback::kSceneTimer, scenes_.firstSceneDelay(), nullptr);
        frameDue_ = true;
        return true;
    }

    void tell(CoverEvent event) {
        Default();
        if (listener_) listener_(event);
    }
    const Listener& listener_;
    const ScreenRect rect_;
    ScenePlayback scenes_;
    bool frameDue_ = false;
    Show show_;
    // The device while it is being made.
    std::unique_ptr<MadeAside<MadeDevice>> device_;
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
                         PhotosOnScreens* screens, IDirect3D8* direct3d) {
    if (!pictures) return;
    // The primary is monitor 0; the monitors with a window follow it.
    const int count = static_cast<int>(windows_.size()) + 1;
    const char* const refused = std::getenv("QV_TEST_NO_DEVICE_ON_MONITOR");
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        windows_[i]->start(variant, files, pictures, screens, direct3d, index, count,
                           deviceRefusedForTest(refused, index + 1));
    }
}

void MonitorCovers::step() {
    for (auto& window : windows_) {
        window->poll();
        window->step();
    }
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

void MonitorCovers::remove() {
    // The monitors are given back at once. A device still being made on a
    // window gets a moment to finish before its window goes, never more:
    // the show's end must not hang on a driver.
    for (auto& window : windows_) ShowWindow(window->handle(), SW_HIDE);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (auto& window : windows_) window->awaitDevice(deadline);
    windows_.clear();
}

}  // namespace qv::win
