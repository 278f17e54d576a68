#pragma once
// The show's picture memory: the data-directory bitmap cache, and the ten
// picture slots of the user's list. The user's pictures are not prepared yet:
// the photo count stays 0 and every slot is empty, so placeholder scenes show
// the backdrop from the cache.
#include <array>
#include <string>

#include "render/BitmapCache.h"
#include "scene/PictureMemory.h"
#include "variant/Variant.h"

namespace qv {

class ShowPictureMemory : public PictureMemory {
public:
    explicit ShowPictureMemory(const Variant& variant) : variant_(variant) {}

    // Fills the bitmap cache from the variant data directory.
    void fillCache(FilesPort& files) { cache_.fill(files, variant_.dataDir); }
    const BitmapCache& cache() const { return cache_; }

    int photoCount() const override { return photoCount_; }
    const std::string& pictureName(int n) const override;
    PictureImage pictureImage(int n) override;
    std::size_t cachedCount() const override { return cache_.size(); }
    const std::string& cachedName(std::size_t index) const override;
    PictureImage cachedImage(std::size_t index) override;
    void composePicture(int) override {}

    // Find picture: the image named exactly name (an upper-cased full path).
    // A picture slot wins; otherwise the cache, whose last match is taken
    // (variant C: its first). Empty when nothing matches.
    PictureImage findPicture(const std::string& name);

private:
    const Variant& variant_;
    BitmapCache cache_;
    int photoCount_ = 0;
    std::array<std::string, 10> names_{};
    const std::string empty_;
};

}  // namespace qv
