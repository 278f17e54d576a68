#pragma once
// Drawing one frame of the show: clear to opaque black, draw the started
// layers 1 up to the variant's last drawn record in order, present. The
// device side is two ports: FramePort for the frame itself, DrawingPort for
// what a layer draws.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ports/DrawingPort.h"
#include "ports/FramePort.h"
#include "scene/SceneLayer.h"

namespace qv {

class FrameDrawer {
public:
    static constexpr std::uint32_t kClearColour = 0xFF000000u;  // opaque black

    // 1 when the frame was presented, 0 when not. A failed present releases
    // the device; from then on every call returns 0 at once, touching
    // nothing, and deviceLost() tells the show to end.
    // A frame that would look exactly like the last one presented (the same
    // layers started, with the same corners and textures) is not drawn
    // again: a show whose layers have stopped then costs next to nothing.
    // invalidate() makes the next frame draw in any case.
    int drawFrame(FramePort& frame, DrawingPort& drawing, SceneLayer* layers,
                  std::size_t layerCount, int lastDrawnLayer);

    // The window needs repainting, or the layers may hold new textures
    // (a scene was built): the next frame is drawn whatever it looks like.
    void invalidate() { invalidated_ = true; }

    bool deviceLost() const { return lost_; }

private:
    // What a frame shows: per drawn record, whether it is started and, if
    // so, its corners and its texture.
    void takeSignature(const SceneLayer* layers, std::size_t layerCount, int lastDrawnLayer,
                       std::vector<unsigned char>& into) const;

    bool lost_ = false;
    bool invalidated_ = true;
    std::vector<unsigned char> presented_;  // signature of the last presented frame
    std::vector<unsigned char> current_;
};

}  // namespace qv
