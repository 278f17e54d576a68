#include "scene/PictureChoice.h"

#include "text/Utf8Text.h"

namespace qv {

namespace {

constexpr std::array<const char*, 10> kPlaceholders{{
    "STILL1.JPG", "STILL2.JPG", "STILL3.JPG", "STILL4.JPG", "STILL5.JPG",
    "STILL6.JPG", "STILL7.JPG", "STILL8.JPG", "STILL9.JPG", "STILL10.JPG",
}};

// "Contains at a position after the first character", as every name test
// of the scripts is made.
bool containsAfterFirst(const std::string& text, const char* needle) {
    return text.find(needle, 1) != std::string::npos;
}

}  // namespace

PictureChoice::PictureChoice(const Variant& variant, PictureMemory& memory, DrawingPort& device, int rotationStart,
                             const PhotosOnScreens* screens, const SceneLayer* ownLayers)
    : variant_(variant),
      memory_(memory),
      device_(device),
      rotationStart_((rotationStart % 10 + 10) % 10),
      screens_(screens),
      ownLayers_(ownLayers) {
    for (std::size_t i = 0; i < stillRotation_.size(); ++i)
        stillRotation_[i] = static_cast<int>((i + static_cast<std::size_t>(rotationStart_)) % 10) + 1;
}

int PictureChoice::placeholderNumber(const std::string& upperText) {
    for (std::size_t i = 0; i < kPlaceholders.size(); ++i) {
        if (containsAfterFirst(upperText, kPlaceholders[i])) return static_cast<int>(i) + 1;
    }
    return 0;
}

void PictureChoice::advanceRotation() {
    for (int& counter : stillRotation_) counter = counter >= 10 ? 1 : counter + 1;
    // Every placeholder now stands for another picture, so the last one asked
    // for is no reason to skip: else a scene naming only STILL1 would show
    // the first picture on every pass of a repeating script.
    lastPlaceholder_.clear();
}

void PictureChoice::choosePicture(SceneLayer& layer, const std::string& source,
                                  const std::string& layerFile) {
    const std::string upper = upperPath(source);
    if (!containsAfterFirst(layerFile, "still_")) {
        assignPicture(layer, upper, source);
        return;
    }
    if (memory_.photoCount() == 0) {
        showBackdrop(layer);
        return;
    }
    // The same placeholder asked for twice in a row: the layer keeps what
    // it has.
    if (!lastPlaceholder_.empty() && lastPlaceholder_ == upper) return;
    const int n = placeholderNumber(upper);
    if (variant_.picturesOnDemand) {
        // One shared buffer: placeholder n is the user's picture n, made
        // now and looked up as any picture; a source naming no placeholder
        // looks nothing up.
        if (n != 0) {
            const int picture = pictureNoOneShows((n - 1 + rotationStart_) % 10 + 1);
            if (picture == 0) {
                showBackdrop(layer);
                lastPlaceholder_ = upper;
                return;
            }
            // Composed ahead when the scene was foreseen, or now.
            if (!memory_.takeAhead(this, picture)) {
                memory_.nextFolderPicture(picture);
                memory_.composePicture(picture);
            }
            const std::string replacement = memory_.pictureName(picture);
            assignPicture(layer, upperPath(replacement), replacement, picture);
        }
    } else {
        const int picture = n != 0 ? pictureNoOneShows(stillRotation_[static_cast<std::size_t>(n - 1)]) : 0;
        if (n != 0 && picture == 0) {
            showBackdrop(layer);
            lastPlaceholder_ = upper;
            return;
        }
        if (picture != 0) memory_.nextFolderPicture(picture);
        const std::string replacement = picture != 0 ? memory_.pictureName(picture) : std::string();
        // The buffer the rotation chose, not the first of the same name: a
        // folder slot's buffers hold different pictures under one name.
        assignPicture(layer, upperPath(replacement), replacement, picture);
    }
    lastPlaceholder_ = upper;
}

void PictureChoice::showBackdrop(SceneLayer& layer) {
    const std::string base = upperPath(variant_.basePicture);
    assignPicture(layer, base, base);
}

int PictureChoice::pictureNoOneShows(int picture) const {
    if (screens_ == nullptr || picture < 1 || picture > 10) return picture;
    if (memory_.pictureName(picture).empty()) return picture;
    for (int step = 0; step < 10; ++step) {
        const int candidate = (picture - 1 + step) % 10 + 1;
        const std::string& name = memory_.pictureName(candidate);
        if (!name.empty() && !screens_->shownElsewhere(ownLayers_, name)) return candidate;
    }
    return 0;
}

PictureImage PictureChoice::foreseeImage(const std::string& source, const std::string& layerFile,
                                         int handOvers, Foresight& foresight) {
    const std::string upper = upperPath(source);
    // A variant C picture slot is the shared buffer: never looked up.
    const bool slots = !variant_.picturesOnDemand;
    if (!containsAfterFirst(layerFile, "still_")) return lookUp(upper, slots);
    if (memory_.photoCount() == 0) return lookUp(upperPath(variant_.basePicture), slots);
    if (!foresight.lastPlaceholder.empty() && foresight.lastPlaceholder == upper) return {};
    foresight.lastPlaceholder = upper;
    const int n = placeholderNumber(upper);
    if (n == 0) return {};
    if (!slots) {
        // The one buffer for composing ahead goes to the first picture of
        // the walk, the one due soonest.
        if (foresight.composedAhead) return {};
        foresight.composedAhead = true;
        const int picture = pictureNoOneShows((n - 1 + rotationStart_) % 10 + 1);
        if (picture == 0) return {};
        const PictureImage image = memory_.composeAhead(this, picture);
        aheadUnderWay_ = memory_.aheadUnderWay(this);
        return image;
    }
    const int shift = handOvers > 0 ? handOvers % 10 : 0;
    const int picture = (stillRotation_[static_cast<std::size_t>(n - 1)] - 1 + shift) % 10 + 1;
    // The buffer the rotation will choose, not the first of the same name: a
    // folder slot's buffers hold different pictures under one name.
    if (memory_.pictureName(picture).empty()) return {};
    return memory_.pictureImage(picture);
}

bool PictureChoice::aheadArrived() {
    if (!aheadUnderWay_ || memory_.aheadUnderWay(this)) return false;
    aheadUnderWay_ = false;
    return true;
}

PictureImage PictureChoice::lookUp(const std::string& key, bool slots) const {
    if (key.empty()) return {};
    for (int n = 1; n <= 10; ++n)
        if (memory_.pictureName(n) == key) return slots ? memory_.pictureImage(n) : PictureImage{};
    PictureImage found;
    const std::size_t count = memory_.cachedCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (memory_.cachedName(i) == key) {
            found = memory_.cachedImage(i);
            if (variant_.cacheStopsAtFirstMatch) break;
        }
    }
    return found;
}

