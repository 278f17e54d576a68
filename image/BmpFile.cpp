#include "image/BmpFile.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "image/PictureLimits.h"

namespace qv {

namespace {

void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t get16(const unsigned char* p) { return p[0] | (std::uint32_t(p[1]) << 8); }

std::uint32_t get32(const unsigned char* p) {
    return p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::int32_t getSigned32(const unsigned char* p) {
    const std::uint32_t u = get32(p);
    std::int32_t s;
    std::memcpy(&s, &u, 4);
    return s;
}

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

// One colour channel of a 16- or 32-bit pixel: where its bits sit.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;

    bool set(std::uint32_t m) {
        if (m == 0) return false;
        mask = m;
        shift = 0;
        while (((m >> shift) & 1u) == 0) ++shift;
        width = 0;
        while (shift + width < 32 && ((m >> (shift + width)) & 1u) != 0) ++width;
        // The bits of a channel must be one unbroken run.
        return shift + width == 32 || (m >> (shift + width)) == 0;
    }

    // The channel as 8 bits; a narrower one repeats its bits downward, so
    // 5-bit 31 becomes 255 and 16 becomes 132, as the platform widens them.
    unsigned char of(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & mask) >> shift;
        if (width >= 8) return static_cast<unsigned char>(v >> (width - 8));
        std::uint32_t wide = 0;
        for (int at = 8 - width; at > -width; at -= width) wide |= at >= 0 ? v << at : v >> -at;
        return static_cast<unsigned char>(wide);
    }
};

// Everything the decoder needs, checked against the bytes available.
struct Layout {
    BmpInfo info;
    std::uint32_t compression = kBiRgb;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowSize = 0;
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteEntrySize = 4;
    std::array<Channel, 3> channels{};  // blue, green, red of 16- and 32-bit pixels
};

// Follows the runs of a run-length coded picture (RLE8: a byte a pixel,
// RLE4: two pixels a byte, high nibble first), handing put(x, storedRow,
// index) every pixel it sets. Every run is checked before it is followed: one
// that would run past its row or below the last row refuses the picture, as
// do a delta that leaves the picture and a run whose bytes are missing.
// Data that ends without its end-of-picture mark keeps what it set.
template <typename Put>
bool walkRuns(const unsigned char* p, std::size_t n, int bits, std::uint64_t width, std::uint64_t height,
              Put&& put) {
    std::uint64_t x = 0, row = 0;
    std::size_t i = 0;
    auto indexAt = [bits](const unsigned char* bytes, std::uint32_t k) -> unsigned {
        if (bits == 8) return bytes[k];
        const unsigned byte = bytes[k / 2];
        return k % 2 == 0 ? byte >> 4 : byte & 0x0Fu;
    };
    while (n - i >= 2) {
        const unsigned count = p[i], code = p[i + 1];
        i += 2;
        if (count > 0) {  // count pixels of one index (RLE4: two alternating)
            if (row >= height || x + count > width) return false;
            for (unsigned k = 0; k < count; ++k)
                put(x + k, row, bits == 8 ? code : (k % 2 == 0 ? code >> 4 : code & 0x0Fu));
            x += count;
            continue;
        }
        switch (code) {
            case 0:  // end of the row
                x = 0;
                ++row;
                break;
            case 1:  // end of the picture
                return true;
            case 2: {  // move right and on by the next two bytes
                if (n - i < 2) return false;
                x += p[i];
                row += p[i + 1];
                i += 2;
                if (x > width || row > height) return false;
                break;
            }
            default: {  // code pixels given one by one, padded to a whole word
                const std::size_t bytes = bits == 8 ? code : (code + 1u) / 2u;
                if (n - i < bytes || row >= height || x + code > width) return false;
                for (unsigned k = 0; k < code; ++k) put(x + k, row, indexAt(p + i, k));
                x += code;
                i += bytes + (bytes % 2);
                if (i > n) i = n;  // the last pad byte may be missing
                break;
            }
        }
    }
    return true;
}

bool readLayout(const unsigned char* data, std::size_t size, Layout& out) {
    if (data == nullptr || size < 14 + 12) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const std::uint64_t pixelOffset = get32(data + 10);
    const std::uint64_t headerSize = get32(data + 14);
    if (headerSize < 12 || 14 + headerSize > size) return false;

    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kBiRgb, coloursUsed = 0;
    if (headerSize == 12) {  // the old core header: 16-bit sizes, 3-byte palette entries
        width = get16(data + 18);
        height = get16(data + 20);
        planes = get16(data + 22);
        bits = get16(data + 24);
        out.paletteEntrySize = 3;
    } else if (headerSize >= 40) {
        width = getSigned32(data + 18);
        height = getSigned32(data + 22);
        planes = get16(data + 26);
        bits = get16(data + 28);
        compression = get32(data + 30);
        coloursUsed = get32(data + 46);
        out.paletteEntrySize = 4;
    } else {
        return false;
    }
    if (planes != 1 || width <= 0) return false;
    if (height == 0 || height == std::numeric_limits<std::int32_t>::min()) return false;
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max()) return false;

