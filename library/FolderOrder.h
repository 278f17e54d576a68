#pragma once
// The order in which a folder slot shows its pictures: shuffled rounds, each
// picture once a round, the next round shuffled again and never opening with
// the picture that closed the one before. The round, how far it has come and
// the picture on screen are the whole state: kept in the slot's library file,
// they let tomorrow's show go on where today's stopped.
//
// Pictures are named by their path relative to the folder ("2020\a.jpg"),
// compared byte for byte: the listing always spells a file the same way.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "library/RandomSource.h"

namespace qv {

class FolderOrder {
public:
    FolderOrder() = default;

    // Takes a stored state. Refused (false, the order left empty) unless the
    // round names no picture twice and position is at most its length.
    bool restore(std::vector<std::string> round, std::size_t position, std::string current);

    // Takes in a new listing of the folder. Pictures no longer listed leave
    // the round at once (never shown again); new ones join the part of the
    // round not yet shown, each at a random place; the rest keeps its order
    // and what was shown stays shown. Names listed twice count once.
    void update(const std::vector<std::string>& listing, RandomSource& random);

    // The picture to show next, which becomes the current one; a new round
    // starts when this one is done. Nothing when the folder has no picture.
    // It is never the current one while the round has another still to
    // give: the current one then changes place with one of those, so a
    // picture follows itself only when it is all the round has left.
    // A caller that cannot show the picture (broken, gone) passes it over
    // and asks again; a round's length of asks visits every picture once.
    std::optional<std::string> next(RandomSource& random);
    // The picture just given by next() cannot be shown: the one before it
    // is the current one again, and the next picture is kept from
    // repeating that one.
    void passOver() { current_ = previous_; }

    const std::vector<std::string>& round() const { return round_; }
    // How many pictures of the round have been shown.
    std::size_t position() const { return position_; }
    // The picture last given by next() and not passed over (the one on
    // screen); empty before the first. It may have left the listing since.
    const std::string& current() const { return current_; }
    // Rounds begun by next() since this order was made.
    std::size_t roundsBegun() const { return roundsBegun_; }
    bool empty() const { return round_.empty(); }

private:
    void startRound(RandomSource& random);

    std::vector<std::string> round_;
    std::size_t position_ = 0;
    std::string current_;
    std::string previous_;
    std::size_t roundsBegun_ = 0;
};

}  // namespace qv
