#include "show/SceneClock.h"

#include <cstdlib>
#include <limits>

namespace qv {

std::int64_t SceneClock::delayUntil(std::int64_t nextSceneTimeMs) const {
    // A tick count this large is centuries of show; clamp rather than overflow.
    constexpr std::uint64_t kMaxTicks =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / kTickMilliseconds);
    const std::int64_t elapsed =
        ticks_ >= kMaxTicks ? std::numeric_limits<std::int64_t>::max()
                            : static_cast<std::int64_t>(ticks_) * kTickMilliseconds;
    if (nextSceneTimeMs <= elapsed) return 0;
    return nextSceneTimeMs - elapsed;
}

bool CursorWake::moved(int x, int y) {
    if (!recorded_) {
        recorded_ = true;
        firstX_ = x;
        firstY_ = y;
        return false;
    }
    const long long dx = static_cast<long long>(x) - firstX_;
    const long long dy = static_cast<long long>(y) - firstY_;
    return std::llabs(dx) > kThreshold || std::llabs(dy) > kThreshold;
}

bool sizeChangeEndsShow(int showWidth, int showHeight, int newWidth, int newHeight, bool keepsSize) {
    if (keepsSize) return false;
    const bool smaller = newWidth < showWidth && newHeight < showHeight;
    const bool larger = newWidth > showWidth && newHeight > showHeight;
    return smaller || larger;
}

}  // namespace qv
