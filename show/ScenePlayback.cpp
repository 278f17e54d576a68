#include "show/ScenePlayback.h"

#include <algorithm>
#include <limits>

#include "scene/SceneEngine.h"

namespace qv {

namespace {

std::uint32_t timerDelay(std::int64_t ms) {
    return static_cast<std::uint32_t>(std::min<std::int64_t>(ms, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool ScenePlayback::start(std::unique_ptr<ScenePlayer> player, int screenLayoutCode) {
    player_ = std::move(player);
    if (!player_) return false;
    clock_.restart();
    shown_ = false;
    timerWaits_ = true;  // the first arming comes whatever the next scene time
    if (player_->startShow(screenLayoutCode) == kGenericFailure) {
        stop();
        return false;
    }
    return true;
}

std::uint32_t ScenePlayback::firstSceneDelay() const {
    if (!player_) return 0;
    return timerDelay(std::max<std::int64_t>(kShortestTimerMs, clock_.delayUntil(player_->nextSceneTime())));
}

std::optional<std::uint32_t> ScenePlayback::step(int steps) {
    std::optional<std::uint32_t> rearm;
    if (!player_) return rearm;
    for (int i = 0; i < steps; ++i) {
        clock_.tick();
        // A next scene time of 0 is no scene, or the start's first header,
        // which only the timer's shortest first arming looks at.
        const int next = player_->nextSceneTime();
        if (timerWaits_ && next > 0 && clock_.delayUntil(next) == 0) rearm = onSceneTimer();
        player_->stepLayers();
    }
    return rearm;
}

std::uint32_t ScenePlayback::onSceneTimer() {
    sceneBuilt_ = false;
    timerWaits_ = false;
    if (!player_) return 0;
    // Each scene built reads the next header, which moves the next time on
    // (or to 0 at a hand-over or at the script's end).
    const int before = player_->nextSceneTime();
    clock_.advanceScenes([this](double& sceneTime) { player_->advanceScenes(sceneTime); });
    sceneBuilt_ = player_->nextSceneTime() != before;
    player_->invalidate();
    const std::uint32_t delay = timerDelay(clock_.delayUntil(player_->nextSceneTime()));
    timerWaits_ = delay > 0;
    return delay;
}

bool ScenePlayback::drawFrame() {
    if (!player_) return false;
    presented_ = player_->drawFrame();
    if (presented_ && !shown_) {
        // Scene times count from the first frame on screen. Building the
        // first scenes and the device's first present take a tenth of a
        // second or more, during which the tick timer cannot fire; the ticks
        // it misses never come, so a clock started before would leave every
        // scene that much late.
        shown_ = true;
        clock_.restart();
    }
    if (!player_->deviceLost()) return true;
    stop();
    return false;
}

void ScenePlayback::invalidate() {
    if (player_) player_->invalidate();
}

}  // namespace qv