    std::uint64_t tableOffset = 14 + headerSize;
    switch (bits) {
        case 1:
            if (compression != kBiRgb) return false;
            break;
        case 4:
            if (compression != kBiRgb && compression != kBiRle4) return false;
            break;
        case 8:
            if (compression != kBiRgb && compression != kBiRle8) return false;
            break;
        case 24:
            if (compression != kBiRgb) return false;
            break;
        case 16:
        case 32: {
            std::array<std::uint32_t, 3> masks{};  // red, green, blue
            if (compression == kBiBitfields) {
                // Masks follow a 40-byte header, or sit inside a longer one.
                const std::uint64_t maskAt = 14 + 40;
                if (maskAt + 12 > size) return false;
                masks = {get32(data + maskAt), get32(data + maskAt + 4), get32(data + maskAt + 8)};
                if (headerSize == 40) tableOffset += 12;
            } else if (compression == kBiRgb) {
                masks = bits == 16 ? std::array<std::uint32_t, 3>{0x7C00u, 0x03E0u, 0x001Fu}
                                   : std::array<std::uint32_t, 3>{0x00FF0000u, 0x0000FF00u, 0x000000FFu};
            } else {
                return false;
            }
            const std::uint32_t room = bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
            if ((masks[0] & masks[1]) != 0 || (masks[0] & masks[2]) != 0 || (masks[1] & masks[2]) != 0) return false;
            for (int c = 0; c < 3; ++c) {
                if ((masks[c] & ~room) != 0 || !out.channels[2 - c].set(masks[c])) return false;
            }
            break;
        }
        default:
            return false;
    }

    std::uint32_t entries = 0;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        entries = coloursUsed == 0 || coloursUsed > most ? most : coloursUsed;
        if (tableOffset + std::uint64_t(entries) * out.paletteEntrySize > size) return false;
    }

    const std::uint64_t rowSize = ((std::uint64_t(width) * bits + 31) / 32) * 4;
    const bool runs = compression == kBiRle8 || compression == kBiRle4;
    if (runs) {
        // The runs decide what is set: a few bytes can claim any size, so
        // the size is held to what we would decode of any picture.
        if (pixelOffset > size || !decodableSize(std::uint64_t(width), std::uint64_t(height))) return false;
    } else {
        if (rowSize == 0 || rowSize > size) return false;
        if (pixelOffset > size || rowSize * std::uint64_t(height) > size - pixelOffset) return false;
    }
    // The decoded picture must be addressable too (1-bit pictures grow 24-fold).
    if (std::uint64_t(width) * std::uint64_t(height) * 3u > std::numeric_limits<std::size_t>::max() / 2)
        return false;

    out.info.width = static_cast<int>(width);
    out.info.height = static_cast<int>(height);
    out.info.topDown = topDown;
    out.info.bitsPerPixel = static_cast<int>(bits);
    out.compression = compression;
    out.pixelOffset = pixelOffset;
    out.rowSize = rowSize;
    out.paletteOffset = tableOffset;
    out.paletteEntries = entries;
    if (runs) {
        // Every run is checked here already, so a picture this reads is one
        // that decodes.
        const auto ignore = [](std::uint64_t, std::uint64_t, unsigned) {};
        if (!walkRuns(data + pixelOffset, size - pixelOffset, static_cast<int>(bits), std::uint64_t(width),
                      std::uint64_t(height), ignore))
            return false;
    }
    return true;
}

}  // namespace

