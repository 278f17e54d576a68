#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PhotoTestSupport.h"
#include "ports/DecoderPort.h"
#include "image/JpegHeader.h"
#include "image/Orientation.h"

namespace qv {
namespace {

using testing::jpegBytes;
using testing::makeImage;
using testing::pixel;

TEST(JpegHeader, SizeAndOrientationFromTheHeaders) {
    JpegHeader header;
    auto plain = jpegBytes(3000, 2000);
    ASSERT_TRUE(readJpegHeader(plain.data(), plain.size(), header));
    EXPECT_EQ(header.width, 3000);
    EXPECT_EQ(header.height, 2000);
    EXPECT_EQ(header.orientation, 1);

    // Both byte orders of the EXIF block.
    for (bool little : {true, false}) {
        auto turned = jpegBytes(4000, 3000, 6, little);
        ASSERT_TRUE(readJpegHeader(turned.data(), turned.size(), header)) << little;
        EXPECT_EQ(header.width, 4000);
        EXPECT_EQ(header.height, 3000);
        EXPECT_EQ(header.orientation, 6);
        EXPECT_TRUE(orientationSwapsSides(header.orientation));
    }
    // An orientation outside 1..8 counts as upright.
    auto odd = jpegBytes(10, 20, 9);
    ASSERT_TRUE(readJpegHeader(odd.data(), odd.size(), header));
    EXPECT_EQ(header.orientation, 1);

    // The header can claim any size up to 65535 a side; it is read, not trusted.
    auto huge = jpegBytes(60000, 60000);
    ASSERT_TRUE(readJpegHeader(huge.data(), huge.size(), header));
    EXPECT_EQ(header.width, 60000);
    EXPECT_EQ(header.height, 60000);

    // A progressive frame (SOF2) works like a baseline one.
    auto progressive = jpegBytes(640, 480);
    for (std::size_t i = 0; i + 1 < progressive.size(); ++i)
        if (progressive[i] == 0xFF && progressive[i + 1] == 0xC0) progressive[i + 1] = 0xC2;
    ASSERT_TRUE(readJpegHeader(progressive.data(), progressive.size(), header));
    EXPECT_EQ(header.width, 640);
}

TEST(JpegHeader, BadBytesAreRefusedWithoutReadingPastTheEnd) {
    JpegHeader header;
    const auto good = jpegBytes(800, 600, 3);
    // Cut anywhere before the frame header ends: refused.
    std::size_t frameEnd = 0;
    for (std::size_t i = 0; i + 1 < good.size(); ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xC0) frameEnd = i + 2 + 17;
    for (std::size_t n = 0; n < frameEnd; ++n) {
        std::vector<unsigned char> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(readJpegHeader(cut.data(), cut.size(), header)) << n;
    }
    // A text file named .jpg.
    const std::string text = "hello, this is not a picture\r\n";
    EXPECT_FALSE(readJpegHeader(reinterpret_cast<const unsigned char*>(text.data()), text.size(), header));
    EXPECT_FALSE(readJpegHeader(nullptr, 0, header));
    // A zero height (to be given by a later DNL segment) and a zero width.
    auto zero = jpegBytes(0, 100);
    EXPECT_FALSE(readJpegHeader(zero.data(), zero.size(), header));
    zero = jpegBytes(100, 0);
    EXPECT_FALSE(readJpegHeader(zero.data(), zero.size(), header));
    // A scan before any frame header.
    const std::vector<unsigned char> scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xC0};
    EXPECT_FALSE(readJpegHeader(scanFirst.data(), scanFirst.size(), header));
    // A segment length running past the end.
    const std::vector<unsigned char> longSeg = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xF0, 0, 0};
    EXPECT_FALSE(readJpegHeader(longSeg.data(), longSeg.size(), header));

    // An EXIF block whose directory points far outside it: the size is still
    // read, the orientation ignored.
    auto wild = jpegBytes(50, 40, 8);
    for (std::size_t i = 0; i + 4 < wild.size(); ++i)
        if (wild[i] == 'I' && wild[i + 1] == 'I') { wild[i + 4] = 0xF0; wild[i + 7] = 0x7F; break; }
    ASSERT_TRUE(readJpegHeader(wild.data(), wild.size(), header));
    EXPECT_EQ(header.width, 50);
    EXPECT_EQ(header.orientation, 1);

    // Random bytes behind a JPEG start and inside a good file never crash.
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        auto bytes = good;
        for (int k = 0; k < 4; ++k) bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        JpegHeader any;
        if (readJpegHeader(bytes.data(), bytes.size(), any)) {
            EXPECT_GT(any.width, 0);
            EXPECT_GT(any.height, 0);
            EXPECT_GE(any.orientation, 1);
            EXPECT_LE(any.orientation, 8);
        }
    }
}

TEST(Orientation, EachTagStandsThePictureUpright) {
    // Stored 3 x 2:   a b c
    //                 d e f
    // (colour = position: blue x, green y)
    auto stored = [] { return makeImage(3, 2, testing::positionColour); };
    auto at = [](int x, int y) { return testing::positionColour(x, y); };  // stored pixel (x, y)

    Image image = stored();
    applyOrientation(image, 1);
    EXPECT_EQ(image.bgr, stored().bgr);

    image = stored();
    applyOrientation(image, 2);  // mirrored: c b a / f e d
    ASSERT_EQ(image.width, 3);
    EXPECT_EQ(pixel(image, 0, 0), at(2, 0));
    EXPECT_EQ(pixel(image, 2, 1), at(0, 1));

    image = stored();
    applyOrientation(image, 3);  // upside down: f e d / c b a
    EXPECT_EQ(pixel(image, 0, 0), at(2, 1));
    EXPECT_EQ(pixel(image, 2, 1), at(0, 0));

    image = stored();
    applyOrientation(image, 4);  // d e f / a b c
    EXPECT_EQ(pixel(image, 0, 0), at(0, 1));
    EXPECT_EQ(pixel(image, 1, 1), at(1, 0));

    // The rest turn 3 x 2 into 2 x 3.
    image = stored();
    applyOrientation(image, 6);  // a quarter turn clockwise: d a / e b / f c
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(pixel(image, 0, 0), at(0, 1));
    EXPECT_EQ(pixel(image, 1, 0), at(0, 0));
    EXPECT_EQ(pixel(image, 0, 2), at(2, 1));
    EXPECT_EQ(pixel(image, 1, 2), at(2, 0));

    image = stored();
    applyOrientation(image, 8);  // a quarter turn anticlockwise: c f / b e / a d
    EXPECT_EQ(pixel(image, 0, 0), at(2, 0));
    EXPECT_EQ(pixel(image, 1, 0), at(2, 1));
    EXPECT_EQ(pixel(image, 0, 2), at(0, 0));

    image = stored();
    applyOrientation(image, 5);  // transposed: a d / b e / c f
    EXPECT_EQ(pixel(image, 1, 0), at(0, 1));
    EXPECT_EQ(pixel(image, 0, 2), at(2, 0));

    image = stored();
    applyOrientation(image, 7);  // transverse: f c / e b / d a
    EXPECT_EQ(pixel(image, 0, 0), at(2, 1));
    EXPECT_EQ(pixel(image, 1, 0), at(2, 0));
    EXPECT_EQ(pixel(image, 1, 2), at(0, 0));

    image = stored();
    applyOrientation(image, 0);  // unknown tags leave it alone
    EXPECT_EQ(image.bgr, stored().bgr);
}

}  // namespace
}  // namespace qv
