#pragma once
// The monitors around the show. The show plays on the primary monitor; every
// other monitor gets a black window for the show's whole life, so no open
// document stays in sight, and input on any of them ends the show as input
// on the show window does. The decisions need no window and live here.
#include <vector>

#include "ports/MonitorsPort.h"
#include "show/ShowInput.h"

namespace qv {

// Screen rectangles of the black windows: every monitor but the primary and
// those lying wholly inside the show's rectangle (a clone of the primary),
// each rectangle once (mirrored monitors report the same one), empty ones
// left out, in the system's order. None for the test window, which stays
// one window.
std::vector<ScreenRect> coverRectangles(MonitorsPort& monitors, const ScreenRect& show, bool testWindow);

// What reaches a black window and may end the show.
enum class CoverEvent {
    KeyDown,
    ButtonDown,     // left, right or middle
    MouseMove,
    DisplayChange,  // a monitor added or removed, or a mode changed
};

// True when the event ends the show. Keys, buttons and display changes
// always do. A move does when the cursor (screen coordinates, read from the
// system) is more than 5 pixels from where the first move of the show found
// it: one cursor rule for the show window and every black window, so the
// first move on one monitor and the next on another are measured together.
bool coverEventEndsShow(CoverEvent event, int cursorX, int cursorY, CursorWake& cursor);

}  // namespace qv
