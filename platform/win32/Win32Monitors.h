#pragma once
// The monitors port on the system's monitor list (Windows builds only).
#include "ports/MonitorsPort.h"

namespace qv::win {

class Win32Monitors : public MonitorsPort {
public:
    std::vector<MonitorArea> monitors() override;
};

}  // namespace qv::win
