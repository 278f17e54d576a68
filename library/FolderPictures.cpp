#include "library/FolderPictures.h"

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

}  // namespace qv
