#pragma once
// What a JPEG's headers say before anything is decoded: the picture size from
// its frame header, and the EXIF orientation. The platform's decoder can take
// the process down on a file that claims a huge picture, so the size is read
// here first. Any bytes are safe to pass.
#include <cstddef>

namespace qv {

struct JpegHeader {
    int width = 0;        // as stored, before the orientation is applied
    int height = 0;       // 0: given after the first scan (a DNL segment)
    int orientation = 1;  // EXIF 1..8; 1 when absent or out of range
};

// True when the bytes start a JPEG whose frame header comes before its first
// scan and gives a nonzero width. Stray bytes and fill bytes between the
// segments are passed over, as decoders do.
bool readJpegHeader(const unsigned char* data, std::size_t size, JpegHeader& header);

// Orientations 5 to 8 stand the picture on its side: width and height swap.
inline bool orientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

}  // namespace qv
