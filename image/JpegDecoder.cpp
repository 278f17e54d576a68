#include "image/JpegDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace qv {

int jpegScaleFor(int factor) {
    if (factor >= 8) return 8;
    if (factor >= 4) return 4;
    if (factor >= 2) return 2;
    return 1;
}

namespace {

// Where the k-th coefficient in the stream's zigzag order sits in the block
// (row * 8 + column).
constexpr std::array<std::uint8_t, 64> kNatural = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr int kFastBits = 9;

struct HuffmanTable {
    bool defined = false;
    // By the next kFastBits bits: (code length << 8) | symbol, or 0 when the
    // code is longer.
    std::array<std::uint16_t, 1u << kFastBits> fast{};
    std::array<std::int32_t, 18> maxCode{};  // by length; -1: no code that long
    std::array<std::int32_t, 17> firstIndex{};
    std::array<std::int32_t, 17> minCode{};
    std::array<std::uint8_t, 256> symbols{};
};

// Builds a table from its 16 counts and its symbols; false when the counts
// describe more codes than the lengths hold.
bool buildTable(const std::uint8_t* counts, const std::uint8_t* symbols, int total, HuffmanTable& table) {
    table = HuffmanTable();
    std::copy(symbols, symbols + total, table.symbols.begin());
    std::int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int count = counts[length - 1];
        table.firstIndex[length] = index;
        table.minCode[length] = code;
        for (int i = 0; i < count; ++i, ++index, ++code) {
            // More codes than this length holds: no such table.
            if (code >= (1 << length)) return false;
            if (length <= kFastBits) {
                const int shift = kFastBits - length;
                const auto entry = static_cast<std::uint16_t>((length << 8) | table.symbols[index]);
                for (int fill = 0; fill < (1 << shift); ++fill)
                    table.fast[static_cast<std::size_t>((code << shift) | fill)] = entry;
            }
        }
        table.maxCode[length] = count > 0 ? code - 1 : -1;
        code <<= 1;
    }
    table.maxCode[17] = 0x7FFFFFFF;
    table.defined = true;
    return true;
}

// Reads the coded data of a scan bit by bit. At a marker or at the end of
// the data it goes on with zero bits, counting them: a decode that takes
// one of them has run past the data.
class BitReader {
public:
    BitReader(const unsigned char* data, std::size_t size, std::size_t pos) : data_(data), size_(size), pos_(pos) {}

    void fill() {
        while (count_ <= 56) {
            unsigned byte = 0;
            if (atMarker_ || pos_ >= size_) {
                padded_ += 8;
            } else if (data_[pos_] != 0xFF) {
                byte = data_[pos_++];
            } else if (pos_ + 1 < size_ && data_[pos_ + 1] == 0x00) {
                byte = 0xFF;  // a coded FF
                pos_ += 2;
            } else {
                atMarker_ = true;  // FF then anything else: a marker
                padded_ += 8;
            }
            bits_ |= std::uint64_t(byte) << (56 - count_);
            count_ += 8;
        }
    }

    // The next n bits (1..16) without taking them.
    unsigned peek(int n) {
        if (count_ < n) fill();
        return static_cast<unsigned>(bits_ >> (64 - n));
    }
    void skip(int n) {
        bits_ <<= n;
        count_ -= n;
    }
    unsigned take(int n) {
        const unsigned value = peek(n);
        skip(n);
        return value;
    }

    // A symbol of table; -1 for a code no table holds.
    int decode(const HuffmanTable& table) {
        if (count_ < 16) fill();
        const unsigned fast = table.fast[bits_ >> (64 - kFastBits)];
        if (fast != 0) {
            skip(static_cast<int>(fast >> 8));
            return static_cast<int>(fast & 0xFF);
        }
        const auto code16 = static_cast<std::int32_t>(bits_ >> 48);
        for (int length = kFastBits + 1; length <= 16; ++length) {
            const std::int32_t code = code16 >> (16 - length);
            if (table.maxCode[length] >= 0 && code <= table.maxCode[length] && code >= table.minCode[length]) {
                skip(length);
                return table.symbols[static_cast<std::size_t>(table.firstIndex[length] + code -
                                                              table.minCode[length])];
            }
        }
        return -1;
    }

    // A value of s bits (s <= 16) with its sign as coded.
    int receiveExtend(int s) {
        if (s == 0) return 0;
        const int value = static_cast<int>(take(s));
        return value < (1 << (s - 1)) ? value - (1 << s) + 1 : value;
    }

