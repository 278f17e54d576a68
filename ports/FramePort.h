#pragma once
// The frame port: what drawing one whole frame asks of the device beyond the
// layers themselves (DrawingPort). The Direct3D 8 adapter implements both.
#include <cstdint>

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

}  // namespace qv
