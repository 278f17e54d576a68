#include "library/FolderPictures.h"

#include "library/FolderListing.h"

namespace qv {

void FolderPictures::takeListing(const std::vector<std::string>& listing, RandomSource& random) {
    order_.update(listing, random);
    skipped_.clear();
}

std::optional<std::string> FolderPictures::next(RandomSource& random,
                                                const std::function<bool(const std::string&)>& usable,
                                                const std::function<bool()>& stopped) {
    // A round visits every picture once: that many tries find a usable one
    // if there is any.
    const std::size_t tries = order_.round().size();
    for (std::size_t i = 0; i < tries && skipped_.size() < tries; ++i) {
        if (stopped && stopped()) return std::nullopt;
        auto name = order_.next(random);
        if (!name) return std::nullopt;
        if (skipped_.count(*name) != 0) continue;
        if (usable(*name)) return name;
        skipped_.insert(*name);
    }
    return std::nullopt;
}

FolderPick pickFolderPicture(FolderPort& folders, const PictureExtensions& extensions,
                             const std::string& folder, FolderPictures& pictures, bool& listed,
                             RandomSource& random, const std::function<bool(const std::string&)>& usable) {
    if (!listed) {
        // One read of the folder itself: a kept order of a folder that is
        // gone would otherwise try every picture of its round in vain.
        std::vector<FolderEntry> entries;
        if (!folders.list(folder, entries)) return FolderPick::Unreachable;
    }
    if (!pictures.order().empty() && pictures.next(random, usable)) return FolderPick::Found;
    if (listed) return FolderPick::NoPicture;
    listed = true;
    const FolderListing listing = listFolder(folders, folder, extensions);
    if (!listing.reachable) return FolderPick::Unreachable;
    pictures.takeListing(listing.pictures, random);
    return pictures.next(random, usable) ? FolderPick::Found : FolderPick::NoPicture;
}

}  // namespace qv
