#pragma once
// Turns a decoded picture upright by its EXIF orientation, so phone photos
// stand as they were taken.
#include "ports/DecoderPort.h"

namespace qv {

// Orientation 1 (or anything outside 2..8) leaves the picture as it is;
// 5..8 swap its width and height. Throws std::bad_alloc like any allocation.
void applyOrientation(Image& image, int orientation);

}  // namespace qv
