#include "show/FrameIntervals.h"

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
    std::string line = "quorvelk: frame interval " + std::to_string(tenths / 10) + "." +
                       std::to_string(tenths % 10) + " ms";
    if (!presented) line += " same";
    return line;
}

}  // namespace qv
