#pragma once
// The show window's part of power management: which timer it arms for the
// power policy's answer, what a firing of that timer does, and which power
// action the window leaves the application when it ends. Only an end by the
// power timer keeps the action; a show that ends early, or on any input or
// system event, leaves none.
#include <cstdint>

#include "show/PowerPolicy.h"
#include "show/MusicControl.h"

namespace qv {

class ShowPower {
public:
    static constexpr unsigned kSleepTimer = 23;
    static constexpr unsigned kHibernateTimer = 24;
    // The longest a window timer waits (USER_TIMER_MAXIMUM, about 24.8
    // days); a longer period is waited out in steps of at most this.
    static constexpr std::int64_t kLongestTimerMs = 0x7FFFFFFF;

    struct Timer {
        unsigned id = 0;           // 0: no timer
        std::uint32_t delayMs = 0;
    };

    enum class Firing {
        Ignore,   // not our timer, or the show is over: change nothing
        Rearm,    // arm the timer again with the delay given
        EndShow,  // stop the timer and destroy the window; the action is kept
    };
    struct Outcome {
        Firing firing = Firing::Ignore;
        Timer timer;
    };

    // At creation: asks the policy and keeps the action it reports. Nothing
    // is asked or armed once the show has ended.
    Timer arm(PowerPolicy& policy);
    // A firing of timer id. At the end of a whole period: the music is
    // stopped while the policy is asked whether the system is kept awake,
    // and run again when it is, with the timer armed for a whole idle
    // time-out.
    Outcome onTimer(unsigned id, PowerPolicy& policy, MusicControl* music);
    // The show ended before it began: no timer, no action.
    void endEarly();
    // The window is destroyed (by input, a system event or the power timer).
    void end();
    // What the program carries out at exit: the action only when the power
    // timer ended the show; none after input, a system event or an early end.
    int exitAction() const;

    int action() const { return action_; }
    bool endedByPower() const { return endedByPower_; }

private:
    std::uint32_t nextStep();

    int action_ = kPowerActionNone;
    bool endedByPower_ = false;
    bool over_ = false;
    unsigned timerId_ = 0;
    std::int64_t periodMs_ = 0;
    std::int64_t remainingMs_ = 0;  // of the current period, after the armed step
};

}  // namespace qv
