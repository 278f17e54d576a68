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

// The cursor rule of the show: the first mouse move only records where the
// cursor is (Windows sends one as soon as a window shows); a later one ends
// the show when the cursor is more than 5 pixels away on either axis.
class CursorWake {
public:
    static constexpr int kThreshold = 5;
    // True when this move ends the show.
    bool moved(int x, int y);
    bool recorded() const { return recorded_; }

private:
    bool recorded_ = false;
    int firstX_ = 0;
    int firstY_ = 0;
};

// A window size proposal ends the show when both sides are smaller than the
// show size, or both larger. A proposal that does not change the size (the
// system leaves width and height 0 then) is not one.
bool sizeChangeEndsShow(int showWidth, int showHeight, int newWidth, int newHeight, bool keepsSize);

}  // namespace qv
