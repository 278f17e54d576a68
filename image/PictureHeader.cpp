#include "image/PictureHeader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "image/JpegHeader.h"

namespace qv {

namespace {

std::uint32_t le16(const unsigned char* p) { return p[0] | (std::uint32_t(p[1]) << 8); }
std::uint32_t le32(const unsigned char* p) { return le16(p) | (le16(p + 2) << 16); }
std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

int clampedSide(std::uint64_t side) {
    return static_cast<int>(std::min<std::uint64_t>(side, std::numeric_limits<int>::max()));
}

bool readGif(const unsigned char* data, std::size_t size, PictureHeader& header) {
    if (size < 13) return false;
    std::uint32_t width = le16(data + 6), height = le16(data + 8);
    const unsigned flags = data[10];
    std::size_t at = 13;
    if (flags & 0x80) at += std::size_t(3) * (2u << (flags & 7));  // the global colour table
    // Extensions until the first image; its place and size widen the picture.
    while (at < size) {
        const unsigned char block = data[at];
        if (block == 0x2C) {
            if (size - at < 10) break;
            width = std::max(width, le16(data + at + 1) + le16(data + at + 5));
            height = std::max(height, le16(data + at + 3) + le16(data + at + 7));
            break;
        }
        if (block != 0x21 || size - at < 2) break;
        at += 2;  // introducer and label, then sub-blocks up to an empty one
        while (at < size && data[at] != 0) at += 1u + data[at];
        ++at;
    }
    if (width == 0 || height == 0) return false;
    header.width = clampedSide(width);
    header.height = clampedSide(height);
    return true;
}

bool readPng(const unsigned char* data, std::size_t size, PictureHeader& header) {
    // The signature, then the IHDR chunk: length 13, type, width, height.
    if (size < 8 + 16 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    const std::uint32_t width = be32(data + 16), height = be32(data + 20);
    if (width == 0 || height == 0) return false;
    header.width = clampedSide(width);
    header.height = clampedSide(height);
    return true;
}

bool readBmp(const unsigned char* data, std::size_t size, PictureHeader& header) {
    if (size < 14 + 12) return false;
    const std::uint32_t infoSize = le32(data + 14);
    std::int64_t width = 0, height = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sides
        width = le16(data + 18);
        height = le16(data + 20);
    } else if (infoSize >= 40 && size >= 14 + 40) {
        width = static_cast<std::int32_t>(le32(data + 18));
        height = static_cast<std::int32_t>(le32(data + 22));
    } else {
        return false;
    }
    if (height < 0) height = -height;  // rows stored from the top
    if (width <= 0 || height <= 0) return false;
    header.width = clampedSide(static_cast<std::uint64_t>(width));
    header.height = clampedSide(static_cast<std::uint64_t>(height));
    return true;
}

}  // namespace

bool readPictureHeader(const unsigned char* data, std::size_t size, PictureHeader& header) {
    header = PictureHeader();
    if (data == nullptr || size < 2) return false;
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (data[0] == 0xFF && data[1] == 0xD8) {
        JpegHeader jpeg;
        if (!readJpegHeader(data, size, jpeg)) return false;
        header.kind = PictureKind::Jpeg;
        header.width = jpeg.width;
        header.height = jpeg.height;
        header.orientation = jpeg.orientation;
        return true;
    }
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0)) {
        header.kind = PictureKind::Gif;
        return readGif(data, size, header);
    }
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0) {
        header.kind = PictureKind::Png;
        return readPng(data, size, header);
    }
    if (data[0] == 'B' && data[1] == 'M') {
        header.kind = PictureKind::Bmp;
        return readBmp(data, size, header);
    }
    return false;
}

}  // namespace qv
