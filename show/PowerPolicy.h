#pragma once
// Whether, and when, the system's power scheme would put the machine to
// sleep or into hibernation while the show runs; and the exit step that does
// it. All arithmetic is in 64 bits: any time-out the system can report (up
// to 4,294,967,295 s) gives an exact period in milliseconds.
#include <cstdint>

#include "ports/PowerPort.h"

namespace qv {

// Power actions as the power scheme reports them; only sleep and
// hibernation are ever carried out.
constexpr int kPowerActionNone = 0;
constexpr int kPowerActionSleep = 2;
constexpr int kPowerActionHibernate = 3;

class PowerPolicy {
public:
    explicit PowerPolicy(PowerPort& port) : port_(port) {}

    // The screen saver time-out in seconds; 0 when the query fails.
    std::uint32_t ScreenSaveTimeout();
    // 0 battery, 1 AC, 255 unknown; 2 when the query fails.
    int AcLineStatus();
    // The idle time-out in seconds for the current power source; stores its
    // action in *action. 0 and action 0 without a policy or a known source.
    std::uint32_t IdleAction(int* action);
    // 1 while something keeps the system awake (ES_SYSTEM_REQUIRED), else 0.
    int IsSystemRequired();
    // The show's power timer in milliseconds (0: none); stores the action.
    std::int64_t PowerTimer(int* action);

private:
    PowerPort& port_;
    std::uint32_t executionState_ = 0;
};

// The exit step: action 2 asks for the suspend state, 3 for hibernation,
// once the shutdown privilege is had; anything else does nothing. Returns
// whether the machine was asked.
bool carryOutPowerAction(PowerPort& port, int action);

}  // namespace qv
