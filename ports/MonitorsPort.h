#pragma once
// The monitors port: where the system's monitors lie on the desktop, in
// screen coordinates (the primary monitor's top left corner is 0, 0; the
// others may lie at negative coordinates).
#include <vector>

namespace qv {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool contains(const ScreenRect& other) const {
        return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
    }
    bool operator==(const ScreenRect& other) const = default;
};

struct MonitorArea {
    ScreenRect rect;
    bool primary = false;
};

class MonitorsPort {
public:
    virtual ~MonitorsPort() = default;
    // Every monitor of the desktop, in the system's order.
    virtual std::vector<MonitorArea> monitors() = 0;
};

}  // namespace qv
