#pragma once
// The scenes of a show window or of the preview: the renderer that plays
// them, the scene clock and the scene timer's delays. The two windows differ
// in pace and in what an end means to them (the show closes, the preview
// turns black); the rules they share live here:
// - no scene script (the generic failure) ends the play; any other failure
//   of the start, such as a transform the device refused, plays on;
// - a device lost in presenting ends the play;
// - an ended play lets its renderer go at once, with the device, the
//   picture buffers and the bitmap cache it holds.
#include <cstdint>
#include <memory>
#include <optional>

#include "render/ScenePlayer.h"
#include "show/SceneClock.h"

namespace qv {

class ScenePlayback {
public:
    // The scene timer's window-timer number in both windows.
    static constexpr unsigned kSceneTimer = 10;
    // The shortest delay a window timer takes (USER_TIMER_MINIMUM).
    static constexpr std::uint32_t kShortestTimerMs = 10;

    // Takes the renderer (its device made) and builds the scenes due at
    // once; the clock starts at 0, and again at 0 when the first frame
    // reaches the screen. False when that ended the play.
    bool start(std::unique_ptr<ScenePlayer> player, int screenLayoutCode);
    // The scene timer's first arming, whatever the next scene time: a first
    // scene due within the first second has a next scene time of 0, and the
    // shortest timer then asks the engine again right away.
    std::uint32_t firstSceneDelay() const;
    // Steps 50 ms ticks of the clock and of the moving layers. The clock
    // counts ticks, so a scene comes due at a tick: while the scene timer
    // waits, the tick that reaches its scene builds it, before the layers
    // move, as the timer would a moment later. A layer placed without a
    // delay then shows in the frame of its scene's time instead of one tick
    // after it. Returns the delay to arm the scene timer with when a tick
    // built scenes (0: stop it), nothing otherwise.
    std::optional<std::uint32_t> step(int steps = 1);
    // The scene timer fired: builds what is due (a built scene may give
    // layers new textures, so the next frame is drawn) and returns the delay
    // to arm next; 0 arms nothing: no later scene, the layers hold.
    std::uint32_t onSceneTimer();
    // The last scene timer built a scene: its first frame is due at once,
    // not at the next tick, so that a picture shows on its scene's time.
    bool sceneBuilt() const { return sceneBuilt_; }
    // Draws one frame; false when the device was lost, which ends the play.
    bool drawFrame();
    // Whether the last frame drawn reached the screen (a frame that would
    // look like the one before is not presented).
    bool lastFramePresented() const { return presented_; }
    // Spare time between frames: one texture of the next scene is made;
    // false when there is nothing more to make.
    bool prepareAhead() { return player_ && player_->prepareAhead(); }
    // The window needs repainting: the next frame is drawn in any case.
    void invalidate();
    // Ends the play; the renderer goes.
    void stop() { player_.reset(); }
    bool playing() const { return player_ != nullptr; }

private:
    std::unique_ptr<ScenePlayer> player_;
    SceneClock clock_;
    bool presented_ = false;
    bool shown_ = false;  // a frame has reached the screen since the start
    bool sceneBuilt_ = false;
    bool timerWaits_ = false;  // the scene timer is armed for a later scene
};

}  // namespace qv
