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

    // Seconds since the scene script began, as handed to advanceScenes: the
    // tick count times 0.05 in single precision, so scene scripts see the
    // same times on every machine. Past 2^24 ticks (about 9.7 days without a
    // hand-over) a float can no longer hold the count, and the product is
    // taken in double precision so the clock never stands still.
    double sceneTime() const;

    // Milliseconds from the scene time (truncated to whole milliseconds) to
    // the next scene time; 0 when no scene is due later.
    std::int64_t delayUntil(std::int64_t nextSceneTimeMs) const;

    // Hands the scene time to advance(double&), which builds what is due and
    // may move the time; coming back as 0 from another time means the show
    // moved on to another scene script, whose time starts again at 0.
    template <typename Advance>
    void advanceScenes(Advance&& advance) {
        double time = sceneTime();
        const double before = time;
        advance(time);
        if (time != before && time == 0.0) restart();
    }

private:
    std::uint64_t ticks_ = 0;
};

}  // namespace qv
