#pragma once
// The frame-interval record: when asked for (an environment variable), the
// show tells how long each due frame came after the one before, one debug
// line a frame, for the frame-interval benchmark. Asked for by nobody, it
// makes no line and costs one test a frame.
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

class FrameIntervals {
public:
    // The variable's value switches the record on when it is set to
    // anything but empty or "0".
    static bool wanted(const char* variableValue);

    explicit FrameIntervals(bool on) : on_(on) {}
    bool on() const { return on_; }

    // A due frame was handled at nowMicroseconds (a steady clock); presented
    // says whether it reached the screen or looked like the last one. The
    // line to write ("quorvelk: frame interval 50.1 ms", " same" added for a
    // frame not presented), or nothing: when off, for the first frame, and
    // for a clock that went backwards.
    std::optional<std::string> onFrame(std::int64_t nowMicroseconds, bool presented);

private:
    bool on_;
    bool first_ = true;
    std::int64_t last_ = 0;
};

}  // namespace qv
