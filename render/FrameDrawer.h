#pragma once
// Drawing one frame of the show: clear to opaque black, draw the started
// layers 1 up to the variant's last drawn record in order, present. The
// device side is two ports: FramePort for the frame itself, DrawingPort for
// what a layer draws.
#include <cstddef>
#include <cstdint>

#include "platform/DrawingPort.h"
#include "scene/SceneLayer.h"

namespace qv {

class FramePort {
public:
    virtual ~FramePort() = default;
    // Results are the device's codes, 0 = success.
    virtual long clear(std::uint32_t argb) = 0;  // the target only, never depth
    virtual long beginScene() = 0;
    virtual long endScene() = 0;
    virtual long present() = 0;
    // Lets go of the device for good; no call reaches it afterwards.
    virtual void releaseDevice() = 0;
};

class FrameDrawer {
public:
    static constexpr std::uint32_t kClearColour = 0xFF000000u;  // opaque black

    // 1 when the frame was presented, 0 when not. A failed present releases
    // the device; from then on every call returns 0 at once, touching
    // nothing, and deviceLost() tells the show to end.
    int drawFrame(FramePort& frame, DrawingPort& drawing, SceneLayer* layers,
                  std::size_t layerCount, int lastDrawnLayer);

    bool deviceLost() const { return lost_; }

private:
    bool lost_ = false;
};

}  // namespace qv
