// The black windows around the show: which monitors get one, and the input
// rules across monitors, with fake monitor layouts.
#include "show/MonitorCover.h"

#include <gtest/gtest.h>

#include "platform/fake/FakeMonitors.h"

namespace qv {
namespace {

using Rects = std::vector<ScreenRect>;

TEST(MonitorCover, OnlyTheMonitorsBesideThePrimaryGoBlack) {
    // One monitor: the show covers it, nothing else to do.
    FakeMonitors one({{{0, 0, 1024, 768}, true}});
    EXPECT_EQ(coverRectangles(one, {0, 0, 1024, 768}, false), Rects{});

    // Two: a 1280 x 1024 monitor left of and above a 1920 x 1080 primary.
    FakeMonitors two({{{0, 0, 1920, 1080}, true}, {{-1280, -200, 0, 824}, false}});
    EXPECT_EQ(coverRectangles(two, {0, 0, 1920, 1080}, false), (Rects{{-1280, -200, 0, 824}}));

    // Three of mixed sizes, listed with the primary in the middle: a 1024 x
    // 768 one on the left, an upright 1080 x 1920 one on the right reaching
    // above the primary (1366 x 768). A mirror of the left one reports its
    // rectangle again, a clone of the primary lies inside the show, and a
    // monitor being switched off reports no area: none adds a window.
    FakeMonitors three({{{-1024, 0, 0, 768}, false},
                        {{0, 0, 1366, 768}, true},
                        {{1366, -500, 2446, 1420}, false},
                        {{-1024, 0, 0, 768}, false},
                        {{0, 0, 1366, 768}, false},
                        {{3000, 0, 3000, 768}, false}});
    EXPECT_EQ(coverRectangles(three, {0, 0, 1366, 768}, false),
              (Rects{{-1024, 0, 0, 768}, {1366, -500, 2446, 1420}}));

    // The test window stays one window, however many monitors there are.
    EXPECT_EQ(coverRectangles(three, {0, 0, 800, 600}, true), Rects{});
}

TEST(MonitorCover, OneCursorRuleForAllMonitors) {
    // The system's first move lands on the primary's centre; the cursor then
    // crosses to the monitor on the left (negative x): far away, so it ends
    // the show from the black window as it would on the show window.
    CursorWake cursor;
    EXPECT_FALSE(coverEventEndsShow(CoverEvent::MouseMove, 683, 384, cursor));
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::MouseMove, -300, 400, cursor));

    // First move at the left monitor's right edge; 5 pixels on, across the
    // border onto the primary, is still the same spot; 6 pixels are not.
    CursorWake edge;
    EXPECT_FALSE(coverEventEndsShow(CoverEvent::MouseMove, -2, 10, edge));
    EXPECT_FALSE(coverEventEndsShow(CoverEvent::MouseMove, 3, 15, edge));
    EXPECT_FALSE(coverEventEndsShow(CoverEvent::MouseMove, -7, 5, edge));
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::MouseMove, 4, 10, edge));
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::MouseMove, -2, 4, edge));

    // Keys and buttons end it at once, before any move was seen.
    CursorWake fresh;
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::KeyDown, 0, 0, fresh));
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::ButtonDown, -1024, 767, fresh));
    EXPECT_FALSE(fresh.recorded());
}

TEST(MonitorCover, AMonitorAddedOrRemovedEndsTheShow) {
    FakeMonitors monitors({{{0, 0, 1920, 1080}, true}});
    EXPECT_EQ(coverRectangles(monitors, {0, 0, 1920, 1080}, false), Rects{});
    // Plugged in during the show: it has no black window, and the display
    // change that announces it ends the show, first move seen or not.
    monitors.layout.push_back({{1920, 0, 3200, 1024}, false});
    CursorWake cursor;
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::DisplayChange, 0, 0, cursor));
    // Taken away again: the same.
    monitors.layout.pop_back();
    EXPECT_FALSE(coverEventEndsShow(CoverEvent::MouseMove, 960, 540, cursor));
    EXPECT_TRUE(coverEventEndsShow(CoverEvent::DisplayChange, 960, 540, cursor));
}

}  // namespace
}  // namespace qv
