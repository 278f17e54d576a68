#include "image/BmpFile.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>

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
constexpr std::uint32_t kBiBitfields = 3;

// Everything the decoder needs, checked against the bytes available.
struct Layout {
    BmpInfo info;
    std::uint64_t pixelOffset = 0;
    std::uint64_t rowSize = 0;
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteEntrySize = 4;
};

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
        case 1: case 4: case 8:
            if (compression != kBiRgb) return false;
            break;
        case 24:
            if (compression != kBiRgb) return false;
            break;
        case 32:
            if (compression == kBiBitfields) {
                // Masks follow a 40-byte header, or sit inside a longer one.
                const std::uint64_t maskAt = 14 + 40;
                if (maskAt + 12 > size) return false;
                if (get32(data + maskAt) != 0x00FF0000u || get32(data + maskAt + 4) != 0x0000FF00u ||
                    get32(data + maskAt + 8) != 0x000000FFu)
                    return false;
                if (headerSize == 40) tableOffset += 12;
            } else if (compression != kBiRgb) {
                return false;
            }
            break;
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
    if (rowSize == 0 || rowSize > size) return false;
    if (pixelOffset > size || rowSize * std::uint64_t(height) > size - pixelOffset) return false;
    // The decoded picture must be addressable too (1-bit pictures grow 24-fold).
    if (std::uint64_t(width) * std::uint64_t(height) * 3u > std::numeric_limits<std::size_t>::max() / 2)
        return false;

    out.info.width = static_cast<int>(width);
    out.info.height = static_cast<int>(height);
    out.info.topDown = topDown;
    out.info.bitsPerPixel = static_cast<int>(bits);
    out.pixelOffset = pixelOffset;
    out.rowSize = rowSize;
    out.paletteOffset = tableOffset;
    out.paletteEntries = entries;
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
    for (int y = 0; y < info.height; ++y) {
        const int stored = info.topDown ? y : info.height - 1 - y;
        const unsigned char* src = data + layout.pixelOffset + std::uint64_t(stored) * layout.rowSize;
        unsigned char* dst = image.row(y);
        if (bits == 24) {
            std::memcpy(dst, src, image.rowBytes());
        } else if (bits == 32) {
            for (int x = 0; x < info.width; ++x) {
                dst[3 * x] = src[4 * x];
                dst[3 * x + 1] = src[4 * x + 1];
                dst[3 * x + 2] = src[4 * x + 2];
            }
        } else {
            const int perByte = 8 / bits;
            const unsigned mask = (1u << bits) - 1u;
            for (int x = 0; x < info.width; ++x) {
                const unsigned byte = src[x / perByte];
                const int shift = 8 - bits * (x % perByte + 1);
                const unsigned index = (byte >> shift) & mask;
                // An index past the table's end shows black rather than reading beyond it.
                if (index < layout.paletteEntries) {
                    dst[3 * x] = palette[index][0];
                    dst[3 * x + 1] = palette[index][1];
                    dst[3 * x + 2] = palette[index][2];
                } else {
                    dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = 0;
                }
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

DecodeError BmpFileDecoder::decodeJpeg(const unsigned char*, std::size_t, Image& out) {
    out = Image();
    return DecodeError::Other;
}

}  // namespace qv
