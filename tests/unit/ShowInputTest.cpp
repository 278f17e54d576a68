#include "show/ShowInput.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

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
