#pragma once
// The monitors around the show. The show plays on the primary monitor, and
// every other monitor gets a window of its own for the show's whole life:
// black at first, so no open document stays in sight, then playing a show
// of its own where a device can be made for it. Input on any of them ends
// the show as input on the show window does. The decisions need no window
// and live here.
#include <vector>

#include "ports/MonitorsPort.h"
#include "show/ShowInput.h"

namespace qv {

// Screen rectangles of the other monitors' windows: every monitor but the primary and
// those lying wholly inside the show's rectangle (a clone of the primary),
// each rectangle once (mirrored monitors report the same one), empty ones
// left out, in the system's order. None for the test window, which stays
// one window.
std::vector<ScreenRect> coverRectangles(MonitorsPort& monitors, const ScreenRect& show, bool testWindow);

// What reaches another monitor's window and may end the show.
enum class CoverEvent {
    KeyDown,
    ButtonDown,     // left, right or middle
    MouseMove,
    DisplayChange,  // a monitor added or removed, or a mode changed
};

// True when the event ends the show. Keys, buttons and display changes
// always do. A move does when the cursor (screen coordinates, read from the
// system) is more than 5 pixels from where the first move of the show found
// it: one cursor rule for the show window and every other window, so the
// first move on one monitor and the next on another are measured together.
bool coverEventEndsShow(CoverEvent event, int cursorX, int cursorY, CursorWake& cursor);

// The slot the placeholder rotation of monitor index starts on, of count
// monitors with a show (the primary is index 0 and starts on 0), when the
// user has photoCount photos. The ten slots hold the photos in turn
// (1 2 3 1 2 3 ... with three), so monitor k starts floor(k x P / m) slots
// on: the monitors' first pictures lie evenly spread over the photos, all
// different while there are at least as many photos as monitors. Fewer
// than two photos, or one monitor, start everyone on 0. Each monitor's
// rotation then moves on at its own scripts' hand-overs, so the rotations
// may meet: PhotosOnScreens keeps their picks apart.
int rotationStart(int index, int count, int photoCount);

// What becomes of a monitor whose show cannot go on: its device could not
// be made, its scene script would not start, or its device was lost.
enum class MonitorLoss {
    TurnBlack,  // the monitor turns black; the others play on
    EndShow,    // the whole show ends, as input would end it
};
// primaryStart: the primary's show failed to start (that ends the program
// as it always has, before any other monitor plays). Otherwise a monitor
// turns black while another one still plays; the last one to stop ends
// the show.
MonitorLoss monitorLoss(bool primaryStart, int othersPlaying);

// A test switch: whether setting (the text of an environment variable, or
// null when it is not set) names monitorNumber (2 for the first beside the
// primary) as a monitor whose device must fail to be made. Only a plain
// decimal number naming a monitor beside the primary counts; anything else
// refuses nothing.
bool deviceRefusedForTest(const char* setting, int monitorNumber);

}  // namespace qv
