#pragma once
// The power port on the system's power calls (Windows builds only).
#include "ports/PowerPort.h"

namespace qv::win {

class Win32Power : public PowerPort {
public:
    bool screenSaveTimeout(std::uint32_t& seconds) override;
    bool screenSaverRunning(bool& running) override;
    bool acLineStatus(int& status) override;
    bool currentIdlePolicy(IdlePolicy& policy) override;
    bool executionState(std::uint32_t& state) override;
    bool enableShutdownPrivilege() override;
    bool setSystemPowerState(bool suspend, bool force) override;
};

}  // namespace qv::win
