#pragma once
// The user's photos the shows of all monitors have on screen at this moment,
// so that a monitor's placeholder never takes a photo another monitor shows.
// Every show registers its layer table for its life; all of them run on the
// one thread that ticks them, so nothing here is locked. A single show never
// needs one (it has nobody to keep apart from).
//
// A photo is known by its picture's name (its upper-cased path): the slots
// that hold one photo several times over (three photos in ten slots) are
// one photo, and a folder slot, whose buffers all carry the slot's name,
// is one photo too: two monitors never show two pictures of one folder at
// once either.
#include <cstddef>
#include <string>
#include <vector>

#include "scene/SceneLayer.h"

namespace qv {

class PhotosOnScreens {
public:
    // A show's layer table of count layers, of which 1 to lastDrawn are
    // drawn; kept until leave. A table given twice is kept once.
    void join(const SceneLayer* layers, std::size_t count, int lastDrawn);
    void leave(const SceneLayer* layers);

    // True when a show other than the one whose table is own has a live
    // layer with a texture made of the picture named name: one drawn now,
    // or one its scene has placed and will draw once its wait is over. A
    // layer once drawn stays drawn until it is placed again, and one faded
    // out may fade back in without a new picture (a change block), so it
    // counts as long as it holds the texture. An empty name is no photo.
    bool shownElsewhere(const SceneLayer* own, const std::string& name) const;

    std::size_t shows() const { return shows_.size(); }

private:
    struct Show {
        const SceneLayer* layers;
        std::size_t count;
        int lastDrawn;
    };
    std::vector<Show> shows_;
};

}  // namespace qv