std::uint64_t bmpRowSize(int width) {
    if (width <= 0) return 0;
    return (std::uint64_t(width) * 3u + 3u) / 4u * 4u;
}

std::uint64_t bmpPixelDataSize(int width, int height) {
    if (height <= 0) return 0;
    return bmpRowSize(width) * std::uint64_t(height);
}

std::uint64_t bmpFileSize(int width, int height) { return bmpPixelDataSize(width, height) + kBmpHeaderBytes; }

std::vector<unsigned char> encodeBmp24(const Image& image) {
    std::vector<unsigned char> file;
    if (image.empty()) return file;
    const std::uint64_t rowSize = bmpRowSize(image.width);
    const std::uint64_t dataSize = bmpPixelDataSize(image.width, image.height);
    if (image.bgr.size() != std::uint64_t(image.width) * image.height * 3u) return file;
    // The size fields are 32 bits wide.
    if (dataSize + kBmpHeaderBytes > 0xFFFFFFFFu) return file;

    file.assign(kBmpHeaderBytes + dataSize, 0);
    unsigned char* p = file.data();
    // File header.
    put16(p + 0, 0x4D42);  // "BM"
    put32(p + 2, static_cast<std::uint32_t>(dataSize + kBmpHeaderBytes));
    put16(p + 6, 0);
    put16(p + 8, 0);
    put32(p + 10, static_cast<std::uint32_t>(kBmpHeaderBytes));
    // Info header: positive height, so rows go bottom-up.
    put32(p + 14, 40);
    put32(p + 18, static_cast<std::uint32_t>(image.width));
    put32(p + 22, static_cast<std::uint32_t>(image.height));
    put16(p + 26, 1);
    put16(p + 28, 24);
    put32(p + 30, kBiRgb);
    put32(p + 34, static_cast<std::uint32_t>(dataSize));
    put32(p + 38, 0);
    put32(p + 42, 0);
    put32(p + 46, 0);
    put32(p + 50, 0);

    const std::size_t srcRow = image.rowBytes();
    for (int y = 0; y < image.height; ++y) {
        unsigned char* dst = p + kBmpHeaderBytes + std::size_t(image.height - 1 - y) * rowSize;
        std::memcpy(dst, image.row(y), srcRow);  // the padding stays zero
    }
    return file;
}

bool readBmpInfo(const unsigned char* data, std::size_t size, BmpInfo& info) {
    Layout layout;
    if (!readLayout(data, size, layout)) return false;
    info = layout.info;
    return true;
}

