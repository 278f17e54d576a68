#include "show/PreviewWindow_win32.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "scene/ScreenLayout.h"

namespace qv::win {

PreviewWindow::PreviewWindow(const Variant& variant, HINSTANCE instance)
    : variant_(variant), instance_(instance) {}

PreviewWindow::~PreviewWindow() {
    // Only a failed start deletes the object; the preview itself ends with
    // the process.
    if (handle()) DestroyWindow(handle());
    if (comStarted_) CoUninitialize();
}

bool PreviewWindow::create(HWND parent) {
    parent_ = parent;
    RECT client{};
    if (!GetClientRect(parent, &client)) return false;
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;

    // No background brush: the device paints every pixel, and OnPaint
    // blackens the window while there is none. The usual arrow: the show's
    // hidden cursor has no place on the settings page.
    const std::string className = std::string("QuorVelkPreview") + variant_.letter;
    if (!registerClass(instance_, className.c_str(), CS_HREDRAW | CS_VREDRAW, nullptr,
                       LoadCursor(nullptr, IDC_ARROW), nullptr))
        return false;
    // Disabled: clicks and keys go to the settings page, never to us.
    // No parent notification: a host that does not answer at once must not
    // hold up our start.
    if (!createWindow(WS_EX_NOPARENTNOTIFY, className.c_str(), variant_.windowTitle,
                      WS_CHILD | WS_VISIBLE | WS_DISABLED,
                      0, 0, width_, height_, parent, nullptr, instance_))
        return false;

    // The frame timer doubles as the watch on the parent: a host that goes
    // away without taking its children along is noticed within 100 ms.
    SetTimer(handle(), kFrameTimer, kFrameMilliseconds, nullptr);
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    startShow();
    return true;
}

void PreviewWindow::startShow() {
    // The show's own pictures (prepared for the screen, as the show has them)
    // and its scripts, seen through a camera for this window. No first-run
    // seeding: a preview writes no pictures of its own and shows no message.
    auto* renderer = new Renderer(variant_, files_);
    if (!IsWindow(parent_)) {
        // Gone while the pictures were prepared: nothing more to start.
        delete renderer;
        destroyWindow();
        return;
    }
    if (renderer->createDevice(handle(), true) != D3D_OK) {
        delete renderer;  // black until the parent goes
        InvalidateRect(handle(), nullptr, FALSE);
        return;
    }
    if (renderer->startShow(screenLayoutCode(width_, height_)) != 0) {
        // No scene script: the device stays unused, the window black.
        InvalidateRect(handle(), nullptr, FALSE);
        return;
    }
    renderer_ = renderer;
    clock_.restart();
    SetTimer(handle(), kSceneTimer,
             static_cast<UINT>(std::max<std::int64_t>(USER_TIMER_MINIMUM,
                                                      clock_.delayUntil(renderer_->nextSceneTime()))),
             nullptr);
    renderer_->drawFrame();
}

void PreviewWindow::stopShow() {
    KillTimer(handle(), kSceneTimer);
    renderer_ = nullptr;  // its device is gone; the object ends with the process
    InvalidateRect(handle(), nullptr, FALSE);
}

void PreviewWindow::armSceneTimer() {
    const std::int64_t delay = clock_.delayUntil(renderer_->nextSceneTime());
    if (delay > 0) SetTimer(handle(), kSceneTimer, static_cast<UINT>(delay), nullptr);
}

void PreviewWindow::onFrameTimer() {
    if (!IsWindow(parent_)) {
        destroyWindow();
        return;
    }
    if (!renderer_) return;
    for (int i = 0; i < kStepsPerFrame; ++i) {
        clock_.tick();
        renderer_->stepLayers();
    }
    renderer_->drawFrame();
    if (renderer_->deviceLost()) stopShow();
}

void PreviewWindow::onSceneTimer() {
    KillTimer(handle(), kSceneTimer);
    if (!renderer_) return;
    clock_.advanceScenes([this](double& sceneTime) { renderer_->advanceScenes(sceneTime); });
    renderer_->invalidate();
    armSceneTimer();
}

void PreviewWindow::OnTimer(UINT_PTR id) {
    if (id == kFrameTimer) onFrameTimer();
    else if (id == kSceneTimer) onSceneTimer();
    Default();
}

void PreviewWindow::OnPaint() {
    if (renderer_) {
        // The next frame repaints it; the device draws every pixel.
        renderer_->invalidate();
        ValidateRect(handle(), nullptr);
        return;
    }
    PAINTSTRUCT paint{};
    if (HDC dc = BeginPaint(handle(), &paint)) {
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(handle(), &paint);
    }
}

LRESULT PreviewWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Never take the activation from the settings page.
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return Window::OnMessage(message, wParam, lParam);
}

void PreviewWindow::OnDestroy() {
    // The parent destroyed us with itself, or closed the preview.
    KillTimer(handle(), kFrameTimer);
    KillTimer(handle(), kSceneTimer);
    PostQuitMessage(0);
    Default();
}

}  // namespace qv::win
