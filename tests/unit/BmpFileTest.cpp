#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "PhotoTestSupport.h"
#include "image/BmpFile.h"

namespace qv {
namespace {

using testing::makeImage;
using testing::pixel;

std::uint32_t le32(const std::vector<unsigned char>& v, std::size_t at) {
    return v[at] | (std::uint32_t(v[at + 1]) << 8) | (std::uint32_t(v[at + 2]) << 16) | (std::uint32_t(v[at + 3]) << 24);
}
std::uint32_t le16(const std::vector<unsigned char>& v, std::size_t at) { return v[at] | (std::uint32_t(v[at + 1]) << 8); }

void put32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}
void put16(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x) {
    v[at] = static_cast<unsigned char>(x);
    v[at + 1] = static_cast<unsigned char>(x >> 8);
}

// Headers of a BMP with a 40-byte info header; the caller appends the rest.
std::vector<unsigned char> bmpHeaders(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression,
                                      std::uint32_t pixelOffset, std::uint32_t coloursUsed = 0) {
    std::vector<unsigned char> v(54, 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 10, pixelOffset);
    put32(v, 14, 40);
    put32(v, 18, static_cast<std::uint32_t>(w));
    put32(v, 22, static_cast<std::uint32_t>(h));
    put16(v, 26, 1);
    put16(v, 28, static_cast<std::uint32_t>(bits));
    put32(v, 30, compression);
    put32(v, 46, coloursUsed);
    return v;
}

TEST(BmpFile, SizesOfAConvertedPhoto) {
    // 654 x 3 = 1962 bytes a row, padded to 1964; 491 rows.
    EXPECT_EQ(bmpRowSize(654), 1964u);
    EXPECT_EQ(bmpPixelDataSize(654, 491), 964324u);
    EXPECT_EQ(bmpFileSize(654, 491), 964378u);
    // Rows already a multiple of 4 get no padding; 1 pixel needs one byte.
    EXPECT_EQ(bmpRowSize(4), 12u);
    EXPECT_EQ(bmpRowSize(1), 4u);
    EXPECT_EQ(bmpRowSize(818), 2456u);

    const Image image = makeImage(654, 491, [](int, int) { return std::array<unsigned char, 3>{1, 2, 3}; });
    const auto file = encodeBmp24(image);
    ASSERT_EQ(file.size(), 964378u);
    EXPECT_EQ(le32(file, 2), 964378u);
    EXPECT_EQ(le32(file, 34), 964324u);
    // Last two bytes of each row are padding, the row before them is a pixel.
    EXPECT_EQ(file[54 + 1962], 0);
    EXPECT_EQ(file[54 + 1963], 0);
    EXPECT_EQ(file[54 + 1964], 1);
}

TEST(BmpFile, HeadersFieldByFieldAndRowsBottomUp) {
    // 2 x 2: top row red, green; bottom row blue, white.
    const Image image = makeImage(2, 2, [](int x, int y) -> std::array<unsigned char, 3> {
        if (y == 0) return x == 0 ? std::array<unsigned char, 3>{0, 0, 255} : std::array<unsigned char, 3>{0, 255, 0};
        return x == 0 ? std::array<unsigned char, 3>{255, 0, 0} : std::array<unsigned char, 3>{255, 255, 255};
    });
    const auto f = encodeBmp24(image);
    ASSERT_EQ(f.size(), 54u + 16u);  // rows of 6 bytes padded to 8
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(le32(f, 2), 70u);
    EXPECT_EQ(le16(f, 6), 0u);
    EXPECT_EQ(le16(f, 8), 0u);
    EXPECT_EQ(le32(f, 10), 54u);
    EXPECT_EQ(le32(f, 14), 40u);
    EXPECT_EQ(le32(f, 18), 2u);
    EXPECT_EQ(le32(f, 22), 2u);  // positive: bottom-up
    EXPECT_EQ(le16(f, 26), 1u);
    EXPECT_EQ(le16(f, 28), 24u);
    EXPECT_EQ(le32(f, 30), 0u);
    EXPECT_EQ(le32(f, 34), 16u);
    for (std::size_t at : {38u, 42u, 46u, 50u}) EXPECT_EQ(le32(f, at), 0u) << at;
    // The bottom row comes first: blue, white, two zero bytes; then red, green.
    const std::vector<unsigned char> pixels(f.begin() + 54, f.end());
    const std::vector<unsigned char> expected = {255, 0, 0, 255, 255, 255, 0, 0,
                                                 0, 0, 255, 0, 255, 0, 0, 0};
    EXPECT_EQ(pixels, expected);
}

TEST(BmpFile, EncodeRefusesEmptyOrInconsistentPictures) {
    EXPECT_TRUE(encodeBmp24(Image()).empty());
    Image wrong = makeImage(3, 3, testing::positionColour);
    wrong.bgr.pop_back();
    EXPECT_TRUE(encodeBmp24(wrong).empty());
}

TEST(BmpFile, ReadsBackWhatItWrites) {
    const Image image = makeImage(5, 3, testing::positionColour);
    const auto file = encodeBmp24(image);
    BmpInfo info;
    ASSERT_TRUE(readBmpInfo(file.data(), file.size(), info));
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_FALSE(info.topDown);
    Image back;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), back));
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.bgr, image.bgr);
}

