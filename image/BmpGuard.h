#pragma once
// A look at a BMP file's headers before the platform's loader gets the file.
// The loader trusts the headers: given a file shorter than the rows its
// header claims, it reads past the end of the file and takes the process
// down. Only files that hold what they claim go to it.
#include <cstddef>
#include <cstdint>

namespace qv {

// Bytes of the file's start that bmpFileIsWhole looks at (file header and the
// largest info header); fewer are fine when the file is shorter.
constexpr std::size_t kBmpGuardHeadBytes = 14 + 124;

// head: the file's first bytes (up to kBmpGuardHeadBytes), fileSize: the
// whole file's size. True when the headers are sound and, for uncompressed
// rows, every row lies inside the file. Run-length coded pictures have no
// fixed size; the loader checks those itself.
bool bmpFileIsWhole(const unsigned char* head, std::size_t headSize, std::uint64_t fileSize);

}  // namespace qv
