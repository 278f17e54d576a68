#include "show/ShowPower.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/FakeMusicGraph.h"
#include "platform/fake/FakePower.h"

namespace qv {
namespace {

using Calls = std::vector<std::string>;
using Firing = ShowPower::Firing;

// A show with music whose power port writes each execution-state query
// ("ask") into the music graph's log, so the order of stop, ask and run
// shows. The scheme: screen saver after 600 s, the action after 1800 s idle.
struct Show : FakePower {
    FakeMusicGraphState graph;
    PowerPolicy policy{*this};
    MusicPlayer music{std::make_unique<FakeMusicGraph>(graph)};
    ShowPower show;

    explicit Show(int action) {
        screenSaveSeconds = 600;
        idle = {action, 0, 1800, 0};
        music.Play("music.mp3");
        graph.calls.clear();
    }
    bool executionState(std::uint32_t& out) override {
        graph.calls.push_back("ask");
        return FakePower::executionState(out);
    }
    ShowPower::Outcome fire(unsigned id) { return show.onTimer(id, policy, &music); }
};

TEST(ShowPower, KeptAwakeTheMusicPausesForEachCheckAndInputDropsTheAction) {
    Show s(kPowerActionSleep);
    const ShowPower::Timer armed = s.show.arm(s.policy);
    EXPECT_EQ(armed.id, 23u);
    EXPECT_EQ(armed.delayMs, 1'200'000u);
    s.state = 0x1;
    for (int check = 0; check < 2; ++check) {
        const ShowPower::Outcome out = s.fire(23);
        EXPECT_EQ(out.firing, Firing::Rearm);
        EXPECT_EQ(out.timer.delayMs, 1'200'000u);  // another whole period
    }
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask", "run", "stop", "ask", "run"}));
    EXPECT_EQ(s.show.action(), kPowerActionSleep);
    // A key, a click or a system event ends the show: no action is kept,
    // and a timer message still queued changes nothing.
    EXPECT_EQ(s.show.end(), kPowerActionNone);
    EXPECT_EQ(s.fire(23).firing, Firing::Ignore);
}

TEST(ShowPower, NotKeptAwakeTheShowEndsWithTheActionKept) {
    Show s(kPowerActionHibernate);
    EXPECT_EQ(s.show.arm(s.policy).id, 24u);
    EXPECT_EQ(s.fire(23).firing, Firing::Ignore);  // not its timer
    EXPECT_EQ(s.fire(24).firing, Firing::EndShow);
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask"}));  // the music stays stopped
    EXPECT_TRUE(s.show.endedByPower());
    EXPECT_EQ(s.show.end(), kPowerActionHibernate);

    // Music off: the same without a player.
    Show quiet(kPowerActionSleep);
    quiet.show.arm(quiet.policy);
    EXPECT_EQ(quiet.show.onTimer(23, quiet.policy, nullptr).firing, Firing::EndShow);
    EXPECT_EQ(quiet.show.end(), kPowerActionSleep);
}

TEST(ShowPower, AShowEndedEarlyArmsNothingAndKeepsNoAction) {
    // Ended before it began (first-run pictures failed), whatever the scheme says.
    Show early(kPowerActionSleep);
    early.show.endEarly();
    EXPECT_EQ(early.show.arm(early.policy).id, 0u);
    EXPECT_EQ(early.fire(23).firing, Firing::Ignore);
    EXPECT_EQ(early.show.end(), kPowerActionNone);
}

TEST(ShowPower, TheLargestTimeOutIsWaitedOutInWholeTimerSteps) {
    // 4,294,967,295 s with no screen saver reported running: 4,294,967,295,000
    // ms = 2000 steps of 2,147,483,647 ms (4,294,967,294,000) and 1000 ms.
    Show s(kPowerActionSleep);
    s.screenSaverIsRunning = false;
    s.idle.timeoutAcSeconds = 4294967295u;
    EXPECT_EQ(s.show.arm(s.policy).delayMs, 2'147'483'647u);
    for (int step = 2; step <= 2000; ++step) ASSERT_EQ(s.fire(23).timer.delayMs, 2'147'483'647u) << step;
    EXPECT_EQ(s.fire(23).timer.delayMs, 1000u);
    EXPECT_TRUE(s.graph.calls.empty());  // no check before the whole period
    EXPECT_EQ(s.fire(23).firing, Firing::EndShow);
}

}  // namespace
}  // namespace qv
