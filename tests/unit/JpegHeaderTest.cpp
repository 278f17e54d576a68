#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "PhotoTestSupport.h"
#include "ports/DecoderPort.h"
#include "image/BmpFile.h"
#include "image/JpegHeader.h"
#include "image/PictureHeader.h"
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
    // A zero width.
    auto zero = jpegBytes(0, 100);
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
            EXPECT_GE(any.height, 0);
            EXPECT_GE(any.orientation, 1);
            EXPECT_LE(any.orientation, 8);
        }
    }
}

TEST(JpegHeader, StrayAndFillBytesBetweenSegmentsAndAHeightGivenLater) {
    // Three stray bytes (an escaped 0xFF among them) and three fill bytes
    // after the JFIF segment, as decoders pass them over.
    auto bytes = jpegBytes(800, 600, 6);
    const std::size_t afterApp0 = 2 + 18;
    bytes.insert(bytes.begin() + afterApp0, {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xFF, 0xFF});
    JpegHeader header;
    ASSERT_TRUE(readJpegHeader(bytes.data(), bytes.size(), header));
    EXPECT_EQ(header.width, 800);
    EXPECT_EQ(header.height, 600);
    EXPECT_EQ(header.orientation, 6);

    // Height 0 in the frame header: the DNL segment after the scan gives it;
    // the width alone is read here.
    const auto later = testing::jpegWithLaterHeight(3000, 2000);
    ASSERT_TRUE(readJpegHeader(later.data(), later.size(), header));
    EXPECT_EQ(header.width, 3000);
    EXPECT_EQ(header.height, 0);
}

TEST(PictureHeader, EachKindIsSizedFromItsOwnHeader) {
    PictureHeader header;
    const auto jpeg = jpegBytes(4000, 3000, 8);
    ASSERT_TRUE(readPictureHeader(jpeg.data(), jpeg.size(), header));
    EXPECT_EQ(header.kind, PictureKind::Jpeg);
    EXPECT_EQ(header.width, 4000);
    EXPECT_EQ(header.orientation, 8);

    // A GIF: its logical screen, widened to hold its first image (50 x 40
    // screen, a 60 x 30 image at (5, 20): 65 x 50).
    const auto gif = testing::gifBytes(50, 40, 5, 20, 60, 30);
    ASSERT_TRUE(readPictureHeader(gif.data(), gif.size(), header));
    EXPECT_EQ(header.kind, PictureKind::Gif);
    EXPECT_EQ(header.width, 65);
    EXPECT_EQ(header.height, 50);
    EXPECT_EQ(header.orientation, 1);

    const auto png = testing::pngBytes(3000, 0x80000000u);
    ASSERT_TRUE(readPictureHeader(png.data(), png.size(), header));
    EXPECT_EQ(header.kind, PictureKind::Png);
    EXPECT_EQ(header.width, 3000);
    EXPECT_EQ(header.height, 2147483647);  // beyond the int range: its largest value

    // A BMP stored from the top.
    auto bmp = encodeBmp24(makeImage(7, 5, testing::positionColour));
    bmp[22] = 0xFB; bmp[23] = 0xFF; bmp[24] = 0xFF; bmp[25] = 0xFF;  // height -5
    ASSERT_TRUE(readPictureHeader(bmp.data(), bmp.size(), header));
    EXPECT_EQ(header.kind, PictureKind::Bmp);
    EXPECT_EQ(header.width, 7);
    EXPECT_EQ(header.height, 5);

    // Not pictures: another GIF version, a PNG without IHDR, empty sides,
    // and each kind cut short of the header that sizes it.
    auto gif88 = gif;
    gif88[4] = '8';
    auto noIhdr = png;
    noIhdr[12] = 'X';
    const std::vector<std::vector<unsigned char>> refused = {gif88, noIhdr, testing::gifBytes(0, 0),
                                                             testing::pngBytes(0, 10)};
    for (const auto& bytes : refused) EXPECT_FALSE(readPictureHeader(bytes.data(), bytes.size(), header));
    const std::pair<std::vector<unsigned char>, std::size_t> needs[] = {{gif, 13}, {png, 24}, {bmp, 54}};
    for (const auto& [whole, headerEnd] : needs)
        for (std::size_t n = 0; n < headerEnd; ++n) EXPECT_FALSE(readPictureHeader(whole.data(), n, header)) << n;
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
