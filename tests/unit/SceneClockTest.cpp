#include "show/SceneClock.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SceneClock, CountsTicksOfFiftyMilliseconds) {
    SceneClock clock;
    EXPECT_EQ(clock.sceneTime(), 0.0);
    EXPECT_EQ(clock.delayUntil(2000), 2000);
    for (int i = 0; i < 50; ++i) clock.tick();
    EXPECT_DOUBLE_EQ(clock.sceneTime(), 2.5);
    // 50 ticks are 2500 ms: a scene at 3 s is 500 ms away; one at 2.5 s or
    // earlier arms no timer.
    EXPECT_EQ(clock.delayUntil(3000), 500);
    EXPECT_EQ(clock.delayUntil(2500), 0);
    EXPECT_EQ(clock.delayUntil(0), 0);
    clock.restart();
    EXPECT_EQ(clock.ticks(), 0u);
    EXPECT_EQ(clock.delayUntil(6000), 6000);
}

TEST(SceneClock, DelayIsExactWhereFloatingTimeWouldRoundDown) {
    // 7 ticks: 0.35 s. Multiplied out in floating point 0.35 x 1000 can land
    // just under 350; the delay to 400 ms must still be 50.
    SceneClock clock;
    for (int i = 0; i < 7; ++i) clock.tick();
    EXPECT_EQ(clock.delayUntil(400), 50);
    for (int i = 0; i < 13; ++i) clock.tick();  // 20 ticks = 1 s
    EXPECT_EQ(clock.delayUntil(1001), 1);
}

TEST(SceneClock, KeepsRunningPastTheSingleFloatLimit) {
    // 16,777,216 ticks (about 9.7 days): a float count would stand still here.
    SceneClock clock;
    for (std::uint64_t i = 0; i < 16777216u; ++i) clock.tick();
    const double before = clock.sceneTime();
    EXPECT_DOUBLE_EQ(before, 838860.8);
    clock.tick();
    EXPECT_GT(clock.sceneTime(), before);
    EXPECT_DOUBLE_EQ(clock.sceneTime(), 838860.85);
    EXPECT_EQ(clock.ticks(), 16777217u);
}

TEST(CursorWake, FirstMoveRecordsAndOnlyMoreThanFivePixelsWakes) {
    CursorWake wake;
    EXPECT_FALSE(wake.recorded());
    EXPECT_FALSE(wake.moved(400, 300));  // the move sent when the window shows
    EXPECT_TRUE(wake.recorded());
    EXPECT_FALSE(wake.moved(405, 300));
    EXPECT_FALSE(wake.moved(395, 305));
    EXPECT_FALSE(wake.moved(405, 295));
    EXPECT_TRUE(wake.moved(406, 300));
    EXPECT_TRUE(wake.moved(394, 300));
    EXPECT_TRUE(wake.moved(400, 306));
    EXPECT_TRUE(wake.moved(400, 294));
    // The reference stays the first position, not the last one.
    EXPECT_FALSE(wake.moved(403, 303));
}

TEST(CursorWake, FarFirstMoveDoesNotWakeAndExtremesDoNotOverflow) {
    CursorWake wake;
    EXPECT_FALSE(wake.moved(-2147483647 - 1, 0));
    EXPECT_TRUE(wake.moved(2147483647, 0));
}

TEST(SizeChange, BothSidesSmallerOrBothLargerEndTheShow) {
    // Test window 800 x 600 on a larger screen: going full screen ends it.
    EXPECT_TRUE(sizeChangeEndsShow(800, 600, 1024, 768, false));
    EXPECT_TRUE(sizeChangeEndsShow(800, 600, 640, 480, false));
    EXPECT_FALSE(sizeChangeEndsShow(800, 600, 800, 600, false));
    EXPECT_FALSE(sizeChangeEndsShow(800, 600, 1024, 600, false));
    EXPECT_FALSE(sizeChangeEndsShow(800, 600, 640, 768, false));
    EXPECT_FALSE(sizeChangeEndsShow(800, 600, 801, 600, false));
    EXPECT_TRUE(sizeChangeEndsShow(800, 600, 801, 601, false));
    // Moves and z-order changes carry no size (0 x 0): they never end it.
    EXPECT_FALSE(sizeChangeEndsShow(800, 600, 0, 0, true));
    EXPECT_FALSE(sizeChangeEndsShow(1024, 768, 0, 0, true));
}

}  // namespace
}  // namespace qv
