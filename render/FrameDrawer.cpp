#include "render/FrameDrawer.h"

#include <cstring>

namespace qv {

void FrameDrawer::takeSignature(const SceneLayer* layers, std::size_t layerCount,
                                int lastDrawnLayer, std::vector<unsigned char>& into) const {
    into.clear();
    for (int i = 1; i <= lastDrawnLayer && static_cast<std::size_t>(i) < layerCount; ++i) {
        const SceneLayer& layer = layers[i];
        into.push_back(layer.started ? 1 : 0);
        if (!layer.started) continue;
        const auto* corners = reinterpret_cast<const unsigned char*>(layer.corners.data());
        into.insert(into.end(), corners, corners + sizeof(layer.corners));
        // The texture's address itself: another texture is another frame.
        const DrawingTexture* texture = layer.texture.get();
        unsigned char pointer[sizeof(texture)];  // NOLINT(bugprone-sizeof-expression): the pointer's own bytes
        std::memcpy(pointer, &texture, sizeof(texture));  // NOLINT(bugprone-sizeof-expression): as above
        into.insert(into.end(), pointer, pointer + sizeof(pointer));
    }
}

int FrameDrawer::drawFrame(FramePort& frame, DrawingPort& drawing, SceneLayer* layers,
                           std::size_t layerCount, int lastDrawnLayer) {
    if (lost_) return 0;
    takeSignature(layers, layerCount, lastDrawnLayer, current_);
    if (!invalidated_ && current_ == presented_) return 0;
    // A frame that cannot be cleared is skipped; the next due one tries again.
    if (frame.clear(kClearColour) != 0) return 0;
    // A failed BeginScene draws nothing but still presents.
    if (frame.beginScene() == 0) {
        for (int i = 1; i <= lastDrawnLayer && static_cast<std::size_t>(i) < layerCount; ++i) {
            if (layers[i].started) layers[i].draw(drawing);
        }
        frame.endScene();
    }
    if (frame.present() == 0) {
        presented_.swap(current_);
        invalidated_ = false;
        return 1;
    }
    // Lost or broken presentation: the device is gone for the rest of the show.
    frame.releaseDevice();
    lost_ = true;
    return 0;
}

}  // namespace qv