TEST(BmpFile, ReadsTopDown32BitAndPalettedPictures) {
    // 32-bit top-down 2 x 1: pixels (1,2,3) and (4,5,6), fourth byte ignored.
    auto v32 = bmpHeaders(2, -1, 32, 0, 54);
    for (unsigned char b : {1, 2, 3, 99, 4, 5, 6, 99}) v32.push_back(b);
    Image image;
    ASSERT_TRUE(decodeBmp(v32.data(), v32.size(), image));
    EXPECT_EQ(image.bgr, (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));

    // 32-bit with the usual bit fields after the header.
    auto vbf = bmpHeaders(1, 1, 32, 3, 66);
    for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu})
        for (int i = 0; i < 4; ++i) vbf.push_back(static_cast<unsigned char>(mask >> (8 * i)));
    for (unsigned char b : {7, 8, 9, 0}) vbf.push_back(b);
    ASSERT_TRUE(decodeBmp(vbf.data(), vbf.size(), image));
    EXPECT_EQ(image.bgr, (std::vector<unsigned char>{7, 8, 9}));
    // Overlapping masks are refused rather than guessed.
    put32(vbf, 54, 0x000000FFu);
    EXPECT_FALSE(decodeBmp(vbf.data(), vbf.size(), image));

    // 8-bit, two colours in the table, 3 x 2 bottom-up: rows padded to 4 bytes.
    auto v8 = bmpHeaders(3, 2, 8, 0, 54 + 8, 2);
    for (unsigned char b : {10, 20, 30, 0, 40, 50, 60, 0}) v8.push_back(b);  // table: index 0, index 1
    for (unsigned char b : {0, 1, 0, 0}) v8.push_back(b);  // bottom row
    for (unsigned char b : {1, 1, 7, 0}) v8.push_back(b);  // top row: index 7 is past the table
    ASSERT_TRUE(decodeBmp(v8.data(), v8.size(), image));
    ASSERT_EQ(image.width, 3);
    EXPECT_EQ(pixel(image, 0, 0), (std::array<unsigned char, 3>{40, 50, 60}));
    EXPECT_EQ(pixel(image, 2, 0), (std::array<unsigned char, 3>{0, 0, 0}));
    EXPECT_EQ(pixel(image, 0, 1), (std::array<unsigned char, 3>{10, 20, 30}));
    EXPECT_EQ(pixel(image, 1, 1), (std::array<unsigned char, 3>{40, 50, 60}));

    // 1-bit, 10 x 1: bits 1000000001 (the most significant bit is the left pixel).
    auto v1 = bmpHeaders(10, 1, 1, 0, 54 + 8);
    for (unsigned char b : {0, 0, 0, 0, 255, 255, 255, 0}) v1.push_back(b);
    for (unsigned char b : {0x80, 0x40, 0, 0}) v1.push_back(b);
    ASSERT_TRUE(decodeBmp(v1.data(), v1.size(), image));
    EXPECT_EQ(pixel(image, 0, 0)[0], 255);
    EXPECT_EQ(pixel(image, 1, 0)[0], 0);
    EXPECT_EQ(pixel(image, 8, 0)[0], 0);
    EXPECT_EQ(pixel(image, 9, 0)[0], 255);
}