    // True when a bit past the data has been taken.
    bool overrun() const { return padded_ > count_; }

    // At a restart: the bits left in this interval are dropped and the next
    // marker must be a restart marker, which is passed.
    bool restart() {
        bits_ = 0;
        count_ = 0;
        padded_ = 0;
        atMarker_ = false;
        // Fill bytes before the marker are allowed.
        while (pos_ + 1 < size_ && data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFF) ++pos_;
        if (pos_ + 1 >= size_ || data_[pos_] != 0xFF || data_[pos_ + 1] < 0xD0 || data_[pos_ + 1] > 0xD7)
            return false;
        pos_ += 2;
        return true;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    std::int64_t padded_ = 0;
    bool atMarker_ = false;
};

struct Component {
    int id = 0;
    int h = 1;
    int v = 1;
    int quant = 0;
    int dcTable = 0;
    int acTable = 0;
    int dcPrediction = 0;
    // One row of blocks, scaled: width = blocks across * size, height = v * size.
    std::vector<std::uint8_t> plane;
    int planeWidth = 0;
};

// The inverse transform of the lowest size x size coefficients of an 8 x 8
// block, giving size x size pixels that each stand for (8 / size)^2 of the
// block's: the orthonormal transform of that size, scaled so that a flat
// block keeps its level. table[x * size + u] holds the factor of frequency u
// at pixel x.
class ReducedTransform {
public:
    explicit ReducedTransform(int size) : size_(size), table_(static_cast<std::size_t>(size * size)) {
        const double pi = 3.14159265358979323846;
        for (int x = 0; x < size; ++x) {
            for (int u = 0; u < size; ++u) {
                const double norm = u == 0 ? std::sqrt(1.0 / size) : std::sqrt(2.0 / size);
                table_[std::size_t(x) * std::size_t(size) + std::size_t(u)] =
                    static_cast<float>(norm * std::sqrt(size / 8.0) * std::cos((2 * x + 1) * u * pi / (2.0 * size)));
            }
        }
    }

