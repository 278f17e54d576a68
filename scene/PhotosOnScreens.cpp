#include "scene/PhotosOnScreens.h"

#include <algorithm>

namespace qv {

void PhotosOnScreens::join(const SceneLayer* layers, std::size_t count, int lastDrawn) {
    if (layers == nullptr) return;
    leave(layers);
    shows_.push_back({layers, count, lastDrawn});
}

void PhotosOnScreens::leave(const SceneLayer* layers) {
    shows_.erase(std::remove_if(shows_.begin(), shows_.end(), [layers](const Show& show) { return show.layers == layers; }),
                 shows_.end());
}

bool PhotosOnScreens::shownElsewhere(const SceneLayer* own, const std::string& name) const {
    if (name.empty()) return false;
    for (const Show& show : shows_) {
        if (show.layers == own) continue;
        // Layer 0 is never drawn.
        for (std::size_t i = 1; i < show.count && static_cast<int>(i) <= show.lastDrawn; ++i) {
            const SceneLayer& layer = show.layers[i];
            // Drawn now, or placed by the scene playing and drawn when its wait ends.
            const bool live = layer.started || layer.inUse;
            if (live && layer.texture && layer.sourceName == name) return true;
        }
    }
    return false;
}

}  // namespace qv
