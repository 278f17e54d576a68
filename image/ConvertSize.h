#pragma once
// The size a converted photo gets: from the screen height for variants B and
// C, from a fixed 800 x 480 basis for variant A. Every step truncates toward
// zero, so the figures match the bitmaps the show expects to find.
#include "variant/Variant.h"

namespace qv {

struct PixelSize {
    int width = 0;
    int height = 0;
};

// Variants B and C: truncate(screen height x 0.64); 768 gives 491.
int baseHeight(int screenHeight);

// Target size of a picture w x h (upright) for the variant on a screen of the
// given height (ignored by variant A). Either side can come out 0 for a
// picture of extreme proportions; the caller refuses such a size.
PixelSize convertedSize(const Variant& variant, int w, int h, int screenHeight);

}  // namespace qv
