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
    // A round visits every picture once, but the one on screen may be put
    // off to its round's last place: the rest of this round and one whole
    // round more reach every picture not yet refused.
    const std::size_t size = order_.round().size();
    const std::size_t tries = 2 * size;
    for (std::size_t i = 0; i < tries && skipped_.size() < size; ++i) {
        if (stopped && stopped()) return std::nullopt;
        auto name = order_.next(random);
        if (!name) return std::nullopt;
        if (skipped_.count(*name) == 0) {
            if (usable(*name)) return name;
            skipped_.insert(*name);
        }
        // Not shown: the picture on screen stays the one the next must not
        // repeat.
        order_.passOver();
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
