// The folder mark on a folder slot's thumbnail, read back pixel by pixel.
// On the 76 x 57 thumbnail the mark is 22 x 17 (three tenths of 57, four
// wide for three high) with its top left at (2, 38); its tab is the first 3
// rows over the first 8 columns.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "PhotoTestSupport.h"
#include "settings/FolderMark.h"

namespace qv {
namespace {

using Colour = std::array<unsigned char, 3>;
const Colour kGrey{128, 128, 128};
const Colour kOutline{0x20, 0x48, 0x70};
const Colour kFill{0x40, 0xC8, 0xF0};

TEST(FolderMark, ATabOverABodyInTheLowerLeftCorner) {
    struct Case {
        int width, height, x, y;
        Colour expected;
        const char* what;
    };
    const Case cases[] = {
        {76, 57, 2, 38, kOutline, "the tab's top left corner"},
        {76, 57, 9, 38, kOutline, "the tab's top right corner"},
        {76, 57, 10, 38, kGrey, "beside the tab"},
        {76, 57, 5, 39, kFill, "inside the tab"},
        {76, 57, 12, 41, kOutline, "the body's top edge beside the tab"},
        {76, 57, 12, 42, kFill, "inside the body"},
        {76, 57, 23, 54, kOutline, "the body's bottom right corner"},
        {76, 57, 24, 54, kGrey, "right of the mark"},
        {76, 57, 23, 55, kGrey, "below the mark"},
        {76, 57, 1, 45, kGrey, "left of the mark"},
        {76, 57, 38, 20, kGrey, "the picture's middle"},
        // At 192 dots an inch: 45 x 34 from (2, 78), a tab 6 rows high.
        {152, 114, 2, 78, kOutline, "a larger thumbnail's corner"},
        {152, 114, 10, 90, kFill, "a larger thumbnail's body"},
        {152, 114, 30, 80, kGrey, "beside a larger tab"},
        // Too small to hold a mark with its margins: left as it is.
        {10, 8, 3, 4, kGrey, "a tiny thumbnail"},
    };
    for (const Case& c : cases) {
        Image thumbnail = testing::makeImage(c.width, c.height, [](int, int) { return kGrey; });
        drawFolderMark(thumbnail);
        EXPECT_EQ(testing::pixel(thumbnail, c.x, c.y), c.expected)
            << c.what << " at " << c.x << "," << c.y << " of " << c.width << "x" << c.height;
    }
    // A picture whose pixels do not fit its size is not touched.
    Image broken;
    broken.width = 76;
    broken.height = 57;
    broken.bgr.assign(10, 0);
    drawFolderMark(broken);
    EXPECT_EQ(broken.bgr, std::vector<unsigned char>(10, 0));
}

}  // namespace
}  // namespace qv
