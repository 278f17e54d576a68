#pragma once
// Which picture a placed layer shows: the one its source names, or, in a
// placeholder scene (a layer file whose path holds "still_"), one of the
// user's pictures in rotation, or the backdrop when the user has none.
#include <array>
#include <string>

#include "ports/DrawingPort.h"
#include "scene/PhotosOnScreens.h"
#include "scene/PictureMemory.h"
#include "scene/SceneLayer.h"
#include "variant/Variant.h"

namespace qv {

class PictureChoice {
public:
    // rotationStart: how many slots on the rotation begins (0 to 9; other
    // values are taken modulo 10), so that shows side by side on several
    // monitors start on different pictures: placeholder n first shows
    // picture ((n - 1 + rotationStart) mod 10) + 1. Variant C, which has no
    // rotation, takes the same picture for n throughout.
    // screens: the photos the shows of the other monitors have on screen,
    // ownLayers the layer table of this choice's show among them; without
    // screens (a show on one monitor) every pick is the rotation's own.
    PictureChoice(const Variant& variant, PictureMemory& memory, DrawingPort& device, int rotationStart = 0,
                  const PhotosOnScreens* screens = nullptr, const SceneLayer* ownLayers = nullptr);
    ~PictureChoice() { memory_.dropAhead(this); }
    PictureChoice(const PictureChoice&) = delete;
    PictureChoice& operator=(const PictureChoice&) = delete;

    // Gives the layer its picture. source is the block's source after
    // resolution, layerFile the resolved path of the layer file applied.
    // A placeholder never takes a photo another monitor's show has on
    // screen: the rotation's pick gives way to the next picture in the
    // rotation that no other monitor shows, and to the backdrop (what a
    // user without photos sees) when every photo is shown elsewhere.
    void choosePicture(SceneLayer& layer, const std::string& source, const std::string& layerFile);

    // Finds the picture named key (an upper-case path) among the ten, then
    // among the data-directory bitmaps, and makes the layer's texture from
    // it, naming it text; nothing happens when none matches or the key is
    // empty. composed: the number of the picture just composed into a
    // shared buffer (variant C), or the buffer a placeholder's rotation
    // chose, which is taken when its name is the key.
    void assignPicture(SceneLayer& layer, const std::string& key, const std::string& text, int composed = 0);

    // What choosePicture will know when a foreseen scene comes, kept up as
    // the look-ahead walks on: lastPlaceholder stands for lastPlaceholder()
    // as it will be then; composedAhead, that the buffer for composing ahead
    // was filled on this walk.
    struct Foresight {
        std::string lastPlaceholder;
        bool composedAhead = false;
    };

    // The image choosePicture would make the layer's texture from, found
    // without making anything, so the texture can be made ahead of its
    // scene. handOvers: the scene comes after that many more hand-overs,
    // each moving the rotation on. A placeholder repeated in a row foresees
    // nothing, as the layer keeps its picture. In a shared-buffer variant
    // (C) a placeholder's picture only exists once composed: the first one
    // of a walk is composed ahead into a buffer of this choice's own, on a
    // thread (foreseen once made: see aheadArrived), and the scene takes it
    // as the shared buffer when it asks for that picture; the others
    // foresee nothing. What other monitors will show then is not
    // known now: where a photo they show makes the scene take another, what
    // was foreseen goes unused and the scene's texture is made at its time
    // (a late texture, never a wrong picture).
    PictureImage foreseeImage(const std::string& source, const std::string& layerFile, int handOvers,
                              Foresight& foresight);

    // A picture being composed ahead when last foreseen is made now: the
    // next scene is to be foreseen again. True once for each.
    bool aheadArrived();

    // Every hand-over to another scene script moves each placeholder on to
    // the next picture buffer (10 wraps to 1) and forgets the last
    // placeholder, which only skips a repeat within one pass.
    void advanceRotation();

    const std::array<int, 10>& stillRotation() const { return stillRotation_; }
    const std::string& lastPlaceholder() const { return lastPlaceholder_; }

    // Placeholder number 1..10 named in the upper-case text after its first
    // character, or 0.
    static int placeholderNumber(const std::string& upperText);

private:
    // Picture slot (empty for a slot when slots is not set) or data-directory bitmap named key,
    // the one assignPicture's last texture comes from.
    PictureImage lookUp(const std::string& key, bool slots) const;
    // The rotation's pick picture (1 to 10) or, when another monitor shows
    // it, the first picture after it in the rotation's order that none
    // shows; 0 when every one is shown elsewhere. A pick whose buffer holds
    // nothing stands as it is (it changes nothing on screen).
    int pictureNoOneShows(int picture) const;
    // What a user without photos sees in a placeholder.
    void showBackdrop(SceneLayer& layer);

    const Variant& variant_;
    PictureMemory& memory_;
    DrawingPort& device_;
    const int rotationStart_;
    const PhotosOnScreens* screens_;
    const SceneLayer* ownLayers_;
    std::array<int, 10> stillRotation_{};
    std::string lastPlaceholder_;
    // A picture being composed ahead when last foreseen (shared-buffer
    // variants).
    bool aheadUnderWay_ = false;
};

}  // namespace qv
