#include "image/TextureShape.h"

#include <algorithm>

namespace qv {

namespace {

// Largest power of two at or below n (n >= 1).
unsigned roundDownToPowerOfTwo(unsigned n) {
    unsigned p = 1;
    while (p <= n / 2) p *= 2;
    return p;
}

unsigned limitSide(unsigned side, unsigned limit, bool powerOfTwo) {
    if (limit == 0 || side <= limit) return side;
    return powerOfTwo ? roundDownToPowerOfTwo(limit) : limit;
}

}  // namespace

unsigned roundUpToPowerOfTwo(unsigned n) {
    unsigned p = 1;
    while (p < n && p < (1u << 31)) p *= 2;
    return p;
}

TextureSize textureSizeFor(unsigned width, unsigned height, const TextureLimits& limits) {
    TextureSize size{std::max(width, 1u), std::max(height, 1u)};
    if (limits.powerOfTwo) {
        size.width = roundUpToPowerOfTwo(size.width);
        size.height = roundUpToPowerOfTwo(size.height);
    }
    if (limits.squareOnly) size.width = size.height = std::max(size.width, size.height);
    size.width = limitSide(size.width, limits.maxWidth, limits.powerOfTwo);
    size.height = limitSide(size.height, limits.maxHeight, limits.powerOfTwo);
    if (limits.squareOnly) size.width = size.height = std::min(size.width, size.height);
    return size;
}

}  // namespace qv
