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

// The power port writes its execution-state queries into the music graph's
// log, so the order of stop, ask and run can be seen.
class AskingPower : public FakePower {
public:
    explicit AskingPower(Calls& log) : log_(log) {}
    bool executionState(std::uint32_t& out) override {
        log_.push_back("ask");
        return FakePower::executionState(out);
    }

private:
    Calls& log_;
};

struct Show {
    FakeMusicGraphState graph;
    AskingPower power{graph.calls};
    PowerPolicy policy{power};
    MusicPlayer music{std::make_unique<FakeMusicGraph>(graph)};
    ShowPower show;

    // 600 s screen saver time-out, AC idle time-out 1800 s with the action.
    explicit Show(int action) {
        power.screenSaveSeconds = 600;
        power.idle.actionAc = action;
        power.idle.timeoutAcSeconds = 1800;
        music.Play("music.mp3");
        graph.calls.clear();
    }
};

TEST(ShowPower, KeptAwakeTheMusicPausesForEachCheckAndTheShowGoesOnUntilInput) {
    Show s(kPowerActionSleep);
    const ShowPower::Timer armed = s.show.arm(s.policy);
    EXPECT_EQ(armed.id, 23u);
    EXPECT_EQ(armed.delayMs, 1'200'000u);
    EXPECT_EQ(s.show.action(), kPowerActionSleep);

    s.power.state = 0x1;
    for (int check = 0; check < 2; ++check) {
        s.graph.calls.clear();
        const ShowPower::Outcome out = s.show.onTimer(23, s.policy, &s.music);
        EXPECT_EQ(out.firing, Firing::Rearm);
        EXPECT_EQ(out.timer.id, 23u);
        EXPECT_EQ(out.timer.delayMs, 1'200'000u);  // another whole period
        EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask", "run"}));
    }
    EXPECT_FALSE(s.show.endedByPower());
    // A key, a click or a system event ends the show: the action is dropped.
    EXPECT_EQ(s.show.end(), kPowerActionNone);
    EXPECT_EQ(s.show.action(), kPowerActionNone);
    // A timer message still queued changes nothing.
    EXPECT_EQ(s.show.onTimer(23, s.policy, &s.music).firing, Firing::Ignore);
}

TEST(ShowPower, NotKeptAwakeTheShowEndsWithTheActionKept) {
    Show s(kPowerActionHibernate);
    EXPECT_EQ(s.show.arm(s.policy).id, 24u);
    // Other timers are none of its business.
    EXPECT_EQ(s.show.onTimer(23, s.policy, &s.music).firing, Firing::Ignore);
    EXPECT_EQ(s.show.onTimer(1, s.policy, &s.music).firing, Firing::Ignore);
    EXPECT_TRUE(s.graph.calls.empty());

    const ShowPower::Outcome out = s.show.onTimer(24, s.policy, &s.music);
    EXPECT_EQ(out.firing, Firing::EndShow);
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask"}));  // the music stays stopped
    EXPECT_TRUE(s.show.endedByPower());
    EXPECT_EQ(s.show.end(), kPowerActionHibernate);

    // Music off: the same without a player.
    Show quiet(kPowerActionSleep);
    quiet.show.arm(quiet.policy);
    EXPECT_EQ(quiet.show.onTimer(23, quiet.policy, nullptr).firing, Firing::EndShow);
    EXPECT_EQ(quiet.show.end(), kPowerActionSleep);
}

TEST(ShowPower, AShowEndedEarlyOrWithoutATimerKeepsNoAction) {
    // Ended before it began (first-run pictures failed): nothing is armed,
    // whatever the scheme says.
    Show early(kPowerActionSleep);
    early.show.endEarly();
    EXPECT_EQ(early.show.arm(early.policy).id, 0u);
    EXPECT_EQ(early.show.action(), kPowerActionNone);
    EXPECT_EQ(early.show.end(), kPowerActionNone);

    // Shut down is reported but never acted on.
    Show shutDown(4);
    EXPECT_EQ(shutDown.show.arm(shutDown.policy).id, 0u);
    EXPECT_EQ(shutDown.show.onTimer(23, shutDown.policy, &shutDown.music).firing, Firing::Ignore);
    EXPECT_EQ(shutDown.show.end(), kPowerActionNone);
}

TEST(ShowPower, ThePeriodOfTheLargestTimeOutIsWaitedOutInWholeTimerSteps) {
    // 4,294,967,295 s with no screen saver reported running: 4,294,967,295,000
    // ms = 2000 steps of 2,147,483,647 ms (4,294,967,294,000) and 1000 ms.
    Show s(kPowerActionSleep);
    s.power.screenSaverIsRunning = false;
    s.power.idle.timeoutAcSeconds = 4294967295u;
    EXPECT_EQ(s.show.arm(s.policy).delayMs, 2'147'483'647u);
    for (int step = 2; step <= 2000; ++step) {
        const ShowPower::Outcome out = s.show.onTimer(23, s.policy, &s.music);
        ASSERT_EQ(out.firing, Firing::Rearm) << step;
        ASSERT_EQ(out.timer.delayMs, 2'147'483'647u) << step;
    }
    EXPECT_EQ(s.show.onTimer(23, s.policy, &s.music).timer.delayMs, 1000u);
    EXPECT_TRUE(s.graph.calls.empty());  // no check before the whole period
    EXPECT_EQ(s.show.onTimer(23, s.policy, &s.music).firing, Firing::EndShow);
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask"}));
}

}  // namespace
}  // namespace qv
