#pragma once
// The data-directory bitmap cache: every .bmp of the variant data directory
// (backdrop, logos and the like) held as its raw file bytes, so that a layer
// can take such a picture during the show without touching the disk. Files
// whose path holds "STILL" are the default stills' business and are left out.
// The table grows with the directory; it has no fixed number of entries.
#include <cstddef>
#include <string>
#include <vector>

#include "ports/FilesPort.h"

namespace qv {

struct CachedBitmap {
    std::string name;  // upper-cased full path
    std::vector<unsigned char> bytes;
};

class BitmapCache {
public:
    // A file larger than this is not a bitmap we would draw; it is skipped
    // rather than held in memory for the whole show.
    static constexpr std::size_t kMaxFileBytes = std::size_t(64) * 1024 * 1024;

    // Reads dataDirectory + "*.bmp" (dataDirectory ends with a backslash),
    // skipping folders and the dot entries, in the order the search gives.
    // A file that cannot be read whole is left out. Replaces what was held.
    void fill(FilesPort& files, const std::string& dataDirectory);

    std::size_t size() const { return entries_.size(); }
    const CachedBitmap& entry(std::size_t index) const { return entries_[index]; }

    // Indexes of the entries named exactly name (already upper-cased), in
    // table order; only the first when stopAtFirst.
    std::vector<std::size_t> find(const std::string& name, bool stopAtFirst) const;

private:
    std::vector<CachedBitmap> entries_;
};

}  // namespace qv
