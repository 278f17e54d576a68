#include "render/BitmapCache.h"

#include "text/Utf8Text.h"

namespace qv {

void BitmapCache::fill(FilesPort& files, const std::string& dataDirectory) {
    entries_.clear();
    for (const FoundEntry& found : files.find(dataDirectory + "*.bmp")) {
        if (found.directory || found.name == "." || found.name == "..") continue;
        CachedBitmap bitmap;
        bitmap.name = upperPath(dataDirectory + found.name);
        const std::size_t still = bitmap.name.find("STILL");
        if (still != std::string::npos && still > 0) continue;
        if (!files.readAll(dataDirectory + found.name, bitmap.bytes, kMaxFileBytes)) continue;
        entries_.push_back(std::move(bitmap));
    }
}

std::vector<std::size_t> BitmapCache::find(const std::string& name, bool stopAtFirst) const {
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name != name) continue;
        matches.push_back(i);
        if (stopAtFirst) break;
    }
    return matches;
}

}  // namespace qv
