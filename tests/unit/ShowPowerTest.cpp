#include "show/ShowPower.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/FakeMusicGraph.h"
#include "platform/fake/FakePower.h"
#include "show/MusicPlayer.h"

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
        EXPECT_EQ(out.timer.delayMs, 1'800'000u);  // a whole idle time-out
    }
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask", "run", "stop", "ask", "run"}));
    EXPECT_EQ(s.show.action(), kPowerActionSleep);
    // A key, a click or a system event ends the show: no action is kept,
    // and a timer message still queued changes nothing.
    s.show.end();
    EXPECT_EQ(s.show.exitAction(), kPowerActionNone);
    EXPECT_EQ(s.fire(23).firing, Firing::Ignore);
}

TEST(ShowPower, NotKeptAwakeTheShowEndsWithTheActionKept) {
    Show s(kPowerActionHibernate);
    EXPECT_EQ(s.show.arm(s.policy).id, 24u);
    EXPECT_EQ(s.fire(23).firing, Firing::Ignore);  // not its timer
    EXPECT_EQ(s.fire(24).firing, Firing::EndShow);
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask"}));  // the music stays stopped
    EXPECT_TRUE(s.show.endedByPower());
    s.show.end();
    EXPECT_EQ(s.show.exitAction(), kPowerActionHibernate);

    // Music off: the same without a player.
    Show quiet(kPowerActionSleep);
    quiet.show.arm(quiet.policy);
    EXPECT_EQ(quiet.show.onTimer(23, quiet.policy, nullptr).firing, Firing::EndShow);
    quiet.show.end();
    EXPECT_EQ(quiet.show.exitAction(), kPowerActionSleep);
}

TEST(ShowPower, AShowEndedEarlyArmsNothingAndKeepsNoAction) {
    // Ended before it began (first-run pictures failed), whatever the scheme says.
    Show early(kPowerActionSleep);
    early.show.endEarly();
    EXPECT_EQ(early.show.arm(early.policy).id, 0u);
    EXPECT_EQ(early.fire(23).firing, Firing::Ignore);
    early.show.end();
    EXPECT_EQ(early.show.exitAction(), kPowerActionNone);
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

TEST(ShowPower, AShowStartedPastTheIdleTimeOutRechecksAfterAWholeTimeOut) {
    // Screen saver after 1800 s, the action after 1800 s: the show starts at
    // the time-out, so the first check comes at once (1 ms). Kept awake by
    // then, the next check waits the whole 1800 s, never 1 ms again.
    Show s(kPowerActionSleep);
    s.screenSaveSeconds = 1800;
    EXPECT_EQ(s.show.arm(s.policy).delayMs, 1u);
    s.graph.calls.clear();  // the start's own question
    s.state = 0x1;
    for (int check = 0; check < 3; ++check) {
        const ShowPower::Outcome out = s.fire(23);
        EXPECT_EQ(out.firing, Firing::Rearm);
        EXPECT_EQ(out.timer.delayMs, 1'800'000u) << check;
    }
    EXPECT_EQ(s.graph.calls, (Calls{"stop", "ask", "run", "stop", "ask", "run", "stop", "ask", "run"}));
}

// How the show ended against what the program carries out at exit.
enum class Ending { Input, InputAfterAKeptAwakeCheck, PowerTimer, EarlyThenInput, EarlyThenTimer };

TEST(ShowPower, OnlyAnEndByThePowerTimerLeavesAnActionForTheExit) {
    struct Row {
        Ending ending;
        int scheme;    // the action the power scheme reports
        int atExit;    // what the exit step is handed
    } const rows[] = {
        {Ending::Input, kPowerActionSleep, kPowerActionNone},
        {Ending::Input, kPowerActionHibernate, kPowerActionNone},
        {Ending::InputAfterAKeptAwakeCheck, kPowerActionSleep, kPowerActionNone},
        {Ending::PowerTimer, kPowerActionSleep, kPowerActionSleep},
        {Ending::PowerTimer, kPowerActionHibernate, kPowerActionHibernate},
        {Ending::EarlyThenInput, kPowerActionSleep, kPowerActionNone},
        {Ending::EarlyThenTimer, kPowerActionHibernate, kPowerActionNone},
    };
    for (const Row& row : rows) {
        Show s(row.scheme);
        const unsigned id = row.scheme == kPowerActionSleep ? 23u : 24u;
        if (row.ending == Ending::EarlyThenInput || row.ending == Ending::EarlyThenTimer) s.show.endEarly();
        s.show.arm(s.policy);
        switch (row.ending) {
            case Ending::InputAfterAKeptAwakeCheck:
                s.state = 0x1;
                s.fire(id);
                break;
            case Ending::PowerTimer:
            case Ending::EarlyThenTimer:
                s.fire(id);
                break;
            default: break;
        }
        // Input, or the timer's own destruction of the window: either way
        // the window's destroy handling ends the power part.
        s.show.end();
        EXPECT_EQ(s.show.exitAction(), row.atExit) << static_cast<int>(row.ending) << " " << row.scheme;
    }
}

}  // namespace
}  // namespace qv
