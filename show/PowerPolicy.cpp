#include "show/PowerPolicy.h"

namespace qv {

namespace {

constexpr std::uint32_t kEsSystemRequired = 0x1;
constexpr int kAcOffline = 0;
constexpr int kAcOnline = 1;
constexpr int kAcQueryFailed = 2;

bool actsOn(int action) { return action == kPowerActionSleep || action == kPowerActionHibernate; }

}  // namespace

std::uint32_t PowerPolicy::ScreenSaveTimeout() {
    std::uint32_t seconds = 0;
    return port_.screenSaveTimeout(seconds) ? seconds : 0;
}

int PowerPolicy::AcLineStatus() {
    int status = 0;
    return port_.acLineStatus(status) ? status : kAcQueryFailed;
}

std::uint32_t PowerPolicy::IdleAction(int* action) {
    int chosen = kPowerActionNone;
    std::uint32_t seconds = 0;
    const int line = AcLineStatus();
    IdlePolicy policy;
    if (port_.currentIdlePolicy(policy)) {
        if (line == kAcOnline) {
            chosen = policy.actionAc;
            seconds = policy.timeoutAcSeconds;
        } else if (line == kAcOffline) {
            chosen = policy.actionDc;
            seconds = policy.timeoutDcSeconds;
        }
    }
    if (action) *action = chosen;
    return seconds;
}

int PowerPolicy::IsSystemRequired() {
    // When the state cannot be read, the system counts as kept awake: the
    // machine is never put to sleep on a guess.
    if (!port_.executionState(executionState_)) return 1;
    return (executionState_ & kEsSystemRequired) ? 1 : 0;
}

std::int64_t PowerPolicy::PowerTimer(int* action) {
    const std::int64_t s = ScreenSaveTimeout();
    int chosen = kPowerActionNone;
    const std::int64_t i = IdleAction(&chosen);
    if (action) *action = chosen;
    // An idle time-out of 0 is the scheme's "never": no timer, whatever the
    // rest says (a 0 s screen saver time-out would otherwise give 1 ms).
    if (!actsOn(chosen) || i == 0) return 0;
    bool running = false;
    if (!port_.screenSaverRunning(running)) running = false;
    if (!running) return i * 1000;
    // The system has been idle for s seconds already when a screen saver runs.
    const std::int64_t d = (i - s) * 1000;
    if (d > 0) return d;
    // Past the idle time-out already: at once, unless the system is kept
    // awake, in which case it is asked again after a whole idle time-out.
    if (IsSystemRequired() == 1) return i * 1000;
    return d == 0 ? 1 : 0;
}

bool carryOutPowerAction(PowerPort& port, int action) {
    if (!actsOn(action)) return false;
    // Without the privilege the machine is left running.
    if (!port.enableShutdownPrivilege()) return false;
    port.setSystemPowerState(action == kPowerActionSleep, false);
    return true;
}

}  // namespace qv