TEST(BmpFile, BrokenHeadersAreRefused) {
    const auto good = encodeBmp24(makeImage(3, 2, testing::positionColour));
    Image image;
    ASSERT_TRUE(decodeBmp(good.data(), good.size(), image));

    // Every cut short version fails, none reads past its end.
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(decodeBmp(cut.data(), cut.size(), image)) << n;
        EXPECT_TRUE(image.empty());
    }

    auto with = [&](std::size_t at, std::uint32_t value, bool wide) {
        auto v = good;
        if (wide) put32(v, at, value); else put16(v, at, value);
        return v;
    };
    const std::vector<std::vector<unsigned char>> broken = {
        with(0, 0x4142, false),        // not "BM"
        with(18, 0, true),             // width 0
        with(22, 0, true),             // height 0
        with(22, 0x80000000u, true),   // height that cannot be negated
        with(26, 2, false),            // two planes
        with(28, 12, false),           // 12 bits a pixel
        with(30, 1, true),             // run-length compressed
        with(10, 0xFFFFFFF0u, true),   // pixels beyond the end
        with(10, 56, true),            // pixels start 2 bytes late: last row incomplete
        with(18, 0x7FFFFFFF, true),    // rows far longer than the file
        with(14, 20, true),            // unknown header size
        with(14, 0xFFFFFFFFu, true),   // header size beyond the file
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        EXPECT_FALSE(decodeBmp(broken[i].data(), broken[i].size(), image)) << i;
        BmpInfo info;
        EXPECT_FALSE(readBmpInfo(broken[i].data(), broken[i].size(), info)) << i;
    }

    // Huge width and height whose product overflows 32 bits.
    auto huge = bmpHeaders(0x10000, 0x10000, 24, 0, 54);
    huge.resize(200, 0);
    EXPECT_FALSE(decodeBmp(huge.data(), huge.size(), image));
    // A colour table claimed larger than the file.
    auto table = bmpHeaders(2, 2, 8, 0, 54 + 1024, 256);
    table.resize(54 + 100, 0);
    EXPECT_FALSE(decodeBmp(table.data(), table.size(), image));
    EXPECT_FALSE(decodeBmp(nullptr, 0, image));
}

// The bytes of a run-length coded picture after its headers and a colour
// table of three entries: (10,20,30), (40,50,60), (70,80,90) as blue, green, red.
std::vector<unsigned char> runLengthBmp(std::int32_t w, std::int32_t h, int bits,
                                        const std::vector<unsigned char>& runs) {
    auto v = bmpHeaders(w, h, bits, bits == 8 ? 1 : 2, 54 + 12, 3);
    for (unsigned char b : {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}) v.push_back(b);
    v.insert(v.end(), runs.begin(), runs.end());
    return v;
}

// Palette indexes of each row from the top, for a picture of that table.
std::vector<std::vector<int>> indexRows(const Image& image) {
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < image.height; ++y) {
        rows.emplace_back();
        for (int x = 0; x < image.width; ++x) rows.back().push_back((pixel(image, x, y)[0] - 10) / 30);
    }
    return rows;
}