bool decodeBmp(const unsigned char* data, std::size_t size, Image& out) {
    out = Image();
    Layout layout;
    if (!readLayout(data, size, layout)) return false;
    const BmpInfo& info = layout.info;

    // An index past the table's end shows black rather than reading beyond
    // it: the entries the file does not give stay zero, so a pixel is one
    // look-up whatever its index.
    std::array<std::array<unsigned char, 3>, 256> palette{};
    for (std::uint32_t i = 0; i < layout.paletteEntries; ++i) {
        const unsigned char* e = data + layout.paletteOffset + std::uint64_t(i) * layout.paletteEntrySize;
        palette[i] = {e[0], e[1], e[2]};
    }

    Image image;
    image.width = info.width;
    image.height = info.height;
    image.bgr.resize(std::size_t(info.width) * std::size_t(info.height) * 3u);
    const int bits = info.bitsPerPixel;
    auto paint = [&palette](unsigned char* dst, unsigned index) {
        std::memcpy(dst, palette[index & 0xFFu].data(), 3);
    };

    if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
        // Pixels no run sets keep index 0, as in the platform's own decoding;
        // the fresh pixels are black already.
        if (palette[0] != std::array<unsigned char, 3>{}) {
            for (int x = 0; x < info.width; ++x) paint(image.row(0) + 3 * std::size_t(x), 0);
            for (int y = 1; y < info.height; ++y) std::memcpy(image.row(y), image.row(0), image.rowBytes());
        }
        const auto put = [&](std::uint64_t x, std::uint64_t stored, unsigned index) {
            const int y = info.topDown ? static_cast<int>(stored) : info.height - 1 - static_cast<int>(stored);
            paint(image.row(y) + 3 * std::size_t(x), index);
        };
        if (!walkRuns(data + layout.pixelOffset, size - layout.pixelOffset, bits, std::uint64_t(info.width),
                      std::uint64_t(info.height), put))
            return false;
        out = std::move(image);
        return true;
    }

    for (int y = 0; y < info.height; ++y) {
        const int stored = info.topDown ? y : info.height - 1 - y;
        const unsigned char* src = data + layout.pixelOffset + std::uint64_t(stored) * layout.rowSize;
        unsigned char* dst = image.row(y);
        if (bits == 24) {
            std::memcpy(dst, src, image.rowBytes());
        } else if (bits == 16 || bits == 32) {
            const int bytes = bits / 8;
            for (int x = 0; x < info.width; ++x) {
                const unsigned char* p = src + std::size_t(x) * bytes;
                const std::uint32_t pixel = bytes == 2 ? get16(p) : get32(p);
                for (int c = 0; c < 3; ++c) dst[3 * std::size_t(x) + c] = layout.channels[c].of(pixel);
            }
        } else {
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1u;
            for (int x = 0; x < info.width; ++x) {
                const unsigned byte = src[x / perByte];
                const int shift = 8 - bits * (x % perByte + 1);
                paint(dst + 3 * std::size_t(x), (byte >> shift) & mask);
            }
        }
    }
    out = std::move(image);
    return true;
}

DecodeError BmpFileDecoder::decodeBmp(const std::string& path, Image& out) {
    out = Image();
    std::vector<unsigned char> bytes;
    // A BMP of the largest picture we would ever accept is far below this.
    constexpr std::size_t kMaxBytes = std::size_t(1) << 31;
    if (!files_.readAll(path, bytes, kMaxBytes)) return DecodeError::Other;
    try {
        return qv::decodeBmp(bytes.data(), bytes.size(), out) ? DecodeError::None : DecodeError::Other;
    } catch (const std::bad_alloc&) {
        out = Image();
        return DecodeError::NotEnoughMemory;
    }
}

DecodeError decodeBmpInMemory(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                              Image& out) {
    out = Image();
    BmpInfo info;
    if (!readBmpInfo(data, size, info)) return DecodeError::Other;
    if (!limit.allows(info.width, info.height)) return DecodeError::TooLarge;
    try {
        return qv::decodeBmp(data, size, out) ? DecodeError::None : DecodeError::Other;
    } catch (const std::bad_alloc&) {
        out = Image();
        return DecodeError::NotEnoughMemory;
    }
}

DecodeError BmpFileDecoder::decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                                       Image& out) {
    out = Image();
    if (data == nullptr || size < 2 || data[0] != 'B' || data[1] != 'M') return DecodeError::Other;
    return decodeBmpInMemory(data, size, limit, out);
}

}  // namespace qv
