#pragma once
// Monitors for tests: whatever the test lays out, changeable mid-test (a
// monitor plugged in or taken away).
#include <vector>

#include "ports/MonitorsPort.h"

namespace qv {

class FakeMonitors : public MonitorsPort {
public:
    FakeMonitors() = default;
    explicit FakeMonitors(std::vector<MonitorArea> layout) : layout(std::move(layout)) {}
    std::vector<MonitorArea> monitors() override { return layout; }

    std::vector<MonitorArea> layout;
};

}  // namespace qv
