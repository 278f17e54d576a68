#pragma once
// Our own JPEG decoder for the show's folder pictures: sequential Huffman
// JPEGs of 8 bits (grey or three components, sampling factors 1 or 2),
// decoded straight to a half, a quarter or an eighth of their size by
// inverse transforms of the low frequencies only, so a large photo never
// exists at full size in memory: the output and one row of blocks is all it
// holds. Anything else (progressive, arithmetic, 12 bits, CMYK, components
// in scans of their own) is left to the platform's decoder.
#include <atomic>
#include <cstddef>

#include "ports/DecoderPort.h"

namespace qv {

enum class JpegDecode {
    Decoded,
    Unsupported,  // not a JPEG of the kinds above: another decoder may take it
    // Its coded data is damaged, or ends before its last row of blocks. Data
    // that ends within the last row is taken, the rest of the row decoded
    // from zero bits, as other viewers show such a photo: whole but for a
    // few rows at its foot.
    Broken,
    TooLarge,     // its own size is beyond the caller's limit
    OutOfMemory,
    Stopped,      // the stop flag was set
};

// The picture in data decoded at 1/scale of its size (scale 1, 2, 4 or 8;
// each side rounded up), as 24-bit pixels. stop (may be null) is looked at
// once per row of blocks. On anything but Decoded, out is left empty.
JpegDecode decodeScaledJpeg(const unsigned char* data, std::size_t size, int scale, const DecodeLimit& limit,
                            const std::atomic<bool>* stop, Image& out);

// The scale decodeScaledJpeg is given for a picture a decoder may shrink by
// a whole factor: the largest of 1, 2, 4 and 8 not above it.
int jpegScaleFor(int factor);

}  // namespace qv
