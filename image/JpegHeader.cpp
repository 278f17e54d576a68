#include "image/JpegHeader.h"

#include <cstdint>
#include <cstring>

namespace qv {

namespace {

std::uint32_t be16(const unsigned char* p) { return (std::uint32_t(p[0]) << 8) | p[1]; }

// Reads 16- and 32-bit numbers of a TIFF block in its own byte order, within
// its bounds.
struct Tiff {
    const unsigned char* data;
    std::size_t size;
    bool little;

    bool u16(std::size_t at, std::uint32_t& v) const {
        if (at > size || size - at < 2) return false;
        v = little ? (data[at] | (std::uint32_t(data[at + 1]) << 8)) : be16(data + at);
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& v) const {
        if (at > size || size - at < 4) return false;
        const unsigned char* p = data + at;
        v = little ? (p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24))
                   : ((std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]);
        return true;
    }
};

// The orientation tag (0x0112) of the first image directory of an APP1 EXIF
// segment's body; 0 when there is none.
int exifOrientation(const unsigned char* body, std::size_t size) {
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 6 + 8 || std::memcmp(body, kExif, 6) != 0) return 0;
    Tiff tiff{body + 6, size - 6, false};
    if (tiff.data[0] == 'I' && tiff.data[1] == 'I') tiff.little = true;
    else if (tiff.data[0] == 'M' && tiff.data[1] == 'M') tiff.little = false;
    else return 0;
    std::uint32_t magic = 0, ifd = 0, count = 0;
    if (!tiff.u16(2, magic) || magic != 42 || !tiff.u32(4, ifd) || !tiff.u16(ifd, count)) return 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t(ifd) + 2 + std::size_t(i) * 12;
        std::uint32_t tag = 0, type = 0, n = 0, value = 0;
        if (!tiff.u16(entry, tag)) return 0;
        if (tag != 0x0112) continue;
        // A SHORT with one value, held in the entry's first two value bytes.
        if (!tiff.u16(entry + 2, type) || !tiff.u32(entry + 4, n) || !tiff.u16(entry + 8, value)) return 0;
        if (type != 3 || n != 1) return 0;
        return static_cast<int>(value);
    }
    return 0;
}

bool isFrameMarker(unsigned char m) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

}  // namespace

bool readJpegHeader(const unsigned char* data, std::size_t size, JpegHeader& header) {
    header = JpegHeader();
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    int orientation = 0;
    std::size_t at = 2;
    while (at < size) {
        // As decoders do: stray bytes before a marker are passed over, and so
        // are the fill bytes (0xFF) in front of it.
        while (at < size && data[at] != 0xFF) ++at;
        while (at < size && data[at] == 0xFF) ++at;
        if (at >= size) return false;
        const unsigned char marker = data[at++];
        if (marker == 0x00) continue;  // an escaped 0xFF: stray data, not a marker
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return false;  // no frame before the scan
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
        if (size - at < 2) return false;
        const std::size_t length = be16(data + at);
        if (length < 2 || length > size - at) return false;
        const unsigned char* body = data + at + 2;
        const std::size_t bodySize = length - 2;
        if (isFrameMarker(marker)) {
            if (bodySize < 6) return false;
            const int height = static_cast<int>(be16(body + 1));
            const int width = static_cast<int>(be16(body + 3));
            // A height of 0 is given later, in a DNL segment after the first
            // scan: the decoder tells it.
            if (width == 0) return false;
            header.width = width;
            header.height = height;
            header.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
            return true;
        }
        if (marker == 0xE1 && orientation == 0) orientation = exifOrientation(body, bodySize);
        at += length;
    }
    return false;
}

}  // namespace qv
