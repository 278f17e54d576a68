#include "show/ShowPower.h"

#include <algorithm>

namespace qv {

std::uint32_t ShowPower::nextStep() {
    const std::int64_t step = std::min(remainingMs_, kLongestTimerMs);
    remainingMs_ -= step;
    return static_cast<std::uint32_t>(step);
}

ShowPower::Timer ShowPower::arm(PowerPolicy& policy) {
    if (over_) return {};
    int action = kPowerActionNone;
    const std::int64_t period = policy.PowerTimer(&action);
    action_ = action;
    if (period <= 0) return {};
    if (action == kPowerActionSleep) timerId_ = kSleepTimer;
    else if (action == kPowerActionHibernate) timerId_ = kHibernateTimer;
    else return {};
    periodMs_ = period;
    remainingMs_ = period;
    return {timerId_, nextStep()};
}

ShowPower::Outcome ShowPower::onTimer(unsigned id, PowerPolicy& policy, MusicControl* music) {
    if (over_ || id == 0 || id != timerId_) return {};
    // Part of a long period still to wait: no check yet.
    if (remainingMs_ > 0) return {Firing::Rearm, {timerId_, nextStep()}};
    // The music would itself keep the system awake; it is stopped while the
    // system is asked.
    if (music) music->Stop();
    if (policy.IsSystemRequired() == 0) {
        endedByPower_ = true;
        over_ = true;
        return {Firing::EndShow, {timerId_, 0}};
    }
    if (music) music->Run();
    // Asked again after a whole idle time-out: the period armed at the start
    // may have been the 1 ms of a show that began past the time-out, and the
    // music would then be stopped and run again every few milliseconds.
    int action = kPowerActionNone;
    const std::int64_t idleMs = static_cast<std::int64_t>(policy.IdleAction(&action)) * 1000;
    remainingMs_ = idleMs > 0 ? idleMs : periodMs_;
    return {Firing::Rearm, {timerId_, nextStep()}};
}

void ShowPower::endEarly() {
    over_ = true;
    action_ = kPowerActionNone;
}

void ShowPower::end() {
    over_ = true;
    if (!endedByPower_) action_ = kPowerActionNone;
}

int ShowPower::exitAction() const { return endedByPower_ ? action_ : kPowerActionNone; }

}  // namespace qv
