#include "library/FolderOrder.h"

#include <unordered_set>
#include <utility>

namespace qv {

namespace {

// The places from..last-1 of the round in a random order, every order
// equally likely (Fisher and Yates).
void shuffleFrom(std::vector<std::string>& items, std::size_t from, RandomSource& random) {
    for (std::size_t i = items.size(); i > from + 1; --i) {
        const std::size_t span = i - from;
        const std::size_t j = from + random.below(static_cast<std::uint32_t>(span));
        if (j != i - 1) std::swap(items[i - 1], items[j]);
    }
}

}  // namespace

bool FolderOrder::restore(std::vector<std::string> round, std::size_t position, std::string current) {
    round_.clear();
    position_ = 0;
    current_.clear();
    previous_.clear();
    if (position > round.size()) return false;
    std::unordered_set<std::string> seen;
    seen.reserve(round.size());
    for (const auto& name : round)
        if (name.empty() || !seen.insert(name).second) return false;
    round_ = std::move(round);
    position_ = position;
    current_ = std::move(current);
    previous_ = current_;
    return true;
}

void FolderOrder::update(const std::vector<std::string>& listing, RandomSource& random) {
    std::unordered_set<std::string> listed;
    listed.reserve(listing.size());
    for (const auto& name : listing)
        if (!name.empty()) listed.insert(name);

    // Drop what is gone, keeping the order of the rest and the count shown.
    std::unordered_set<std::string> kept;
    kept.reserve(round_.size());
    std::size_t write = 0;
    std::size_t shown = 0;
    for (std::size_t read = 0; read < round_.size(); ++read) {
        if (listed.count(round_[read]) == 0 || !kept.insert(round_[read]).second) continue;
        if (read < position_) ++shown;
        if (write != read) round_[write] = std::move(round_[read]);
        ++write;
    }
    round_.resize(write);
    position_ = shown;

    // Each newcomer goes to a random place among those not shown yet (the
    // one it lands on moves to the end), so none waits for the next round.
    for (const auto& name : listing) {
        if (name.empty() || !kept.insert(name).second) continue;
        round_.push_back(name);
        const std::size_t unshown = round_.size() - position_;
        const std::size_t j = position_ + random.below(static_cast<std::uint32_t>(unshown));
        if (j != round_.size() - 1) std::swap(round_[j], round_.back());
    }
}

void FolderOrder::startRound(RandomSource& random) {
    position_ = 0;
    ++roundsBegun_;
    shuffleFrom(round_, 0, random);
}

std::optional<std::string> FolderOrder::next(RandomSource& random) {
    if (round_.empty()) return std::nullopt;
    if (position_ >= round_.size()) startRound(random);
    // The picture on screen never comes straight back, not at a new round's
    // start nor after pictures passed over: while the round has another to
    // give, it changes place with one of those, chosen at random.
    const std::size_t rest = round_.size() - position_ - 1;
    if (rest > 0 && round_[position_] == current_) {
        const std::size_t j = position_ + 1 + random.below(static_cast<std::uint32_t>(rest));
        std::swap(round_[position_], round_[j]);
    }
    previous_ = current_;
    current_ = round_[position_++];
    return current_;
}

}  // namespace qv
