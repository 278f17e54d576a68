#include "show/SceneClock.h"

#include <cmath>
#include <limits>

namespace qv {

namespace {
constexpr std::uint64_t kLargestExactFloatCount = 1u << 24;
}

double SceneClock::sceneTime() const {
    if (ticks_ <= kLargestExactFloatCount) return static_cast<float>(ticks_) * 0.05f;
    return static_cast<double>(ticks_) * 0.05;
}

std::int64_t SceneClock::delayUntil(std::int64_t nextSceneTimeMs) const {
    // Past any real show length; clamp rather than overflow.
    const double elapsedMs = std::trunc(sceneTime() * 1000.0);
    if (!(elapsedMs < static_cast<double>(std::numeric_limits<std::int64_t>::max()) / 2.0)) return 0;
    const std::int64_t delay = nextSceneTimeMs - static_cast<std::int64_t>(elapsedMs);
    return delay > 0 ? delay : 0;
}

}  // namespace qv
