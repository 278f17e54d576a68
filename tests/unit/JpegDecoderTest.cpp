// Our JPEG decoder at every scale, on JPEGs written here: blocks of one
// level each (a DC term, optionally one horizontal AC term), quantisation
// all ones, so every pixel can be worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/JpegDecoder.h"
#include "image/JpegFirstDecoder.h"
#include "platform/fake/MemoryFiles.h"

namespace qv {
namespace {

using Levels = std::array<int, 3>;  // Y, Cb, Cr

struct TestJpeg {
    int width = 32;
    int height = 32;
    int components = 3;
    std::array<int, 3> h = {1, 1, 1};
    std::array<int, 3> v = {1, 1, 1};
    int restart = 0;        // MCUs between restart markers, 0 for none
    unsigned char sof = 0xC0;
    int precision = 8;
    int ac = 0;             // the first horizontal AC term of every block: 0, or 64..127
    // The levels at a full-size pixel, taken at each block's top-left corner.
    std::function<Levels(int x, int y)> levels = [](int, int) { return Levels{128, 128, 128}; };
};

class BitWriter {
public:
    explicit BitWriter(std::vector<unsigned char>& out) : out_(out) {}
    void put(unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = (byte_ << 1) | ((value >> i) & 1u);
            if (++filled_ == 8) flushByte();
        }
    }
    void padWithOnes() {
        while (filled_ != 0) put(1, 1);
    }

private:
    void flushByte() {
        out_.push_back(static_cast<unsigned char>(byte_));
        if (byte_ == 0xFF) out_.push_back(0x00);
        byte_ = 0;
        filled_ = 0;
    }
    std::vector<unsigned char>& out_;
    unsigned byte_ = 0;
    int filled_ = 0;
};

void put16(std::vector<unsigned char>& v, int value) {
    v.push_back(static_cast<unsigned char>(value >> 8));
    v.push_back(static_cast<unsigned char>(value));
}

// Tables of our own: DC categories 0..11 all coded in 4 bits (category c
// as c), so codes 1100..1111 are invalid; AC: 00 the end of a block, 01 a
// term of 7 bits, 1x invalid.
std::vector<unsigned char> makeJpeg(const TestJpeg& t) {
    std::vector<unsigned char> v = {0xFF, 0xD8};
    v.insert(v.end(), {0xFF, 0xDB, 0x00, 0x43, 0x00});
    v.insert(v.end(), 64, 1);
    v.insert(v.end(), {0xFF, 0xC4, 0x00, 0x1F, 0x00, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (unsigned char s = 0; s < 12; ++s) v.push_back(s);
    v.insert(v.end(), {0xFF, 0xC4, 0x00, 0x15, 0x10, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x07});
    if (t.restart > 0) {
        v.insert(v.end(), {0xFF, 0xDD, 0x00, 0x04});
        put16(v, t.restart);
    }
    v.insert(v.end(), {0xFF, t.sof});
    put16(v, 8 + 3 * t.components);
    v.push_back(static_cast<unsigned char>(t.precision));
    put16(v, t.height);
    put16(v, t.width);
    v.push_back(static_cast<unsigned char>(t.components));
    for (int c = 0; c < t.components; ++c) {
        v.push_back(static_cast<unsigned char>(c + 1));
        v.push_back(static_cast<unsigned char>((t.h[c] << 4) | t.v[c]));
        v.push_back(0);
    }
    v.insert(v.end(), {0xFF, 0xDA});
    put16(v, 6 + 2 * t.components);
    v.push_back(static_cast<unsigned char>(t.components));
    for (int c = 0; c < t.components; ++c) {
        v.push_back(static_cast<unsigned char>(c + 1));
        v.push_back(0x00);
    }
    v.insert(v.end(), {0, 63, 0});

    // A single component is coded block by block.
    const int n = t.components;
    const int hMax = n == 1 ? 1 : std::max({t.h[0], t.h[1], t.h[2]});
    const int vMax = n == 1 ? 1 : std::max({t.v[0], t.v[1], t.v[2]});
    const int across = (t.width + 8 * hMax - 1) / (8 * hMax);
    const int down = (t.height + 8 * vMax - 1) / (8 * vMax);
    BitWriter bits(v);
    std::array<int, 3> prediction = {0, 0, 0};
    int sinceRestart = 0;
    int marker = 0;
    for (int my = 0; my < down; ++my) {
        for (int mx = 0; mx < across; ++mx) {
            if (t.restart > 0 && sinceRestart == t.restart) {
                bits.padWithOnes();
                v.push_back(0xFF);
                v.push_back(static_cast<unsigned char>(0xD0 + marker));
                marker = (marker + 1) & 7;
                prediction = {0, 0, 0};
                sinceRestart = 0;
            }
            ++sinceRestart;
            for (int c = 0; c < n; ++c) {
                const int ch = n == 1 ? 1 : t.h[c];
                const int cv = n == 1 ? 1 : t.v[c];
                for (int by = 0; by < cv; ++by) {
                    for (int bx = 0; bx < ch; ++bx) {
                        const int x = (mx * ch + bx) * 8 * (hMax / ch);
                        const int y = (my * cv + by) * 8 * (vMax / cv);
                        const int dc = 8 * (t.levels(x, y)[c] - 128);
                        int diff = dc - prediction[c];
                        prediction[c] = dc;
                        int category = 0;
                        while ((diff < 0 ? -diff : diff) >= (1 << category)) ++category;
                        bits.put(static_cast<unsigned>(category), 4);
                        if (category > 0) bits.put(static_cast<unsigned>(diff < 0 ? diff + (1 << category) - 1 : diff),
                                                   category);
                        if (t.ac != 0) {
                            bits.put(1, 2);
                            bits.put(static_cast<unsigned>(t.ac < 0 ? t.ac + 127 : t.ac), 7);
                        }
                        bits.put(0, 2);
                    }
                }
            }
        }
    }
    bits.padWithOnes();
    v.insert(v.end(), {0xFF, 0xD9});
    return v;
}

// Quadrants of a 32 x 32 picture; the top left grey 100, the others with
// colour. By hand from R = Y + 1.402 (Cr - 128), G = Y - 0.344136 (Cb - 128)
// - 0.714136 (Cr - 128), B = Y + 1.772 (Cb - 128):
//   Y 128 Cr 208: R 240.2, G 70.9, B 128;   Y 128 Cb 48: R 128, G 155.5, B 0 (-13.8)
//   Y 200 Cb 150 Cr 100: R 160.7, G 212.4, B 239.0
Levels quadrant(int x, int y) {
    if (y < 16) return x < 16 ? Levels{100, 128, 128} : Levels{128, 128, 208};
    return x < 16 ? Levels{128, 48, 128} : Levels{200, 150, 100};
}
const std::array<std::array<int, 3>, 4> kQuadrantRgb = {{{100, 100, 100}, {240, 71, 128}, {128, 156, 0}, {161, 212, 239}}};

const DecodeLimit kLimit{16384, 100000000};

// The pixel at (x, y) as red, green, blue.
std::array<int, 3> rgbAt(const Image& image, int x, int y) {
    const unsigned char* p = image.row(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

TEST(JpegDecoder, EverySamplingAtEveryScaleGivesItsSizeAndColours) {
    struct Sampling {
        const char* name;
        int components;
        std::array<int, 3> h, v;
        int restart;
    };
    const std::vector<Sampling> samplings = {
        {"4:4:4", 3, {1, 1, 1}, {1, 1, 1}, 0},
        {"4:2:2", 3, {2, 1, 1}, {1, 1, 1}, 0},
        {"4:2:0", 3, {2, 1, 1}, {2, 1, 1}, 0},
        {"4:4:0", 3, {1, 1, 1}, {2, 1, 1}, 0},
        {"4:2:0 restart every 3", 3, {2, 1, 1}, {2, 1, 1}, 3},
        {"4:4:4 restart every 1", 3, {1, 1, 1}, {1, 1, 1}, 1},
        {"grey", 1, {2, 1, 1}, {2, 1, 1}, 0},  // its factors mean nothing alone
    };
    // Sides rounded up: 32 gives 32, 16, 8, 4.
    const std::array<int, 4> scales = {1, 2, 4, 8};
    for (const Sampling& s : samplings) {
        TestJpeg t;
        t.components = s.components;
        t.h = s.h;
        t.v = s.v;
        t.restart = s.restart;
        t.levels = quadrant;
        const auto bytes = makeJpeg(t);
        for (const int scale : scales) {
            SCOPED_TRACE(std::string(s.name) + " at 1/" + std::to_string(scale));
            Image out;
            ASSERT_EQ(decodeScaledJpeg(bytes.data(), bytes.size(), scale, kLimit, nullptr, out), JpegDecode::Decoded);
            ASSERT_EQ(out.width, 32 / scale);
            ASSERT_EQ(out.height, 32 / scale);
            // The middle of each quadrant.
            const int q = 8 / scale;
            const std::array<std::array<int, 2>, 4> probes = {{{q, q}, {3 * q, q}, {q, 3 * q}, {3 * q, 3 * q}}};
            for (std::size_t i = 0; i < 4; ++i) {
                const auto got = rgbAt(out, probes[i][0], probes[i][1]);
                for (int k = 0; k < 3; ++k) {
                    // Grey: the luma alone.
                    const int expected = s.components == 1 ? quadrant(probes[i][0] * scale, probes[i][1] * scale)[0]
                                                           : kQuadrantRgb[i][std::size_t(k)];
                    EXPECT_NEAR(got[std::size_t(k)], expected, 1) << "quadrant " << i << " channel " << k;
                }
            }
        }
    }
}

TEST(JpegDecoder, OddSidesRoundUpAndTheLastBlocksAreKept) {
    // 61 x 37 in 4:2:0: MCUs of 16 x 16, 4 x 3 of them; the corner pixel
    // comes from the last, partly outside, MCU.
    TestJpeg t;
    t.width = 61;
    t.height = 37;
    t.h = {2, 1, 1};
    t.v = {2, 1, 1};
    t.levels = [](int x, int y) { return x >= 48 && y >= 32 ? Levels{200, 128, 128} : Levels{60, 128, 128}; };
    const auto bytes = makeJpeg(t);
    struct Case {
        int scale, width, height;
    };
    for (const Case& c : {Case{1, 61, 37}, Case{2, 31, 19}, Case{4, 16, 10}, Case{8, 8, 5}}) {
        SCOPED_TRACE(c.scale);
        Image out;
        ASSERT_EQ(decodeScaledJpeg(bytes.data(), bytes.size(), c.scale, kLimit, nullptr, out), JpegDecode::Decoded);
        EXPECT_EQ(out.width, c.width);
        EXPECT_EQ(out.height, c.height);
        EXPECT_EQ(out.bgr.size(), std::size_t(c.width) * c.height * 3);
        EXPECT_EQ(rgbAt(out, c.width - 1, c.height - 1)[1], 200);
        EXPECT_EQ(rgbAt(out, 0, 0)[1], 60);
    }
}

TEST(JpegDecoder, AnAcTermIsUsedAtItsScaleAndPassedOverAtAnEighth) {
    // One horizontal term of 96 on a level of 128, grey. Full size: 128 +
    // 96 / (4 sqrt 2) cos(pi / 16) = 144.6 at the left, 111.4 at the right.
    // A half: the 4-point transform, 128 + 96 sqrt(1/8) / 2 cos(pi / 8) =
    // 143.7 and 112.3. A quarter: 128 + 96 / 4 * 0.7071 / sqrt 2 = 140 and
    // 116. An eighth: the DC term alone, 128; the terms after it must still
    // be read past for the next block to come out right.
    struct Case {
        int scale, left, right;
    };
    TestJpeg t;
    t.width = 16;
    t.height = 8;
    t.components = 1;
    t.ac = 96;
    const auto bytes = makeJpeg(t);
    for (const Case& c : {Case{1, 145, 111}, Case{2, 144, 112}, Case{4, 140, 116}, Case{8, 128, 128}}) {
        SCOPED_TRACE(c.scale);
        Image out;
        ASSERT_EQ(decodeScaledJpeg(bytes.data(), bytes.size(), c.scale, kLimit, nullptr, out), JpegDecode::Decoded);
        const int last = 8 / c.scale - 1;
        for (const int block : {0, 1}) {
            EXPECT_EQ(rgbAt(out, block * (last + 1), 0)[0], c.left) << "block " << block;
            EXPECT_EQ(rgbAt(out, block * (last + 1) + last, 0)[0], c.right) << "block " << block;
        }
    }
}

std::vector<unsigned char> changed(std::vector<unsigned char> bytes, const std::function<void(std::vector<unsigned char>&)>& change) {
    change(bytes);
    return bytes;
}

// Where the coded data of a makeJpeg picture starts: after its SOS segment.
std::size_t scanStart(const std::vector<unsigned char>& bytes) {
    for (std::size_t i = 2; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) return i + 2 + ((bytes[i + 2] << 8) | bytes[i + 3]);
    return 0;
}

TEST(JpegDecoder, DamagedForeignAndStoppedStreamsGiveTheirAnswer) {
    TestJpeg plain;
    plain.h = {2, 1, 1};
    plain.v = {2, 1, 1};
    plain.levels = quadrant;
    const auto good = makeJpeg(plain);
    TestJpeg restarts = plain;
    restarts.restart = 1;
    const auto withRestarts = makeJpeg(restarts);
    const std::size_t scan = scanStart(good);
    ASSERT_GT(scan, 0u);

    const auto with = [](TestJpeg t, const std::function<void(TestJpeg&)>& change) {
        change(t);
        return makeJpeg(t);
    };
    std::atomic<bool> stopped{true};
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        JpegDecode expected;
        const std::atomic<bool>* stop = nullptr;
        DecodeLimit limit = kLimit;
    };
    const std::vector<Case> cases = {
        {"whole", good, JpegDecode::Decoded},
        {"no end marker", std::vector<unsigned char>(good.begin(), good.end() - 2), JpegDecode::Decoded},
        // Cut in its coded data: the last byte holds bits of the last block,
        // in the last of its two rows of MCUs (taken); four bytes are not
        // one of the first row's two MCUs (about 12 bytes each).
        {"cut in the last row", std::vector<unsigned char>(good.begin(), good.end() - 3), JpegDecode::Decoded},
        {"cut in the first row", std::vector<unsigned char>(good.begin(), good.begin() + std::ptrdiff_t(scan + 4)),
         JpegDecode::Broken},
        {"cut before its data", std::vector<unsigned char>(good.begin(), good.begin() + std::ptrdiff_t(scan)),
         JpegDecode::Broken},
        // 1111 is no DC code of these tables.
        {"invalid code", changed(good, [scan](auto& b) { b[scan] = 0xF0; }), JpegDecode::Broken},
        {"restarts", withRestarts, JpegDecode::Decoded},
        // The marker after the first MCU, in the first row.
        {"restart marker lost",
         changed(withRestarts,
                 [](auto& b) {
                     for (std::size_t i = scanStart(b); i + 1 < b.size(); ++i)
                         if (b[i] == 0xFF && b[i + 1] == 0xD0) b[i + 1] = 0xC8;
                 }),
         JpegDecode::Broken},
        {"progressive", with(plain, [](TestJpeg& t) { t.sof = 0xC2; }), JpegDecode::Unsupported},
        {"arithmetic", with(plain, [](TestJpeg& t) { t.sof = 0xC9; }), JpegDecode::Unsupported},
        {"lossless", with(plain, [](TestJpeg& t) { t.sof = 0xC3; }), JpegDecode::Unsupported},
        {"12 bits", with(plain, [](TestJpeg& t) { t.precision = 12; }), JpegDecode::Unsupported},
        {"two components", with(plain, [](TestJpeg& t) { t.components = 2; }), JpegDecode::Unsupported},
        {"sampling 3", with(plain, [](TestJpeg& t) { t.h = {3, 1, 1}; }), JpegDecode::Unsupported},
        {"height later", with(plain, [](TestJpeg& t) { t.height = 0; }), JpegDecode::Unsupported},
        {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0}, JpegDecode::Unsupported},
        {"empty", {}, JpegDecode::Unsupported},
        {"headers only", std::vector<unsigned char>(good.begin(), good.begin() + 40), JpegDecode::Unsupported},
        {"over the limit", good, JpegDecode::TooLarge, nullptr, DecodeLimit{31, 1000000}},
        {"stopped", good, JpegDecode::Stopped, &stopped},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const int scale : {1, 8}) {
            Image out;
            EXPECT_EQ(decodeScaledJpeg(c.bytes.data(), c.bytes.size(), scale, c.limit, c.stop, out), c.expected);
            EXPECT_EQ(out.empty(), c.expected != JpegDecode::Decoded);
        }
    }
}

// The platform's decoder, as far as the JPEG-first decoder sees it.
class CountingDecoder : public PictureDecoderPort {
public:
    int calls = 0;
    DecodeError decodePicture(const std::string&, int, int, const DecodeLimit&, const std::atomic<bool>*,
                              Image& out) override {
        ++calls;
        out.width = out.height = 1;
        out.bgr.assign(3, 0);
        return DecodeError::None;
    }
    std::vector<std::string> decoderExtensions() override { return {".jpg"}; }
};

TEST(JpegFirstDecoder, ShrinksJpegsByAPowerOfTwoAndHandsTheRestOn) {
    TestJpeg t;
    t.width = 64;
    t.height = 48;
    const auto jpeg = makeJpeg(t);
    std::atomic<bool> stopped{true};
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        int wantedWidth, wantedHeight;
        const std::atomic<bool>* stop;
        DecodeError expected;
        int width, height;  // of a decoded picture
        int fallbackCalls;
    };
    const std::vector<Case> cases = {
        // Factor 64 / 20 = 3 (48 / 15 = 3): a half.
        {"factor 3", jpeg, 20, 15, nullptr, DecodeError::None, 32, 24, 0},
        {"factor 8", jpeg, 8, 6, nullptr, DecodeError::None, 8, 6, 0},
        // Factor 16 still an eighth.
        {"factor 16", jpeg, 4, 3, nullptr, DecodeError::None, 8, 6, 0},
        {"own size", jpeg, 0, 0, nullptr, DecodeError::None, 64, 48, 0},
        {"progressive", changed(jpeg, [](auto& b) {
             for (std::size_t i = 0; i + 1 < b.size(); ++i)
                 if (b[i] == 0xFF && b[i + 1] == 0xC0) b[i + 1] = 0xC2;
         }), 8, 6, nullptr, DecodeError::None, 1, 1, 1},
        {"not a JPEG", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}, 8, 6, nullptr, DecodeError::None, 1, 1, 1},
        {"cut short", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(scanStart(jpeg) + 2)), 8,
         6, nullptr, DecodeError::Other, 0, 0, 0},
        {"stopped", jpeg, 8, 6, &stopped, DecodeError::Stopped, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles files;
        files.addFile("C:\\f\\a.jpg", c.bytes);
        CountingDecoder fallback;
        JpegFirstDecoder decoder(files, fallback);
        Image out;
        EXPECT_EQ(decoder.decodePicture("C:\\f\\a.jpg", c.wantedWidth, c.wantedHeight, kLimit, c.stop, out),
                  c.expected);
        EXPECT_EQ(out.width, c.width);
        EXPECT_EQ(out.height, c.height);
        EXPECT_EQ(fallback.calls, c.fallbackCalls);
    }
}

}  // namespace
}  // namespace qv
