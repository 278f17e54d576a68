#pragma once
// Which files under a folder a folder slot shows: every picture in it and in
// its subfolders, by the rules users expect of a photo library. Hidden and
// system files and folders are passed over (thumbnail caches, recycle bins);
// junctions and symbolic links are not followed, so no loop can hold the
// walk; a file counts when a decoder takes its extension.
#include <cstddef>
#include <string>
#include <vector>

#include "image/PictureExtensions.h"
#include "ports/FolderPort.h"

namespace qv {

// More pictures than any slot could show in years; a larger tree is listed
// up to here, so the listing and its file stay of a bounded size.
constexpr std::size_t kLargestListing = 1000000;

struct FolderListing {
    // False when the folder itself could not be read (gone, no access, a
    // share away): the caller keeps what it had. A subfolder that cannot be
    // read is passed over.
    bool reachable = false;
    // Paths relative to the folder ("2020\summer\a.jpg"), sorted byte by byte.
    std::vector<std::string> pictures;
};

// The folder's path with or without its closing backslash.
FolderListing listFolder(FolderPort& port, const std::string& folder, const PictureExtensions& extensions,
                         std::size_t largest = kLargestListing);

}  // namespace qv
