#include "show/PreviewWindow_win32.h"

#include <objbase.h>

#include <cstdint>
#include <memory>
#include <string>

#include "render/Renderer_win32.h"
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
    // seeding and nothing written: a preview only reads, and shows no message.
    auto renderer = std::make_unique<Renderer>(variant_, files_);
    renderer->preparePictures(PictureAccess::ReadOnly);
    if (!IsWindow(parent_)) {
        // Gone while the pictures were prepared: nothing more to start.
        destroyWindow();
        return;
    }
    // Black until the parent goes without a device or a scene script.
    if (renderer->createDevice(handle(), true) != D3D_OK ||
        !scenes_.start(std::move(renderer), screenLayoutCode(width_, height_))) {
        InvalidateRect(handle(), nullptr, FALSE);
        return;
    }
    SetTimer(handle(), kSceneTimer, scenes_.firstSceneDelay(), nullptr);
    drawFrame();
}

void PreviewWindow::drawFrame() {
    if (scenes_.drawFrame()) return;
    // The device is lost: black from now on.
    KillTimer(handle(), kSceneTimer);
    InvalidateRect(handle(), nullptr, FALSE);
}

void PreviewWindow::onFrameTimer() {
    if (!IsWindow(parent_)) {
        destroyWindow();
        return;
    }
    if (!scenes_.playing()) return;
    if (const auto delay = scenes_.step(kStepsPerFrame)) rearmTimer(kSceneTimer, *delay);
    drawFrame();
}

void PreviewWindow::onSceneTimer() { rearmTimer(kSceneTimer, scenes_.onSceneTimer()); }

void PreviewWindow::OnTimer(UINT_PTR id) {
    if (id == kFrameTimer) onFrameTimer();
    else if (id == kSceneTimer) onSceneTimer();
    Default();
}

void PreviewWindow::OnPaint() {
    if (scenes_.playing()) {
        // The next frame repaints it; the device draws every pixel.
        scenes_.invalidate();
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
