#pragma once
// The windows over the monitors beside the primary (Windows builds only):
// top-most, never activated, no cursor. Each is black when made and then
// plays a show of its own where a device can be made for its monitor: its
// own renderer, scene scripts and camera by the monitor's shape, and its own
// scene timer, stepped by the show window's tick. Each device is made on a
// thread of its own, so the primary's frames go on meanwhile. A monitor
// whose show cannot start or whose device is lost stays or turns black. What reaches
// the windows goes to the show, which applies its rules
// (show/MonitorCover.h).
#include <windows.h>
#include <d3d8.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/Win32Window.h"
#include "ports/FilesPort.h"
#include "render/ShowPictureMemory.h"
#include "scene/PhotosOnScreens.h"
#include "show/MonitorCover.h"
#include "variant/Variant.h"

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
    // Starts making every window's device, each on a thread of its own;
    // a window's show starts at the first step after its device is ready,
    // on the pictures the primary's show has prepared. A window whose device
    // cannot be made stays black (so does the monitor that the environment's
    // QV_TEST_NO_DEVICE_ON_MONITOR names, for the tests). screens: the
    // photos on every monitor's screen, the primary's among them, which
    // each show joins; it outlives the windows. direct3d: the primary's
    // Direct3D object, which the devices are made from (else each makes
    // its own).
    void play(const Variant& variant, FilesPort& files, const std::shared_ptr<ShowPictureMemory>& pictures,
              PhotosOnScreens* screens, IDirect3D8* direct3d);
    // One 50 ms tick of every playing window; each has a frame due. A
    // window whose device has been made since starts its show first.
    void step();
    bool frameDue() const;
    // Draws each due frame. A window whose device is lost turns black; true
    // when that ends the show (primaryPlaying: whether the primary monitor
    // still plays; see monitorLoss).
    bool drawDueFrames(bool primaryPlaying);
    // Spare time: one texture ahead for the first window that needs one;
    // false when none does.
    bool prepareAhead();
    // The windows that play a show.
    int playing() const;
    // Takes every window away, waiting a moment at most for a device still
    // being made.
    void remove();
    std::size_t count() const { return windows_.size(); }

private:
    class CoverWindow;
    Listener listener_;
    std::vector<std::unique_ptr<CoverWindow>> windows_;
};

}  // namespace qv::win
