#pragma once
// The pictures of one folder slot as the show's worker draws them: the
// slot's order, and the pictures found unusable since the last listing
// (broken, empty, too large, gone, on a share that went away). Those are
// passed over in silence and not tried again until the folder is listed
// anew, so a bad file costs one try per listing, not one per round.
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "image/PictureExtensions.h"
#include "library/FolderOrder.h"
#include "ports/FolderPort.h"

namespace qv {

class FolderPictures {
public:
    // A new listing: the order takes it in, and every picture gets its
    // chance again.
    void takeListing(const std::vector<std::string>& listing, RandomSource& random);

    // The next picture that usable accepts (it reads the header, decodes,
    // whatever the caller needs); each it refuses is remembered. Nothing
    // when a round's worth of pictures gives none: the slot keeps what it
    // shows. Nothing either once stopped (when given) says true: a worker
    // that is ending does not draw on through the round.
    std::optional<std::string> next(RandomSource& random, const std::function<bool(const std::string&)>& usable,
                                    const std::function<bool()>& stopped = {});

    FolderOrder& order() { return order_; }
    const FolderOrder& order() const { return order_; }
    std::size_t skippedCount() const { return skipped_.size(); }

private:
    FolderOrder order_;
    std::unordered_set<std::string> skipped_;
};

enum class FolderPick {
    Found,        // usable accepted a picture, now the order's current one
    NoPicture,    // the folder is there but gives no usable picture
    Unreachable,  // the folder itself cannot be read (gone, no access, a share away)
};

// A folder slot whose bitmap went missing: its next usable picture. The
// order pictures holds (the slot's kept one, or none) is tried first, so a
// library file spares the listing; the folder is listed when that gives
// nothing and listed is still false (listed is then set). A folder that
// cannot be read is found out before any picture is tried.
FolderPick pickFolderPicture(FolderPort& folders, const PictureExtensions& extensions,
                             const std::string& folder, FolderPictures& pictures, bool& listed,
                             RandomSource& random, const std::function<bool(const std::string&)>& usable);

}  // namespace qv
