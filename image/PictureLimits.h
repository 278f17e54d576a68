#pragma once
// The largest pictures the program decodes. Beyond these a picture is never
// decoded: it could take the process down or eat all memory.
#include <cstdint>

namespace qv {

// Sides the settings dialog accepts: 2 .. 5000 pixels.
constexpr int kLargestAcceptedSide = 5000;
constexpr int kLargestDecodedSide = 20000;
constexpr std::uint64_t kLargestDecodedPixels = 200000000;

inline bool decodableSize(std::uint64_t width, std::uint64_t height) {
    return width <= std::uint64_t(kLargestDecodedSide) && height <= std::uint64_t(kLargestDecodedSide) &&
           width * height <= kLargestDecodedPixels;
}

}  // namespace qv
