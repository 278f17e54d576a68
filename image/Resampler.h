#pragma once
// Scales a picture to an exact size. Along an axis that shrinks, each output
// pixel is the average of the source area it covers (so fine detail turns
// into its mean colour instead of aliasing); along an axis that grows, it is
// interpolated linearly between the two nearest source pixels.
#include "ports/DecoderPort.h"

namespace qv {

// dst becomes dstWidth x dstHeight. False (dst left empty) when either
// picture would be empty. Throws std::bad_alloc when memory runs out.
bool resamplePicture(const Image& src, Image& dst, int dstWidth, int dstHeight);

}  // namespace qv
