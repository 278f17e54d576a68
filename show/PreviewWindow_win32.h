#pragma once
// The preview (Windows builds only): the show played small in a child
// window that fills the window the display settings hand us with "/p".
// It ignores input, plays no music, arms no power timer, draws at most ten
// frames a second and ends with the window it was given.
#include <windows.h>

#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Window.h"
#include "show/ScenePlayback.h"
#include "variant/Variant.h"

namespace qv::win {

class PreviewWindow : public Window {
public:
    static constexpr UINT_PTR kFrameTimer = 1;
    static constexpr UINT_PTR kSceneTimer = ScenePlayback::kSceneTimer;
    // One frame per 100 ms; the scene still moves two 50 ms steps per frame,
    // so it plays at the show's pace.
    static constexpr UINT kFrameMilliseconds = 100;
    static constexpr int kStepsPerFrame = kFrameMilliseconds / SceneClock::kTickMilliseconds;

    PreviewWindow(const Variant& variant, HINSTANCE instance);
    ~PreviewWindow() override;

    // Makes the child window over the parent's client area and starts the
    // show in it. False only when no window could be made; a show that
    // cannot start leaves the window black until the parent goes.
    bool create(HWND parent);

protected:
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void startShow();
    // Draws a frame; a lost device ends the play and the window turns black.
    void drawFrame();
    void onFrameTimer();
    void onSceneTimer();

    const Variant& variant_;
    HINSTANCE instance_;
    Win32Files files_;
    HWND parent_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool comStarted_ = false;
    // Not playing while the preview is black (no device, no scene script,
    // or the device lost); the renderer then is gone.
    ScenePlayback scenes_;
};

}  // namespace qv::win
