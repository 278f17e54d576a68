#include "render/ShowPictureMemory.h"

namespace qv {

const std::string& ShowPictureMemory::pictureName(int n) const {
    if (n < 1 || n > 10) return empty_;
    return names_[static_cast<std::size_t>(n - 1)];
}

PictureImage ShowPictureMemory::pictureImage(int) { return {}; }

const std::string& ShowPictureMemory::cachedName(std::size_t index) const {
    return index < cache_.size() ? cache_.entry(index).name : empty_;
}

PictureImage ShowPictureMemory::cachedImage(std::size_t index) {
    if (index >= cache_.size()) return {};
    const auto& bytes = cache_.entry(index).bytes;
    return {bytes.data(), bytes.size()};
}

PictureImage ShowPictureMemory::findPicture(const std::string& name) {
    for (int n = 1; n <= 10; ++n)
        if (pictureName(n) == name) return pictureImage(n);
    const auto matches = cache_.find(name, variant_.cacheStopsAtFirstMatch);
    if (matches.empty()) return {};
    return cachedImage(matches.back());
}

}  // namespace qv
