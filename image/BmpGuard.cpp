#include "image/BmpGuard.h"

namespace qv {

namespace {

std::uint32_t u16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t u32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Compression codes of the info header.
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

}  // namespace

bool bmpFileIsWhole(const unsigned char* head, std::size_t headSize, std::uint64_t fileSize) {
    if (!head || headSize < 26 || head[0] != 'B' || head[1] != 'M') return false;
    const std::uint64_t pixelOffset = u32(head + 10);
    const std::uint32_t infoSize = u32(head + 14);

    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kRgb;
    if (infoSize == 12) {
        // The old OS/2 header: 16-bit sizes, never compressed.
        width = u16(head + 18);
        height = u16(head + 20);
        planes = u16(head + 22);
        bits = u16(head + 24);
    } else if (infoSize >= 40 && infoSize <= 124) {
        if (headSize < 14 + 40) return false;
        width = static_cast<std::int32_t>(u32(head + 18));
        height = static_cast<std::int32_t>(u32(head + 22));
        planes = u16(head + 26);
        bits = u16(head + 28);
        compression = u32(head + 30);
    } else {
        return false;
    }
    if (height < 0) height = -height;  // top-down rows
    if (width <= 0 || height <= 0 || planes != 1) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    // The pixels start after both headers and inside the file.
    if (pixelOffset < 14u + infoSize || pixelOffset >= fileSize) return false;

    switch (compression) {
        case kRle8:
            return bits == 8;
        case kRle4:
            return bits == 4;
        case kRgb:
        case kBitFields:
        case kAlphaBitFields: {
            const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31u) / 32u * 4u;
            const std::uint64_t rows = static_cast<std::uint64_t>(height);
            // width and height are below 2^31 and bits at most 32, so stride
            // is below 2^35 and the product below 2^66 only when both are
            // huge: compare by division to stay exact.
            const std::uint64_t room = fileSize - pixelOffset;
            return stride != 0 && rows <= room / stride;
        }
        default:
            return false;  // JPEG or PNG inside a BMP, or unknown
    }
}

}  // namespace qv
