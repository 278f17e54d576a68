#include "show/SceneClock.h"

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

}  // namespace qv
