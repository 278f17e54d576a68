#include "show/MonitorCover.h"

#include <algorithm>

namespace qv {

std::vector<ScreenRect> coverRectangles(MonitorsPort& monitors, const ScreenRect& show, bool testWindow) {
    std::vector<ScreenRect> covers;
    if (testWindow) return covers;
    for (const MonitorArea& monitor : monitors.monitors()) {
        const ScreenRect& rect = monitor.rect;
        if (monitor.primary || rect.empty() || show.contains(rect)) continue;
        if (std::find(covers.begin(), covers.end(), rect) != covers.end()) continue;
        covers.push_back(rect);
    }
    return covers;
}

bool coverEventEndsShow(CoverEvent event, int cursorX, int cursorY, CursorWake& cursor) {
    switch (event) {
        case CoverEvent::KeyDown:
        case CoverEvent::ButtonDown:
        case CoverEvent::DisplayChange: return true;
        case CoverEvent::MouseMove: return cursor.moved(cursorX, cursorY);
    }
    return false;
}

int rotationStart(int index, int count, int photoCount) {
    if (index <= 0 || count < 2 || photoCount < 2) return 0;
    const int photos = photoCount > 10 ? 10 : photoCount;
    return index * photos / count % 10;
}

MonitorLoss monitorLoss(bool primaryStart, int othersPlaying) {
    if (primaryStart || othersPlaying <= 0) return MonitorLoss::EndShow;
    return MonitorLoss::TurnBlack;
}

bool deviceRefusedForTest(const char* setting, int monitorNumber) {
    if (!setting || !*setting || monitorNumber < 2) return false;
    long named = 0;
    for (const char* c = setting; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        named = named * 10 + (*c - '0');
        if (named > 1000) return false;  // no such monitor; and no overflow
    }
    return named == monitorNumber;
}

}  // namespace qv
