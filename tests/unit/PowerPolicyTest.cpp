#include "app/PowerPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FakePower.h"

namespace qv {
namespace {

using Requests = std::vector<std::string>;

constexpr std::uint32_t kLargestDword = 4294967295u;

// A machine on AC whose scheme sleeps after idleSeconds; a screen saver runs
// after screenSaveSeconds.
FakePower scheme(std::uint32_t screenSaveSeconds, std::uint32_t idleSeconds, int action = kPowerActionSleep) {
    FakePower power;
    power.screenSaveSeconds = screenSaveSeconds;
    power.idle.actionAc = action;
    power.idle.timeoutAcSeconds = idleSeconds;
    return power;
}

std::int64_t timerFor(FakePower& power, int* action = nullptr) {
    PowerPolicy policy(power);
    int got = -1;
    const std::int64_t period = policy.PowerTimer(&got);
    if (action) *action = got;
    return period;
}

TEST(PowerTimer, WhileAScreenSaverRunsTheIdleTimeAlreadySpentIsTakenOff) {
    FakePower power = scheme(600, 1800);
    int action = -1;
    EXPECT_EQ(timerFor(power, &action), 1'200'000);  // (1800 - 600) s
    EXPECT_EQ(action, kPowerActionSleep);
    power.screenSaverIsRunning = false;
    EXPECT_EQ(timerFor(power), 1'800'000);
    power.runningFails = true;  // a failed query counts as "not running"
    EXPECT_EQ(timerFor(power), 1'800'000);

    // Hibernation the same way.
    FakePower hibernate = scheme(600, 1800, kPowerActionHibernate);
    EXPECT_EQ(timerFor(hibernate, &action), 1'200'000);
    EXPECT_EQ(action, kPowerActionHibernate);
}

TEST(PowerTimer, AtOrPastTheIdleTimeOutOnlyAKeptAwakeSystemWaitsAWholeIdleTimeOut) {
    FakePower equal = scheme(600, 600);
    EXPECT_EQ(timerFor(equal), 1);  // due now
    equal.state = 0x80000001u;       // ES_CONTINUOUS | ES_SYSTEM_REQUIRED
    EXPECT_EQ(timerFor(equal), 600'000);

    FakePower shorter = scheme(600, 300);
    EXPECT_EQ(timerFor(shorter), 0);
    shorter.state = 0x1;
    EXPECT_EQ(timerFor(shorter), 300'000);
    // Only the system bit keeps it awake; the display bit does not.
    shorter.state = 0x80000002u;
    EXPECT_EQ(timerFor(shorter), 0);
    // A state that cannot be read counts as kept awake.
    shorter.stateFails = true;
    EXPECT_EQ(timerFor(shorter), 300'000);
}

TEST(PowerTimer, OnlySleepAndHibernationOnAKnownSourceArmATimer) {
    int action = -1;
    for (int other : {0, 1, 4, 5, 6, 7}) {
        SCOPED_TRACE(other);
        FakePower power = scheme(600, 1800, other);
        EXPECT_EQ(timerFor(power, &action), 0);
        EXPECT_EQ(action, other);
        power.screenSaverIsRunning = false;
        EXPECT_EQ(timerFor(power), 0);
    }

    // On battery the DC values count: hibernation after 900 s.
    FakePower battery = scheme(600, 1800);
    battery.lineStatus = 0;
    battery.idle.actionDc = kPowerActionHibernate;
    battery.idle.timeoutDcSeconds = 900;
    EXPECT_EQ(timerFor(battery, &action), 300'000);
    EXPECT_EQ(action, kPowerActionHibernate);

    // An unknown source, a failed status query, or no policy at all (as
    // under Wine): action 0, no timer.
    FakePower unknown = scheme(600, 1800);
    unknown.lineStatus = 255;
    EXPECT_EQ(timerFor(unknown, &action), 0);
    EXPECT_EQ(action, kPowerActionNone);
    FakePower noStatus = scheme(600, 1800);
    noStatus.lineFails = true;
    EXPECT_EQ(PowerPolicy(noStatus).AcLineStatus(), 2);
    EXPECT_EQ(timerFor(noStatus, &action), 0);
    EXPECT_EQ(action, kPowerActionNone);
    FakePower noPolicy = scheme(600, 1800);
    noPolicy.policyFails = true;
    EXPECT_EQ(timerFor(noPolicy, &action), 0);
    EXPECT_EQ(action, kPowerActionNone);
}

TEST(PowerTimer, ExtremeTimeOutsNeitherOverflowNorWrap) {
    // The largest time-outs the system can report give exact periods in
    // milliseconds (4,294,967,295 s is 4,294,967,295,000 ms, about 136
    // years); the show waits them out in window-timer steps.
    FakePower longest = scheme(0, kLargestDword);
    EXPECT_EQ(timerFor(longest), 4'294'967'295'000);
    longest.screenSaverIsRunning = false;
    EXPECT_EQ(timerFor(longest), 4'294'967'295'000);

    FakePower both = scheme(kLargestDword, kLargestDword);
    EXPECT_EQ(timerFor(both), 1);

    // Screen saver time-out far past a 1 s idle time-out: a negative
    // difference of 4,294,967,294,000 ms, so no timer; kept awake, 1 s.
    FakePower past = scheme(kLargestDword, 1);
    EXPECT_EQ(timerFor(past), 0);
    past.state = 0x1;
    EXPECT_EQ(timerFor(past), 1000);

    // An idle time-out of 0 is "never": no timer even when a failed screen
    // saver query gives 0 s as well.
    FakePower never = scheme(600, 0);
    never.timeoutFails = true;
    EXPECT_EQ(PowerPolicy(never).ScreenSaveTimeout(), 0u);
    EXPECT_EQ(timerFor(never), 0);
}

TEST(PowerExit, SleepOrHibernationOnlyWithTheShutdownPrivilege) {
    FakePower power;
    EXPECT_TRUE(carryOutPowerAction(power, kPowerActionSleep));
    EXPECT_EQ(power.requests, (Requests{"privilege", "suspend"}));

    power.requests.clear();
    EXPECT_TRUE(carryOutPowerAction(power, kPowerActionHibernate));
    EXPECT_EQ(power.requests, (Requests{"privilege", "hibernate"}));

    // No action, or one never acted on: not even the privilege is asked for.
    power.requests.clear();
    for (int other : {0, 1, 4, 7, -1}) EXPECT_FALSE(carryOutPowerAction(power, other));
    EXPECT_TRUE(power.requests.empty());

    // A refused privilege leaves the machine running.
    power.privilegeGranted = false;
    EXPECT_FALSE(carryOutPowerAction(power, kPowerActionSleep));
    EXPECT_FALSE(carryOutPowerAction(power, kPowerActionHibernate));
    EXPECT_EQ(power.requests, (Requests{"privilege", "privilege"}));
}

}  // namespace
}  // namespace qv