void PictureChoice::assignPicture(SceneLayer& layer, const std::string& key, const std::string& text,
                                  int composed) {
    // An empty name is what a buffer holding nothing is called: matching it
    // would only take the layer's picture away (a block without a source, a
    // source naming no placeholder), so nothing is looked up.
    if (key.empty()) return;
    // The shared buffer holds the picture just composed, with the size
    // recorded for its number. An earlier slot of the same file may never
    // have been composed (no size, so no texture), so that number wins.
    if (composed != 0 && memory_.pictureName(composed) == key) {
        const PictureImage image = memory_.pictureImage(composed);
        layer.loadTexture(device_, text, image.bytes, image.size);
        return;
    }
    for (int n = 1; n <= 10; ++n) {
        if (memory_.pictureName(n) == key) {
            const PictureImage image = memory_.pictureImage(n);
            layer.loadTexture(device_, text, image.bytes, image.size);
            return;
        }
    }
    const std::size_t count = memory_.cachedCount();
    for (std::size_t i = 0; i < count; ++i) {
        if (memory_.cachedName(i) == key) {
            const PictureImage image = memory_.cachedImage(i);
            layer.loadTexture(device_, text, image.bytes, image.size);
            if (variant_.cacheStopsAtFirstMatch) return;
        }
    }
}

}  // namespace qv
