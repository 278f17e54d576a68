#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/DecodeScale.h"
#include "image/PictureFileHeader.h"
#include "image/PictureHeader.h"
#include "image/PictureLimits.h"
#include "PhotoTestSupport.h"
#include "platform/fake/MemoryFiles.h"

namespace qv {
namespace {

using Bytes = std::vector<unsigned char>;

// 6000 x 4000, little-endian: the width a SHORT, the length a LONG, and a
// compression entry between them that is not read.
Bytes tiffLittle() {
    return {
        'I', 'I', 0x2A, 0x00, 0x08, 0x00, 0x00, 0x00,                    // directory at 8
        0x03, 0x00,                                                      // three entries
        0x00, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x70, 0x17, 0x00, 0x00,  // 256 SHORT 6000
        0x03, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // 259 SHORT 1
        0x01, 0x01, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0xA0, 0x0F, 0x00, 0x00,  // 257 LONG 4000
        0x00, 0x00, 0x00, 0x00,                                          // no next directory
    };
}

// 3000 x 2000, big-endian, the directory after a gap: a SHORT sits in the
// first two bytes of its field.
Bytes tiffBig() {
    return {
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x0A, 0xEE, 0xEE,        // directory at 10
        0x00, 0x02,
        0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x0B, 0xB8, 0xFF, 0xFF,  // 256 SHORT 3000
        0x01, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x07, 0xD0,  // 257 LONG 2000
    };
}

TEST(PictureHeader, ATiffIsSizedFromItsFirstDirectoryInEitherByteOrder) {
    const Bytes little = tiffLittle(), big = tiffBig();
    PictureHeader header;
    ASSERT_TRUE(readAnyPictureHeader(little.data(), little.size(), header));
    EXPECT_EQ(header.kind, PictureKind::Tiff);
    EXPECT_EQ(header.width, 6000);
    EXPECT_EQ(header.height, 4000);
    EXPECT_EQ(header.orientation, 1);
    ASSERT_TRUE(readAnyPictureHeader(big.data(), big.size(), header));
    EXPECT_EQ(header.width, 3000);
    EXPECT_EQ(header.height, 2000);

    // The header reader of a .jpg file (the OLE decoder's) still takes no TIFF.
    EXPECT_FALSE(readPictureHeader(little.data(), little.size(), header));
    EXPECT_EQ(header.width, 0);

    // Cut anywhere before the directory's last entry ends: refused.
    for (std::size_t n = 0; n < little.size() - 4; ++n)
        EXPECT_FALSE(readAnyPictureHeader(little.data(), n, header)) << n;

    struct Case {
        const char* what;
        std::size_t at;
        unsigned char value;
    };
    const Case refused[] = {
        {"directory beyond the end", 4, 0x40},
        {"directory inside the header", 4, 0x04},
        {"more entries than bytes", 8, 0x04},
        {"no width entry", 10, 0x05},
        {"a width of two values", 14, 0x02},
        {"a width of type RATIONAL", 12, 0x05},
        {"a zero width", 19, 0x00},
        {"BigTIFF", 2, 0x2B},
    };
    for (const auto& c : refused) {
        Bytes bad = little;
        bad[c.at] = c.value;
        if (c.at == 19) bad[18] = 0x00;
        EXPECT_FALSE(readAnyPictureHeader(bad.data(), bad.size(), header)) << c.what;
    }
}

TEST(PictureLimits, SixteenThousandPixelsASideAndAHundredMegapixels) {
    struct Case {
        std::int64_t width, height;
        PictureSizeCheck check;
    };
    const Case cases[] = {
        {6000, 4000, PictureSizeCheck::Accepted},    // 24 MP
        {8064, 6048, PictureSizeCheck::Accepted},    // 48 MP
        {10000, 10000, PictureSizeCheck::Accepted},  // exactly 100,000,000
        {10000, 10001, PictureSizeCheck::TooLarge},
        {16384, 6103, PictureSizeCheck::Accepted},   // 99,991,552
        {16384, 6104, PictureSizeCheck::TooLarge},   // 100,007,936
        {16385, 2, PictureSizeCheck::TooLarge},
        {2, 16385, PictureSizeCheck::TooLarge},
        {20000, 1, PictureSizeCheck::TooLarge},      // too large wins
        {2, 2, PictureSizeCheck::Accepted},
        {1, 100, PictureSizeCheck::TooSmall},
        {100, 1, PictureSizeCheck::TooSmall},
        {0, 0, PictureSizeCheck::TooSmall},
        {-5, 10, PictureSizeCheck::TooSmall},
        {2147483647, 2147483647, PictureSizeCheck::TooLarge},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkPictureSize(c.width, c.height), c.check) << c.width << " x " << c.height;
}

TEST(DecodeScale, AWholeFactorThatNeverGoesBelowTheWantedSize) {
    struct Case {
        int width, height, wantedWidth, wantedHeight;
        int factor, shrunkWidth, shrunkHeight;
    };
    const Case cases[] = {
        {6000, 4000, 818, 545, 7, 858, 572},  // 7.33 and 7.34: 857.1 x 571.4 rounded up
        {1600, 1200, 654, 491, 2, 800, 600},
        {1000, 800, 654, 491, 1, 1000, 800},  // less than twice: its own size
        {8064, 6048, 368, 491, 12, 672, 504}, // the tighter side decides: 21 and 12
        {2000, 1000, 16, 16, 62, 33, 17},
        {2000, 1000, 0, 16, 1, 2000, 1000},   // no wanted size
        {0, 1000, 16, 16, 1, 0, 1000},
    };
    for (const auto& c : cases) {
        const int factor = shrinkFactor(c.width, c.height, c.wantedWidth, c.wantedHeight);
        EXPECT_EQ(factor, c.factor) << c.width << " x " << c.height;
        EXPECT_EQ(shrunkSide(c.width, factor), c.shrunkWidth) << c.width;
        EXPECT_EQ(shrunkSide(c.height, factor), c.shrunkHeight) << c.height;
    }
}

TEST(PictureFileHeader, SizedFromTheFirstBytesReadInChunks) {
    // A JPEG whose frame header follows 128 kB of colour profile (two APP2
    // segments of 65535 bytes): past the first read, inside the second.
    const auto plain = testing::jpegBytes(6000, 4000);
    Bytes profiled = {0xFF, 0xD8};
    for (int i = 0; i < 2; ++i) {
        profiled.insert(profiled.end(), {0xFF, 0xE2, 0xFF, 0xFF});
        profiled.insert(profiled.end(), 65533, 0x20);
    }
    profiled.insert(profiled.end(), plain.begin() + 2, plain.end());
    // A TIFF whose directory lies 2 MB in, after its pixels, as some
    // writers put it: the decoder has to tell its size.
    Bytes late = tiffLittle();
    late[4] = 0x00;
    late[5] = 0x00;
    late[6] = 0x20;  // 0x200000
    late.resize(0x200000, 0);
    const Bytes directory = tiffLittle();
    late.insert(late.end(), directory.begin() + 8, directory.end());

    MemoryFiles files;
    files.setReadChunk(1000);
    files.addFile("C:\\P\\plain.jpg", plain);
    files.addFile("C:\\P\\profiled.jpg", profiled);
    files.addFile("C:\\P\\late.tif", late);
    files.addFile("C:\\P\\later.jpg", testing::jpegWithLaterHeight(800, 600));
    files.addFile("C:\\P\\empty.png", std::string());
    files.addFile("C:\\P\\text.jpg", "not a picture");
    struct Case {
        const char* path;
        HeaderRead read;
        int width, height;
    };
    const Case cases[] = {
        {"C:\\P\\plain.jpg", HeaderRead::Sized, 6000, 4000},
        {"C:\\P\\profiled.jpg", HeaderRead::Sized, 6000, 4000},
        {"C:\\P\\late.tif", HeaderRead::NotSized, 0, 0},
        {"C:\\P\\later.jpg", HeaderRead::NotSized, 0, 0},
        {"C:\\P\\empty.png", HeaderRead::NotSized, 0, 0},
        {"C:\\P\\text.jpg", HeaderRead::NotSized, 0, 0},
        {"C:\\P\\gone.jpg", HeaderRead::Unreadable, 0, 0},
    };
    for (const auto& c : cases) {
        PictureHeader header;
        EXPECT_EQ(readPictureFileHeader(files, c.path, header), c.read) << c.path;
        EXPECT_EQ(header.width, c.width) << c.path;
        EXPECT_EQ(header.height, c.height) << c.path;
    }
}

}  // namespace
}  // namespace qv
