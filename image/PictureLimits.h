#pragma once
// The largest pictures the program decodes. Beyond these a picture is never
// decoded: it could take the process down or eat all memory.
#include <cstdint>

namespace qv {

// The largest picture Add, Exchange and a folder slot take, checked on the
// size a header gives before anything is decoded. Photos of today's cameras
// (24 MP is 6000 x 4000, 48 MP 8064 x 6048) fit; a panorama up to the side.
constexpr int kLargestPictureSide = 16384;
constexpr std::uint64_t kLargestPicturePixels = 100000000;
// Beyond these a conversion reports running out of memory. Never below the
// limits above: a picture the dialog accepts is always converted.
constexpr int kLargestDecodedSide = 20000;
constexpr std::uint64_t kLargestDecodedPixels = 200000000;
static_assert(kLargestDecodedSide >= kLargestPictureSide && kLargestDecodedPixels >= kLargestPicturePixels);

enum class PictureSizeCheck { Accepted, TooLarge, TooSmall };

// Too large when a side is above kLargestPictureSide or the area above
// kLargestPicturePixels; otherwise too small when a side is 1 pixel or less.
inline PictureSizeCheck checkPictureSize(std::int64_t width, std::int64_t height) {
    if (width > kLargestPictureSide || height > kLargestPictureSide ||
        (width > 0 && height > 0 && std::uint64_t(width) * std::uint64_t(height) > kLargestPicturePixels))
        return PictureSizeCheck::TooLarge;
    if (width <= 1 || height <= 1) return PictureSizeCheck::TooSmall;
    return PictureSizeCheck::Accepted;
}

inline bool decodableSize(std::uint64_t width, std::uint64_t height) {
    return width <= std::uint64_t(kLargestDecodedSide) && height <= std::uint64_t(kLargestDecodedSide) &&
           width * height <= kLargestDecodedPixels;
}

}  // namespace qv