    // block: the dequantised coefficients in natural order (8 x 8); writes
    // size x size pixels to out, rows stride apart.
    void run(const float* block, std::uint8_t* out, int stride) const {
        const int n = size_;
        float columns[64];  // [y * n + u]
        for (int u = 0; u < n; ++u) {
            bool zero = true;
            for (int v = 0; v < n; ++v) zero = zero && block[v * 8 + u] == 0.0f;
            for (int y = 0; y < n; ++y) {
                float sum = 0.0f;
                if (!zero) {
                    const float* t = &table_[std::size_t(y) * std::size_t(n)];
                    for (int v = 0; v < n; ++v) sum += t[v] * block[v * 8 + u];
                }
                columns[y * n + u] = sum;
            }
        }
        for (int y = 0; y < n; ++y) {
            std::uint8_t* row = out + static_cast<std::ptrdiff_t>(y) * stride;
            const float* c = &columns[std::ptrdiff_t(y) * n];
            for (int x = 0; x < n; ++x) {
                const float* t = &table_[std::size_t(x) * std::size_t(n)];
                float sum = 128.0f;
                for (int u = 0; u < n; ++u) sum += t[u] * c[u];
                row[x] = static_cast<std::uint8_t>(std::lrint(std::clamp(sum, 0.0f, 255.0f)));
            }
        }
    }

private:
    int size_;
    std::vector<float> table_;
};

inline std::uint8_t clampByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

class Decoder {
public:
    Decoder(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    JpegDecode run(int scale, const DecodeLimit& limit, const std::atomic<bool>* stop, Image& out) {
        if (size_ < 4 || data_[0] != 0xFF || data_[1] != 0xD8) return JpegDecode::Unsupported;
        std::size_t pos = 2;
        for (;;) {
            // Stray bytes and fill bytes before a marker are passed over.
            while (pos < size_ && data_[pos] != 0xFF) ++pos;
            while (pos < size_ && data_[pos] == 0xFF) ++pos;
            if (pos >= size_) return JpegDecode::Unsupported;
            const unsigned marker = data_[pos++];
            if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01 || marker == 0x00) continue;
            // The end, or a second start, before any scan: not a picture we
            // read (the header reader refuses it too).
            if (marker == 0xD8 || marker == 0xD9) return JpegDecode::Unsupported;
            if (pos + 2 > size_) return JpegDecode::Unsupported;
            const std::size_t length = (std::size_t(data_[pos]) << 8) | data_[pos + 1];
            if (length < 2 || pos + length > size_) return JpegDecode::Unsupported;
            const unsigned char* segment = data_ + pos + 2;
            const std::size_t segmentSize = length - 2;
            const std::size_t next = pos + length;
            if (marker == 0xC0 || marker == 0xC1) {
                if (!readFrame(segment, segmentSize)) return JpegDecode::Unsupported;
                if (!limit.allows(width_, height_)) return JpegDecode::TooLarge;
            } else if ((marker >= 0xC2 && marker <= 0xCF) && marker != 0xC4) {
                return JpegDecode::Unsupported;  // progressive, lossless, arithmetic
            } else if (marker == 0xC4) {
                if (!readHuffman(segment, segmentSize)) return JpegDecode::Unsupported;
            } else if (marker == 0xDB) {
                if (!readQuantisation(segment, segmentSize)) return JpegDecode::Unsupported;
            } else if (marker == 0xDD) {
                if (segmentSize < 2) return JpegDecode::Unsupported;
                restartInterval_ = (int(segment[0]) << 8) | segment[1];
            } else if (marker == 0xEE) {
                readAdobe(segment, segmentSize);
            } else if (marker == 0xDA) {
                if (!readScan(segment, segmentSize)) return JpegDecode::Unsupported;
                return decodeScan(next, scale, stop, out);
            }
            pos = next;
        }
    }

private:
    bool readFrame(const unsigned char* s, std::size_t n) {
        if (frameRead_ || n < 6) return false;
        frameRead_ = true;
        if (s[0] != 8) return false;
        height_ = (int(s[1]) << 8) | s[2];
        width_ = (int(s[3]) << 8) | s[4];
        const int count = s[5];
        if (width_ == 0 || height_ == 0) return false;  // a height given later is left to others
        if ((count != 1 && count != 3) || n < 6u + 3u * std::size_t(count)) return false;
        for (int i = 0; i < count; ++i) {
            Component c;
            c.id = s[6 + 3 * i];
            c.h = s[7 + 3 * i] >> 4;
            c.v = s[7 + 3 * i] & 15;
            c.quant = s[8 + 3 * i];
            if (c.h < 1 || c.h > 2 || c.v < 1 || c.v > 2 || c.quant > 3) return false;
            // A single component is coded block by block whatever its factors.
            if (count == 1) c.h = c.v = 1;
            components_.push_back(c);
        }
        return true;
    }

    bool readHuffman(const unsigned char* s, std::size_t n) {
        std::size_t at = 0;
        while (at < n) {
            if (n - at < 17) return false;
            const int kind = s[at] >> 4;
            const int id = s[at] & 15;
            if (kind > 1 || id > 3) return false;
            int total = 0;
            for (int i = 0; i < 16; ++i) total += s[at + 1 + std::size_t(i)];
            if (total > 256 || n - at - 17 < std::size_t(total)) return false;
            HuffmanTable& table = kind == 0 ? dc_[std::size_t(id)] : ac_[std::size_t(id)];
            if (!buildTable(s + at + 1, s + at + 17, total, table)) return false;
            at += 17 + std::size_t(total);
        }
        return true;
    }

    bool readQuantisation(const unsigned char* s, std::size_t n) {
        std::size_t at = 0;
        while (at < n) {
            const int precision = s[at] >> 4;
            const int id = s[at] & 15;
            if (precision > 1 || id > 3) return false;
            const std::size_t bytes = precision == 0 ? 64 : 128;
            if (n - at - 1 < bytes) return false;
            auto& table = quant_[std::size_t(id)];
            for (std::size_t k = 0; k < 64; ++k)
                table[k] = precision == 0 ? float(s[at + 1 + k])
                                          : float((int(s[at + 1 + 2 * k]) << 8) | s[at + 2 + 2 * k]);
            quantDefined_[std::size_t(id)] = true;
            at += 1 + bytes;
        }
        return true;
    }

    void readAdobe(const unsigned char* s, std::size_t n) {
        if (n >= 12 && s[0] == 'A' && s[1] == 'd' && s[2] == 'o' && s[3] == 'b' && s[4] == 'e') {
            adobe_ = true;
            adobeTransform_ = s[11];
        }
    }

