#pragma once
// A power port for tests: the scheme, the power source and the execution
// state are plain fields; a query whose "fails" flag is set fails. The
// privilege and power-state requests are recorded.
#include <cstdint>
#include <string>
#include <vector>

#include "ports/PowerPort.h"

namespace qv {

class FakePower : public PowerPort {
public:
    std::uint32_t screenSaveSeconds = 0;
    bool screenSaverIsRunning = true;
    int lineStatus = 1;
    IdlePolicy idle;
    std::uint32_t state = 0;
    bool timeoutFails = false, runningFails = false, lineFails = false, policyFails = false,
         stateFails = false;
    bool privilegeGranted = true;

    // "privilege", "suspend", "hibernate", in order.
    std::vector<std::string> requests;
    int stateQueries = 0;

    bool screenSaveTimeout(std::uint32_t& seconds) override {
        if (timeoutFails) return false;
        seconds = screenSaveSeconds;
        return true;
    }
    bool screenSaverRunning(bool& running) override {
        if (runningFails) return false;
        running = screenSaverIsRunning;
        return true;
    }
    bool acLineStatus(int& status) override {
        if (lineFails) return false;
        status = lineStatus;
        return true;
    }
    bool currentIdlePolicy(IdlePolicy& policy) override {
        if (policyFails) return false;
        policy = idle;
        return true;
    }
    bool executionState(std::uint32_t& out) override {
        ++stateQueries;
        if (stateFails) return false;
        out = state;
        return true;
    }
    bool enableShutdownPrivilege() override {
        requests.push_back("privilege");
        return privilegeGranted;
    }
    bool setSystemPowerState(bool suspend, bool force) override {
        requests.push_back(std::string(suspend ? "suspend" : "hibernate") + (force ? " forced" : ""));
        return true;
    }
};

}  // namespace qv
