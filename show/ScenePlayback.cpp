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

void ScenePlayback::step(int steps) {
    if (!player_) return;
    for (int i = 0; i < steps; ++i) {
        clock_.tick();
        player_->stepLayers();
    }
}

std::uint32_t ScenePlayback::onSceneTimer() {
    sceneBuilt_ = false;
    if (!player_) return 0;
    // Each scene built reads the next header, which moves the next time on
    // (or to 0 at a hand-over or at the script's end).
    const int before = player_->nextSceneTime();
    clock_.advanceScenes([this](double& sceneTime) { player_->advanceScenes(sceneTime); });
    sceneBuilt_ = player_->nextSceneTime() != before;
    player_->invalidate();
    return timerDelay(clock_.delayUntil(player_->nextSceneTime()));
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
