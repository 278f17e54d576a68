#include <gtest/gtest.h>

#include <vector>

#include "image/RowShrinker.h"

namespace qv {
namespace {

TEST(RowShrinker, EachPixelIsTheRoundedMeanOfItsBlockEdgesIncluded) {
    // A 3 x 3 picture: blue 10..90 by rows, green one more, red small
    // numbers for the rounding; a fourth byte (when there is one) of 7
    // that must not count.
    const int blue[9] = {10, 20, 30, 40, 50, 60, 70, 80, 90};
    const int red[9] = {1, 0, 3, 0, 0, 4, 1, 2, 5};
    struct Row {
        const char* what;
        int factor;
        int pixelBytes;
        int width, height;               // of the result
        std::vector<unsigned char> bgr;  // the result
    };
    const Row rows[] = {
        // Blocks of 2 x 2 cut at the right and the bottom: blue 120 / 4,
        // 90 / 2, 150 / 2, 90; red 1 / 4 = 0.25, 7 / 2 = 3.5, 3 / 2 = 1.5, 5.
        {"factor 2", 2, 3, 2, 2, {30, 31, 0, 45, 46, 4, 75, 76, 2, 90, 91, 5}},
        {"factor 2, four bytes a pixel", 2, 4, 2, 2, {30, 31, 0, 45, 46, 4, 75, 76, 2, 90, 91, 5}},
        // One block: blue 450 / 9, red 16 / 9 = 1.8.
        {"factor 3", 3, 3, 1, 1, {50, 51, 2}},
        {"factor 1: copied", 1, 4, 3, 3, {10, 11, 1, 20, 21, 0, 30, 31, 3, 40, 41, 0, 50, 51, 0,
                                          60, 61, 4, 70, 71, 1, 80, 81, 2, 90, 91, 5}},
    };
    for (const Row& row : rows) {
        RowShrinker shrinker;
        Image out;
        ASSERT_TRUE(shrinker.start(3, 3, row.factor, out)) << row.what;
        std::vector<unsigned char> line(3 * static_cast<std::size_t>(row.pixelBytes));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 3; ++x) {
                unsigned char* p = &line[static_cast<std::size_t>(x) * static_cast<std::size_t>(row.pixelBytes)];
                p[0] = static_cast<unsigned char>(blue[y * 3 + x]);
                p[1] = static_cast<unsigned char>(blue[y * 3 + x] + 1);
                p[2] = static_cast<unsigned char>(red[y * 3 + x]);
                if (row.pixelBytes == 4) p[3] = 7;
            }
            shrinker.addRow(line.data(), row.pixelBytes);
        }
        // A row past the picture's height changes nothing.
        std::fill(line.begin(), line.end(), 255);
        shrinker.addRow(line.data(), row.pixelBytes);
        EXPECT_EQ(out.width, row.width) << row.what;
        EXPECT_EQ(out.height, row.height) << row.what;
        EXPECT_EQ(out.bgr, row.bgr) << row.what;
    }

    Image refused;
    EXPECT_FALSE(RowShrinker().start(3, 3, 0, refused));
    EXPECT_TRUE(refused.empty());
}

}  // namespace
}  // namespace qv
