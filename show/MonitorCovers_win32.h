#pragma once
// The black windows over the monitors the show does not play on (Windows
// builds only): top-most, never activated, no cursor; what reaches them goes
// to the show, which applies its rules (show/MonitorCover.h).
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/Win32Window.h"
#include "show/MonitorCover.h"

namespace qv::win {

class MonitorCovers {
public:
    using Listener = std::function<void(CoverEvent)>;

    MonitorCovers();
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // One black window per rectangle; events on them go to the listener.
    void cover(HINSTANCE instance, const std::vector<ScreenRect>& rectangles, Listener listener);
    // Takes every black window away.
    void remove();
    std::size_t count() const { return windows_.size(); }

private:
    class CoverWindow;
    Listener listener_;
    std::vector<std::unique_ptr<CoverWindow>> windows_;
};

}  // namespace qv::win
