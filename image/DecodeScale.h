#pragma once
// How much a decoder shrinks a picture that is far larger than the size it
// is wanted at: by a whole factor, so the core's resampler finishes the job
// from at most about twice the wanted size, never from less than it.
#include <algorithm>

namespace qv {

// The largest whole factor that leaves both sides at least as large as
// wanted, when that is 2 or more; 1 otherwise (and for any size not above 0).
inline int shrinkFactor(int width, int height, int wantedWidth, int wantedHeight) {
    if (width <= 0 || height <= 0 || wantedWidth <= 0 || wantedHeight <= 0) return 1;
    const int factor = std::min(width / wantedWidth, height / wantedHeight);
    return factor >= 2 ? factor : 1;
}

// A side shrunk by a factor, rounded up: a last partial block still counts.
inline int shrunkSide(int side, int factor) { return factor <= 1 ? side : (side + factor - 1) / factor; }

}  // namespace qv
