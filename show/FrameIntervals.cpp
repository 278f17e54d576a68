#include "show/FrameIntervals.h"

#include <cstdio>

namespace qv {

bool FrameIntervals::wanted(const char* variableValue) {
    return variableValue != nullptr && variableValue[0] != '\0' &&
           !(variableValue[0] == '0' && variableValue[1] == '\0');
}

std::optional<std::string> FrameIntervals::onFrame(std::int64_t nowMicroseconds, bool presented) {
    if (!on_) return std::nullopt;
    const bool first = first_;
    const std::int64_t last = last_;
    first_ = false;
    last_ = nowMicroseconds;
    if (first || nowMicroseconds < last) return std::nullopt;
    const std::int64_t micro = nowMicroseconds - last;
    // Tenths of a millisecond, rounded half up.
    const std::int64_t tenths = (micro + 50) / 100;
    char line[80];
    std::snprintf(line, sizeof line, "quorvelk: frame interval %lld.%lld ms%s",
                  static_cast<long long>(tenths / 10), static_cast<long long>(tenths % 10),
                  presented ? "" : " same");
    return std::string(line);
}

}  // namespace qv
