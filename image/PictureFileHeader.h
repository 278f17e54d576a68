#pragma once
// A picture file's header from its first bytes alone, so that a folder
// picture is sized and checked before any decoder sees it and without
// reading the whole file (a folder holds many, each maybe 50 MB).
#include <cstddef>
#include <string>

#include "image/PictureHeader.h"
#include "ports/FilesPort.h"

namespace qv {

// Read first; most headers lie in the first few kilobytes.
constexpr std::size_t kHeaderFirstBytes = std::size_t(64) << 10;
// Read at most: a JPEG's EXIF block and colour profiles may come before
// its frame header.
constexpr std::size_t kHeaderMostBytes = std::size_t(1) << 20;

enum class HeaderRead {
    Sized,       // header filled in (readAnyPictureHeader)
    NotSized,    // readable, but its first bytes give no size: not a kind we
                 // know, damaged, or a size given further on (a TIFF
                 // directory at the end, a JPEG height after its scan)
    Unreadable,  // cannot be opened: gone since the listing, no access
};

HeaderRead readPictureFileHeader(FilesPort& files, const std::string& path, PictureHeader& header);

}  // namespace qv
