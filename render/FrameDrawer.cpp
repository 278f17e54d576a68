#include "render/FrameDrawer.h"

namespace qv {

int FrameDrawer::drawFrame(FramePort& frame, DrawingPort& drawing, SceneLayer* layers,
                           std::size_t layerCount, int lastDrawnLayer) {
    if (lost_) return 0;
    // A frame that cannot be cleared is skipped; the next due one tries again.
    if (frame.clear(kClearColour) != 0) return 0;
    // A failed BeginScene draws nothing but still presents.
    if (frame.beginScene() == 0) {
        for (int i = 1; i <= lastDrawnLayer && static_cast<std::size_t>(i) < layerCount; ++i) {
            if (layers[i].started) layers[i].draw(drawing);
        }
        frame.endScene();
    }
    if (frame.present() == 0) return 1;
    // Lost or broken presentation: the device is gone for the rest of the show.
    frame.releaseDevice();
    lost_ = true;
    return 0;
}

}  // namespace qv
