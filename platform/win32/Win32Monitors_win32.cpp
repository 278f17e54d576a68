#include "platform/win32/Win32Monitors.h"

#include <windows.h>

namespace qv::win {

namespace {

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* list = reinterpret_cast<std::vector<MonitorArea>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;  // gone meanwhile: left out
    MonitorArea area;
    area.rect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    area.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    list->push_back(area);
    return TRUE;
}

}  // namespace

std::vector<MonitorArea> Win32Monitors::monitors() {
    std::vector<MonitorArea> list;
    EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

}  // namespace qv::win
