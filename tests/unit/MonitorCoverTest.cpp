// The windows around the show: which monitors get one, the input rules
// across monitors, where each monitor's rotation starts and what a failure
// on one monitor means, with fake monitor layouts.
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

TEST(MonitorCover, EachMonitorStartsItsRotationElsewhere) {
    // floor(k x P / m), worked by hand; the photo a monitor's STILL1 shows
    // first is slot 1 + start, which holds photo (start mod P) + 1.
    struct Row {
        int index, count, photos, start;
    };
    const Row rows[] = {
        {0, 2, 10, 0},  // the primary: today's rotation
        {1, 2, 10, 5},  // photos 1 and 6
        {1, 3, 10, 3},  // photos 1, 4 and 7
        {2, 3, 10, 6},
        {1, 2, 3, 1},   // slots 1 2 3 1 2 ...: photos 1 and 2
        {2, 3, 4, 2},   // 8 / 3: photos 1, 2 and 3
        {3, 4, 5, 3},   // 15 / 4: photos 1, 2, 3 and 4
        {4, 5, 10, 8},
        {1, 2, 1, 0},   // one photo: nothing to spread
        {1, 2, 0, 0},   // none: the backdrop everywhere
        {1, 1, 10, 0},  // one monitor
        {2, 3, 2, 1},   // more monitors than photos: monitor 1 (2 / 3 = 0) meets the primary's
        {1, 2, 99, 5},  // a count past ten counts as ten
    };
    for (const Row& row : rows)
        EXPECT_EQ(rotationStart(row.index, row.count, row.photos), row.start)
            << row.index << " of " << row.count << " with " << row.photos << " photos";
}

TEST(MonitorCover, AFailureTurnsOneMonitorBlackUntilNoneIsLeft) {
    struct Row {
        bool primaryStart;
        int othersPlaying;
        MonitorLoss loss;
    };
    const Row rows[] = {
        {true, 0, MonitorLoss::EndShow},     // no device or no script on the primary: as ever
        {true, 2, MonitorLoss::EndShow},     // (the others never start before the primary)
        {false, 0, MonitorLoss::EndShow},    // one monitor lost its device: as ever
        {false, 1, MonitorLoss::TurnBlack},  // one of two: the other plays on
        {false, 3, MonitorLoss::TurnBlack},
    };
    for (const Row& row : rows)
        EXPECT_EQ(monitorLoss(row.primaryStart, row.othersPlaying), row.loss)
            << row.primaryStart << " " << row.othersPlaying;
}

TEST(MonitorCover, TheTestSwitchNamesOneMonitorBesideThePrimary) {
    struct Row {
        const char* setting;  // null: the variable is not set
        int monitor;
        bool refused;
    };
    const Row rows[] = {
        {"2", 2, true},
        {"2", 3, false},
        {"3", 3, true},
        {"02", 2, true},          // a leading zero is still 2
        {nullptr, 2, false},
        {"", 2, false},
        {"1", 1, false},          // the primary is never refused this way
        {"0", 2, false},
        {"-2", 2, false},
        {"2 ", 2, false},         // anything but digits refuses nothing
        {"4294967298", 2, false}, // 2 past 2^32: no wrap onto monitor 2
    };
    for (const Row& row : rows)
        EXPECT_EQ(deviceRefusedForTest(row.setting, row.monitor), row.refused)
            << (row.setting ? row.setting : "(unset)") << " on monitor " << row.monitor;
}

}  // namespace
}  // namespace qv
