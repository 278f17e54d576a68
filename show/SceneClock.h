#pragma once
// The show's scene clock: counts tick-timer firings (50 ms each) since the
// current scene script began. The count is an integer, so it keeps advancing
// however long the show runs (a float count stops changing after 2^24 ticks).
#include <cstdint>

namespace qv {

class SceneClock {
public:
    static constexpr int kTickMilliseconds = 50;

    void tick() { ++ticks_; }
    void restart() { ticks_ = 0; }
    std::uint64_t ticks() const { return ticks_; }

    // Seconds since the scene script began, as handed to advanceScenes.
    double sceneTime() const { return static_cast<double>(ticks_) * 0.05; }

    // Milliseconds until the next scene time; 0 or less means no scene timer.
    // Worked out in whole milliseconds so no rounding can shift it.
    std::int64_t delayUntil(std::int64_t nextSceneTimeMs) const;

private:
    std::uint64_t ticks_ = 0;
};

}  // namespace qv
