#pragma once
// The size a texture gets on a given device: the picture's own size where the
// device allows it, otherwise rounded up to powers of two (and made square)
// and held within the device's largest texture. A layer maps the whole
// texture onto its rectangle, so a texture of another size shows the same
// picture, only resampled.

namespace qv {

struct TextureLimits {
    bool powerOfTwo = false;  // sides must be powers of two
    bool squareOnly = false;  // sides must be equal
    unsigned maxWidth = 0;    // 0: no known limit
    unsigned maxHeight = 0;
};

struct TextureSize {
    unsigned width = 0;
    unsigned height = 0;
};

// Smallest power of two at or above n (1 for 0); saturates at 2^31.
unsigned roundUpToPowerOfTwo(unsigned n);

// The texture size for a picture of width x height (both at least 1).
TextureSize textureSizeFor(unsigned width, unsigned height, const TextureLimits& limits);

}  // namespace qv
