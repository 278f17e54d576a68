#pragma once
// The power port: what the system says about its power scheme and state,
// and the calls that put the machine to sleep. Each query returns false when
// the platform call fails, leaving its output as it was.
#include <cstdint>

namespace qv {

// The idle part of the current user power policy.
struct IdlePolicy {
    int actionAc = 0;               // power action on AC: 0 none, 2 sleep, 3 hibernate, others
    int actionDc = 0;               // the same on battery
    std::uint32_t timeoutAcSeconds = 0;
    std::uint32_t timeoutDcSeconds = 0;
};

class PowerPort {
public:
    virtual ~PowerPort() = default;

    virtual bool screenSaveTimeout(std::uint32_t& seconds) = 0;  // the screen saver time-out
    virtual bool screenSaverRunning(bool& running) = 0;          // the system thinks one runs
    virtual bool acLineStatus(int& status) = 0;                  // 0 battery, 1 AC, 255 unknown
    virtual bool currentIdlePolicy(IdlePolicy& policy) = 0;
    virtual bool executionState(std::uint32_t& state) = 0;       // ES_* bits

    // Enables the shutdown privilege of this process: false when the token
    // cannot be opened or the privilege is not granted.
    virtual bool enableShutdownPrivilege() = 0;
    // Asks for the suspend state (suspend true) or hibernation; returns after
    // the machine has resumed, false when it did not change state.
    virtual bool setSystemPowerState(bool suspend, bool force) = 0;
};

}  // namespace qv
