#include <gtest/gtest.h>

#include "PhotoTestSupport.h"
#include "image/Resampler.h"

namespace qv {
namespace {

using testing::makeImage;
using testing::pixel;

using Colour = std::array<unsigned char, 3>;

Image greyRow(const std::vector<std::vector<int>>& rows) {
    return makeImage(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), [&](int x, int y) {
        const auto v = static_cast<unsigned char>(rows[y][x]);
        return Colour{v, v, v};
    });
}

TEST(Resampler, ShrinkingAveragesTheAreaEachPixelCovers) {
    // 4 x 2 to 2 x 1: each output pixel is the mean of a 2 x 2 block.
    Image out;
    ASSERT_TRUE(resamplePicture(greyRow({{0, 100, 200, 40}, {20, 60, 0, 0}}), out, 2, 1));
    EXPECT_EQ(pixel(out, 0, 0)[0], 45);  // (0 + 100 + 20 + 60) / 4
    EXPECT_EQ(pixel(out, 1, 0)[0], 60);  // (200 + 40 + 0 + 0) / 4

    // 3 to 2: the middle pixel is shared half and half.
    ASSERT_TRUE(resamplePicture(greyRow({{0, 90, 180}}), out, 2, 1));
    EXPECT_EQ(pixel(out, 0, 0)[0], 30);   // (0 + 0.5 x 90) / 1.5
    EXPECT_EQ(pixel(out, 1, 0)[0], 150);  // (0.5 x 90 + 180) / 1.5

    // Channels stay apart.
    const Image colours = makeImage(2, 2, [](int x, int) { return x == 0 ? Colour{255, 0, 10} : Colour{0, 255, 30}; });
    ASSERT_TRUE(resamplePicture(colours, out, 1, 1));
    EXPECT_EQ(pixel(out, 0, 0), (Colour{128, 128, 20}));
}

TEST(Resampler, FineDetailBecomesItsMeanInsteadOfAliasing) {
    // A one-pixel checkerboard halved: every output pixel covers two black and
    // two white pixels. Nearest-pixel stretching would give pure black or white.
    const Image board = makeImage(100, 100, [](int x, int y) {
        const unsigned char v = (x + y) % 2 ? 255 : 0;
        return Colour{v, v, v};
    });
    Image out;
    ASSERT_TRUE(resamplePicture(board, out, 50, 50));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
            const int v = pixel(out, x, y)[1];
            ASSERT_TRUE(v == 127 || v == 128) << x << "," << y << ": " << v;
        }
}

TEST(Resampler, EnlargingInterpolatesBetweenPixelCentres) {
    // 2 to 4: output centres fall at source positions -0.25 (held at the
    // edge), 0.25, 0.75 and 1.25 (held).
    Image out;
    ASSERT_TRUE(resamplePicture(greyRow({{0, 100}}), out, 4, 1));
    EXPECT_EQ(pixel(out, 0, 0)[0], 0);
    EXPECT_EQ(pixel(out, 1, 0)[0], 25);
    EXPECT_EQ(pixel(out, 2, 0)[0], 75);
    EXPECT_EQ(pixel(out, 3, 0)[0], 100);

    // Shrinking across while growing down: 4 x 1 to 2 x 3 repeats the averaged row.
    ASSERT_TRUE(resamplePicture(greyRow({{10, 30, 100, 200}}), out, 2, 3));
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(pixel(out, 0, y)[0], 20);
        EXPECT_EQ(pixel(out, 1, y)[0], 150);
    }
    // A single pixel grows into a flat picture.
    ASSERT_TRUE(resamplePicture(greyRow({{77}}), out, 5, 4));
    for (unsigned char v : out.bgr) EXPECT_EQ(v, 77);
}

TEST(Resampler, SameSizeCopiesAndFlatStaysFlat) {
    const Image picture = makeImage(7, 5, testing::positionColour);
    Image out;
    ASSERT_TRUE(resamplePicture(picture, out, 7, 5));
    EXPECT_EQ(out.bgr, picture.bgr);

    // Weights that do not sum to one would show on a flat picture.
    const Image flat = makeImage(613, 411, [](int, int) { return Colour{255, 1, 137}; });
    for (auto size : {std::pair<int, int>{218, 145}, {612, 410}, {1, 1}, {700, 500}, {613, 37}}) {
        ASSERT_TRUE(resamplePicture(flat, out, size.first, size.second));
        ASSERT_EQ(out.width, size.first);
        ASSERT_EQ(out.height, size.second);
        for (std::size_t i = 0; i < out.bgr.size(); i += 3)
            ASSERT_EQ((Colour{out.bgr[i], out.bgr[i + 1], out.bgr[i + 2]}), (Colour{255, 1, 137}))
                << size.first << "x" << size.second << " at " << i;
    }
}

TEST(Resampler, EmptySizesAreRefused) {
    const Image picture = makeImage(4, 4, testing::positionColour);
    Image out;
    EXPECT_FALSE(resamplePicture(picture, out, 0, 10));
    EXPECT_FALSE(resamplePicture(picture, out, 10, 0));
    EXPECT_FALSE(resamplePicture(Image(), out, 10, 10));
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace qv
