#include "show/PowerPolicy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/FakePower.h"

namespace qv {
namespace {

constexpr std::uint32_t kMax = 4294967295u;  // the largest time-out the system can report
constexpr int kSleep = kPowerActionSleep;
constexpr int kHibernate = kPowerActionHibernate;

TEST(PowerTimer, CasesWorkedByHand) {
    struct Case {
        const char* what;
        std::uint32_t screenSave;  // s, seconds
        int line;                  // AC line status
        int actionAc; std::uint32_t idleAc;
        int actionDc; std::uint32_t idleDc;
        bool running;              // the system reports a running screen saver
        std::uint32_t state;       // execution state (bit 0: kept awake)
        std::int64_t period;       // expected, ms
        int action;                // expected
    };
    const Case cases[] = {
        {"(1800 - 600) s", 600, 1, kSleep, 1800, 0, 0, true, 0, 1'200'000, kSleep},
        {"no screen saver reported: 1800 s", 600, 1, kSleep, 1800, 0, 0, false, 0, 1'800'000, kSleep},
        {"hibernation alike", 600, 1, kHibernate, 1800, 0, 0, true, 0, 1'200'000, kHibernate},
        {"equal: due now", 600, 1, kSleep, 600, 0, 0, true, 0, 1, kSleep},
        {"equal, kept awake: a whole idle time-out", 600, 1, kSleep, 600, 0, 0, true, 0x80000001u, 600'000, kSleep},
        {"shorter: none", 600, 1, kSleep, 300, 0, 0, true, 0, 0, kSleep},
        {"shorter, kept awake", 600, 1, kSleep, 300, 0, 0, true, 0x1, 300'000, kSleep},
        {"display kept on only: not awake", 600, 1, kSleep, 300, 0, 0, true, 0x80000002u, 0, kSleep},
        {"shut down is never armed", 600, 1, 4, 1800, 0, 0, true, 0, 0, 4},
        {"nor is reserved action 1", 600, 1, 1, 1800, 0, 0, false, 0, 0, 1},
        {"battery: the DC values", 600, 0, kSleep, 1800, kHibernate, 900, true, 0, 300'000, kHibernate},
        {"unknown source: nothing", 600, 255, kSleep, 1800, kSleep, 1800, true, 0, 0, 0},
        // Time-outs up to the largest DWORD neither overflow nor wrap.
        {"4,294,967,295 s", 0, 1, kSleep, kMax, 0, 0, true, 0, 4'294'967'295'000, kSleep},
        {"4,294,967,295 s, none running", 600, 1, kSleep, kMax, 0, 0, false, 0, 4'294'967'295'000, kSleep},
        {"both largest: due now", kMax, 1, kSleep, kMax, 0, 0, true, 0, 1, kSleep},
        {"1 s idle, largest screen saver time-out", kMax, 1, kSleep, 1, 0, 0, true, 0, 0, kSleep},
        {"the same kept awake: 1 s", kMax, 1, kSleep, 1, 0, 0, true, 0x1, 1000, kSleep},
        // An idle time-out of 0 is "never", even beside a 0 s screen saver.
        {"idle never", 0, 1, kSleep, 0, 0, 0, true, 0, 0, kSleep},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePower power;
        power.screenSaveSeconds = c.screenSave;
        power.lineStatus = c.line;
        power.idle = {c.actionAc, c.actionDc, c.idleAc, c.idleDc};
        power.screenSaverIsRunning = c.running;
        power.state = c.state;
        PowerPolicy policy(power);
        int action = -1;
        EXPECT_EQ(policy.PowerTimer(&action), c.period);
        EXPECT_EQ(action, c.action);
    }
}

TEST(PowerTimer, FailedQueries) {
    FakePower power;
    power.screenSaveSeconds = 600;
    power.idle = {kSleep, 0, 300, 0};
    PowerPolicy policy(power);
    int action = -1;
    // An execution state that cannot be read counts as kept awake.
    power.stateFails = true;
    EXPECT_EQ(policy.PowerTimer(&action), 300'000);
    // No screen saver time-out: 0 s; no answer on a running screen saver: none.
    power.timeoutFails = true;
    power.runningFails = true;
    EXPECT_EQ(policy.ScreenSaveTimeout(), 0u);
    EXPECT_EQ(policy.PowerTimer(&action), 300'000);
    // No power status (status 2), or no policy as under Wine: action 0.
    power.lineFails = true;
    EXPECT_EQ(policy.AcLineStatus(), 2);
    EXPECT_EQ(policy.PowerTimer(&action), 0);
    EXPECT_EQ(action, 0);
    power.lineFails = false;
    power.policyFails = true;
    action = -1;
    EXPECT_EQ(policy.PowerTimer(&action), 0);
    EXPECT_EQ(action, 0);
}

TEST(PowerExit, SleepOrHibernationOnlyWithTheShutdownPrivilege) {
    using Requests = std::vector<std::string>;
    FakePower power;
    EXPECT_TRUE(carryOutPowerAction(power, kSleep));
    EXPECT_TRUE(carryOutPowerAction(power, kHibernate));
    for (int other : {0, 1, 4, 7}) EXPECT_FALSE(carryOutPowerAction(power, other));
    EXPECT_EQ(power.requests, (Requests{"privilege", "suspend", "privilege", "hibernate"}));
    // A refused privilege leaves the machine running.
    power.requests.clear();
    power.privilegeGranted = false;
    EXPECT_FALSE(carryOutPowerAction(power, kSleep));
    EXPECT_FALSE(carryOutPowerAction(power, kHibernate));
    EXPECT_EQ(power.requests, (Requests{"privilege", "privilege"}));
}

}  // namespace
}  // namespace qv