TEST(BmpFile, SixteenBitPicturesWithAndWithoutBitFields) {
    // 5-5-5 without bit fields, 2 x 2 bottom-up, rows of 4 bytes: bottom row
    // white and pure red, top row 0x0210 (green 16, blue 16) and 0x0001
    // (blue 1). Five bits widen by repeating their top bits: 31 -> 255,
    // 16 -> 128 + 4 = 132, 1 -> 8.
    auto v555 = bmpHeaders(2, 2, 16, 0, 54);
    for (unsigned char b : {0xFF, 0x7F, 0x00, 0x7C, 0x10, 0x02, 0x01, 0x00}) v555.push_back(b);
    Image image;
    ASSERT_TRUE(decodeBmp(v555.data(), v555.size(), image));
    EXPECT_EQ(pixel(image, 0, 1), (std::array<unsigned char, 3>{255, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 1), (std::array<unsigned char, 3>{0, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 0), (std::array<unsigned char, 3>{132, 132, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (std::array<unsigned char, 3>{8, 0, 0}));

    // 5-6-5 bit fields, 3 x 1 stored from the top (the rows Wine's loader
    // turns black), a row of 6 bytes padded to 8: 0xF800 red, 0x07E0 green
    // 63, 0x0020 green 1 (six bits: 1 -> 4).
    auto v565 = bmpHeaders(3, -1, 16, 3, 66);
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        for (int i = 0; i < 4; ++i) v565.push_back(static_cast<unsigned char>(mask >> (8 * i)));
    for (unsigned char b : {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0xEE, 0xEE}) v565.push_back(b);
    ASSERT_TRUE(decodeBmp(v565.data(), v565.size(), image));
    ASSERT_EQ(image.width, 3);
    EXPECT_EQ(image.bgr, (std::vector<unsigned char>{0, 0, 255, 0, 255, 0, 0, 4, 0}));
    BmpInfo info;
    ASSERT_TRUE(readBmpInfo(v565.data(), v565.size(), info));
    EXPECT_TRUE(info.topDown);
    EXPECT_EQ(info.bitsPerPixel, 16);

    // Masks that cannot be channels: overlapping, broken into two runs, past
    // 16 bits, or missing.
    for (std::uint32_t red : {0x07E0u, 0xF0F0u, 0x1F0000u, 0u}) {
        auto bad = v565;
        put32(bad, 54, red);
        EXPECT_FALSE(decodeBmp(bad.data(), bad.size(), image)) << red;
    }
    // The last row cut short.
    v565.pop_back();
    v565.pop_back();
    v565.pop_back();
    EXPECT_FALSE(decodeBmp(v565.data(), v565.size(), image));
}

TEST(BmpFile, RunLengthPicturesFollowTheirRunsBothWaysUp) {
    // RLE8, 4 x 3. Bottom row: three of index 2, end of row (the fourth
    // pixel keeps index 0). Middle row: 1, 2, 1 given one by one (an odd
    // count, so a pad byte), then a move 0 right and 1 on to the top row's
    // fourth pixel: one of index 1, end of picture.
    const std::vector<unsigned char> runs8 = {3, 2, 0, 0, 0, 3, 1, 2, 1, 0, 0, 2, 0, 1, 1, 1, 0, 1};
    Image image;
    auto up = runLengthBmp(4, 3, 8, runs8);
    ASSERT_TRUE(decodeBmp(up.data(), up.size(), image));
    EXPECT_EQ(indexRows(image), (std::vector<std::vector<int>>{{0, 0, 0, 1}, {1, 2, 1, 0}, {2, 2, 2, 0}}));
    // The same runs stored from the top fill the rows from the top.
    auto down = runLengthBmp(4, -3, 8, runs8);
    ASSERT_TRUE(decodeBmp(down.data(), down.size(), image));
    EXPECT_EQ(indexRows(image), (std::vector<std::vector<int>>{{2, 2, 2, 0}, {1, 2, 1, 0}, {0, 0, 0, 1}}));

    // RLE4, 4 x 2: four pixels alternating 1 and 2; end of row; three given
    // one by one (two bytes, no pad); one of index 2; end of picture.
    auto four = runLengthBmp(4, 2, 4, {4, 0x12, 0, 0, 0, 3, 0x21, 0x00, 1, 0x20, 0, 1});
    ASSERT_TRUE(decodeBmp(four.data(), four.size(), image));
    EXPECT_EQ(indexRows(image), (std::vector<std::vector<int>>{{2, 1, 0, 2}, {1, 2, 1, 2}}));
    BmpInfo info;
    EXPECT_TRUE(readBmpInfo(four.data(), four.size(), info));

    // Data that stops after a whole run keeps what it set.
    auto unended = runLengthBmp(4, 1, 8, {2, 1});
    ASSERT_TRUE(decodeBmp(unended.data(), unended.size(), image));
    EXPECT_EQ(indexRows(image), (std::vector<std::vector<int>>{{1, 1, 0, 0}}));
}

TEST(BmpFile, RunsThatWouldLeaveThePictureAreRefused) {
    const std::vector<std::vector<unsigned char>> refused = {
        runLengthBmp(4, 2, 8, {5, 1, 0, 1}),                       // 5 pixels in a 4-pixel row
        runLengthBmp(4, 2, 8, {2, 1, 3, 1, 0, 1}),                 // 2 + 3 in one row
        runLengthBmp(4, 2, 8, {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}),     // 5 one by one
        runLengthBmp(4, 2, 8, {0, 0, 0, 0, 1, 1, 0, 1}),           // a run below the last row
        runLengthBmp(4, 2, 8, {0, 2, 5, 0, 0, 1}),                 // a move past the row's end
        runLengthBmp(4, 2, 8, {0, 2, 0, 3, 0, 1}),                 // a move below the picture
        runLengthBmp(4, 2, 8, {0, 4, 1, 2}),                       // pixels cut off by the end
        runLengthBmp(4, 2, 8, {0, 2, 1}),                          // a move without its second byte
        runLengthBmp(4, 2, 4, {0, 5, 0x11, 0x11, 0x10, 0, 0, 1}),  // RLE4: 5 in a 4-pixel row
    };
    Image image;
    BmpInfo info;
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_FALSE(decodeBmp(refused[i].data(), refused[i].size(), image)) << i;
        EXPECT_TRUE(image.empty());
        EXPECT_FALSE(readBmpInfo(refused[i].data(), refused[i].size(), info)) << i;
    }
    // Run-length coding of any other depth.
    auto rle8At4 = runLengthBmp(4, 2, 8, {0, 1});
    put16(rle8At4, 28, 4);
    EXPECT_FALSE(decodeBmp(rle8At4.data(), rle8At4.size(), image));
    // A few bytes may claim any size: 20000 x 10000 is the most decoded.
    auto huge = runLengthBmp(20000, 10001, 8, {0, 1});
    EXPECT_FALSE(readBmpInfo(huge.data(), huge.size(), info));
    auto large = runLengthBmp(20000, 10000, 8, {0, 1});
    EXPECT_TRUE(readBmpInfo(large.data(), large.size(), info));
}

}  // namespace
}  // namespace qv