    bool readScan(const unsigned char* s, std::size_t n) {
        if (!frameRead_ || n < 1) return false;
        const int count = s[0];
        // Components in scans of their own would need every coefficient of
        // the picture kept: not ours.
        if (count != int(components_.size()) || n < 4u + 2u * std::size_t(count)) return false;
        for (int i = 0; i < count; ++i) {
            Component& c = components_[std::size_t(i)];
            if (s[1 + 2 * i] != c.id) return false;
            c.dcTable = s[2 + 2 * i] >> 4;
            c.acTable = s[2 + 2 * i] & 15;
            if (c.dcTable > 3 || c.acTable > 3 || !dc_[std::size_t(c.dcTable)].defined ||
                !ac_[std::size_t(c.acTable)].defined || !quantDefined_[std::size_t(c.quant)])
                return false;
        }
        // The spectral range and approximation bytes mean nothing to a
        // sequential scan.
        return true;
    }

    // Decodes one block's coefficients and transforms the wanted ones into
    // the component's plane at (x, y); false on a damaged code.
    bool decodeBlock(BitReader& bits, Component& c, const ReducedTransform& transform, int size, int x, int y) {
        float block[64];
        std::fill(block, block + 64, 0.0f);
        const auto& q = quant_[std::size_t(c.quant)];
        const int dcCategory = bits.decode(dc_[std::size_t(c.dcTable)]);
        if (dcCategory < 0 || dcCategory > 11) return false;
        // Kept in bounds whatever a damaged stream adds up to.
        c.dcPrediction = std::clamp(c.dcPrediction + bits.receiveExtend(dcCategory), -65536, 65536);
        block[0] = float(c.dcPrediction) * q[0];
        const HuffmanTable& ac = ac_[std::size_t(c.acTable)];
        for (int k = 1; k < 64;) {
            const int symbol = bits.decode(ac);
            if (symbol < 0) return false;
            const int run = symbol >> 4;
            const int category = symbol & 15;
            if (category == 0) {
                if (run != 15) break;  // end of block
                k += 16;
                continue;
            }
            k += run;
            if (k > 63) return false;
            const int natural = kNatural[std::size_t(k)];
            if ((natural & 7) < size && (natural >> 3) < size) {
                block[natural] = float(bits.receiveExtend(category)) * q[std::size_t(k)];
            } else {
                bits.take(category);
            }
            ++k;
        }
        transform.run(block, c.plane.data() + std::size_t(y) * std::size_t(c.planeWidth) + std::size_t(x),
                      c.planeWidth);
        return true;
    }

    JpegDecode decodeScan(std::size_t pos, int scale, const std::atomic<bool>* stop, Image& out) {
        const int size = 8 / scale;
        const ReducedTransform transform(size);
        int hMax = 1;
        int vMax = 1;
        for (const Component& c : components_) {
            hMax = std::max(hMax, c.h);
            vMax = std::max(vMax, c.v);
        }
        const int mcusAcross = (width_ + 8 * hMax - 1) / (8 * hMax);
        const int mcusDown = (height_ + 8 * vMax - 1) / (8 * vMax);
        const int outWidth = (width_ + scale - 1) / scale;
        const int outHeight = (height_ + scale - 1) / scale;
        const bool rgb = components_.size() == 3 &&
                         ((adobe_ && adobeTransform_ == 0) ||
                          (!adobe_ && components_[0].id == 'R' && components_[1].id == 'G' &&
                           components_[2].id == 'B'));
        Image image;
        try {
            image.width = outWidth;
            image.height = outHeight;
            image.bgr.resize(std::size_t(outWidth) * std::size_t(outHeight) * 3u);
            for (Component& c : components_) {
                c.planeWidth = mcusAcross * c.h * size;
                c.plane.assign(std::size_t(c.planeWidth) * std::size_t(c.v * size), 0);
            }
        } catch (const std::bad_alloc&) {
            return JpegDecode::OutOfMemory;
        }

        BitReader bits(data_, size_, pos);
        int mcusLeft = restartInterval_;
        for (int mcuY = 0; mcuY < mcusDown; ++mcuY) {
            if (stop && stop->load(std::memory_order_relaxed)) return JpegDecode::Stopped;
            const bool lastRow = mcuY + 1 == mcusDown;
            for (int mcuX = 0; mcuX < mcusAcross; ++mcuX) {
                if (restartInterval_ > 0) {
                    if (mcusLeft == 0) {
                        if (!bits.restart() && !lastRow) return JpegDecode::Broken;
                        for (Component& c : components_) c.dcPrediction = 0;
                        mcusLeft = restartInterval_;
                    }
                    --mcusLeft;
                }
                for (Component& c : components_) {
                    for (int by = 0; by < c.v; ++by)
                        for (int bx = 0; bx < c.h; ++bx)
                            if (!decodeBlock(bits, c, transform, size, (mcuX * c.h + bx) * size, by * size))
                                return JpegDecode::Broken;
                }
                if (bits.overrun() && !lastRow) return JpegDecode::Broken;
            }
            writeRows(image, mcuY * vMax * size, std::min(vMax * size, outHeight - mcuY * vMax * size), hMax, vMax,
                      rgb);
        }
        out = std::move(image);
        return JpegDecode::Decoded;
    }

