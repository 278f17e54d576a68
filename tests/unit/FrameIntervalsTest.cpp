// The frame-interval record: when it is on, and the lines the benchmark reads.
#include "show/FrameIntervals.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

TEST(FrameIntervals, OnlyAValueOtherThanEmptyOrZeroSwitchesItOn) {
    struct Row {
        const char* value;
        bool on;
    } const rows[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"00", true}, {"yes", true}};
    for (const Row& row : rows) EXPECT_EQ(FrameIntervals::wanted(row.value), row.on) << (row.value ? row.value : "unset");
}

TEST(FrameIntervals, EachFrameTellsTheTimeSinceTheOneBefore) {
    // Microseconds of each frame and the line it gives ("" for none).
    struct Row {
        long long at;
        bool presented;
        const char* line;
    } const rows[] = {
        {1000000, true, ""},                                        // the first: nothing to measure from
        {1050049, true, "quorvelk: frame interval 50.0 ms"},        // 50.049 rounds down
        {1100099, false, "quorvelk: frame interval 50.1 ms same"},  // 50.050 rounds up
        {1100099, true, "quorvelk: frame interval 0.0 ms"},
        {1000000, true, ""},                                        // a clock that went back
        {2234567, true, "quorvelk: frame interval 1234.6 ms"},
    };
    FrameIntervals record(true), off(false);
    for (const Row& row : rows) {
        const auto line = record.onFrame(row.at, row.presented);
        EXPECT_EQ(line.value_or(""), std::string(row.line)) << row.at;
        EXPECT_FALSE(off.onFrame(row.at, row.presented)) << row.at;  // off: never a line
    }
}

}  // namespace
}  // namespace qv
