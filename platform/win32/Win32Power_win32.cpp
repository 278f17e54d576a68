#include "platform/win32/Win32Power.h"

#include <windows.h>
#include <powrprof.h>

namespace qv::win {

bool Win32Power::screenSaveTimeout(std::uint32_t& seconds) {
    UINT value = 0;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &value, 0)) return false;
    seconds = value;
    return true;
}

bool Win32Power::screenSaverRunning(bool& running) {
    BOOL value = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &value, 0)) return false;
    running = value != FALSE;
    return true;
}

bool Win32Power::acLineStatus(int& status) {
    SYSTEM_POWER_STATUS power{};
    if (!GetSystemPowerStatus(&power)) return false;
    status = power.ACLineStatus;
    return true;
}

bool Win32Power::currentIdlePolicy(IdlePolicy& policy) {
    GLOBAL_POWER_POLICY global{};
    POWER_POLICY current{};
    if (!GetCurrentPowerPolicies(&global, &current)) return false;
    policy.actionAc = static_cast<int>(current.user.IdleAc.Action);
    policy.actionDc = static_cast<int>(current.user.IdleDc.Action);
    policy.timeoutAcSeconds = current.user.IdleTimeoutAc;
    policy.timeoutDcSeconds = current.user.IdleTimeoutDc;
    return true;
}

bool Win32Power::executionState(std::uint32_t& state) {
    EXECUTION_STATE value = 0;
    if (CallNtPowerInformation(SystemExecutionState, nullptr, 0, &value, sizeof(value)) != 0) return false;
    state = value;
    return true;
}

bool Win32Power::enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool granted = false;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        // Success can still mean "not assigned" (ERROR_NOT_ALL_ASSIGNED):
        // only a last error of 0 means the privilege is ours.
        const BOOL adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        granted = adjusted && GetLastError() == ERROR_SUCCESS;
    }
    CloseHandle(token);
    return granted;
}

bool Win32Power::setSystemPowerState(bool suspend, bool force) {
    return SetSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
}

}  // namespace qv::win