    // The pixels of one row of blocks, rows top to top + count of the output.
    void writeRows(Image& image, int top, int count, int hMax, int vMax, bool rgb) const {
        const Component& c0 = components_[0];
        for (int y = 0; y < count; ++y) {
            unsigned char* to = image.row(top + y);
            const std::uint8_t* luma = c0.plane.data() + std::size_t(y) * std::size_t(c0.planeWidth);
            if (components_.size() == 1) {
                for (int x = 0; x < image.width; ++x, to += 3) to[0] = to[1] = to[2] = luma[x];
                continue;
            }
            const Component& c1 = components_[1];
            const Component& c2 = components_[2];
            const int shift1x = c1.h < hMax ? 1 : 0;
            const int shift1y = c1.v < vMax ? 1 : 0;
            const int shift2x = c2.h < hMax ? 1 : 0;
            const int shift2y = c2.v < vMax ? 1 : 0;
            const int shift0x = c0.h < hMax ? 1 : 0;
            const int shift0y = c0.v < vMax ? 1 : 0;
            const std::uint8_t* first = c0.plane.data() + std::size_t(y >> shift0y) * std::size_t(c0.planeWidth);
            const std::uint8_t* second = c1.plane.data() + std::size_t(y >> shift1y) * std::size_t(c1.planeWidth);
            const std::uint8_t* third = c2.plane.data() + std::size_t(y >> shift2y) * std::size_t(c2.planeWidth);
            for (int x = 0; x < image.width; ++x, to += 3) {
                const int a = first[x >> shift0x];
                const int b = second[x >> shift1x];
                const int d = third[x >> shift2x];
                if (rgb) {
                    to[0] = static_cast<unsigned char>(d);
                    to[1] = static_cast<unsigned char>(b);
                    to[2] = static_cast<unsigned char>(a);
                    continue;
                }
                // YCbCr to RGB, in 16-bit fixed point.
                const int cb = b - 128;
                const int cr = d - 128;
                const int luma16 = (a << 16) + 32768;
                to[2] = clampByte((luma16 + 91881 * cr) >> 16);
                to[1] = clampByte((luma16 - 22554 * cb - 46802 * cr) >> 16);
                to[0] = clampByte((luma16 + 116130 * cb) >> 16);
            }
        }
    }

    const unsigned char* data_;
    std::size_t size_;
    bool frameRead_ = false;
    int width_ = 0;
    int height_ = 0;
    int restartInterval_ = 0;
    bool adobe_ = false;
    int adobeTransform_ = -1;
    std::vector<Component> components_;
    std::array<HuffmanTable, 4> dc_{};
    std::array<HuffmanTable, 4> ac_{};
    std::array<std::array<float, 64>, 4> quant_{};
    std::array<bool, 4> quantDefined_{};
};

}  // namespace

JpegDecode decodeScaledJpeg(const unsigned char* data, std::size_t size, int scale, const DecodeLimit& limit,
                            const std::atomic<bool>* stop, Image& out) {
    out = Image();
    if (!data || (scale != 1 && scale != 2 && scale != 4 && scale != 8)) return JpegDecode::Unsupported;
    try {
        Decoder decoder(data, size);
        return decoder.run(scale, limit, stop, out);
    } catch (const std::bad_alloc&) {
        out = Image();
        return JpegDecode::OutOfMemory;
    }
}

}  // namespace qv
