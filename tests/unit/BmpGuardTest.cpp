// The look at a BMP's headers before the platform's loader may read the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/BmpGuard.h"

namespace {

void put16(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// File header and a 40-byte info header.
std::vector<unsigned char> header(std::int32_t width, std::int32_t height, int bits,
                                  std::uint32_t offset = 54, std::uint32_t compression = 0) {
    std::vector<unsigned char> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, bits);
    put32(b, 30, compression);
    return b;
}

bool whole(const std::vector<unsigned char>& h, std::uint64_t fileSize) {
    return qv::bmpFileIsWhole(h.data(), h.size(), fileSize);
}

}  // namespace

TEST(BmpGuard, UncompressedRowsMustAllBeInTheFile) {
    // 640 x 480 at 24 bits: rows of 1920 bytes, 921600 pixel bytes after 54.
    const auto h = header(640, 480, 24);
    EXPECT_TRUE(whole(h, 921654));
    EXPECT_TRUE(whole(h, 921700));  // trailing bytes do no harm
    EXPECT_FALSE(whole(h, 921653));
    EXPECT_FALSE(whole(h, 30));
    // Top-down rows need the same bytes.
    EXPECT_TRUE(whole(header(640, -480, 24), 921654));
    EXPECT_FALSE(whole(header(640, -480, 24), 921653));

    // 3 x 2 at 24 bits: 9 bytes a row padded to 12, so 24 pixel bytes.
    EXPECT_TRUE(whole(header(3, 2, 24), 78));
    EXPECT_FALSE(whole(header(3, 2, 24), 77));

    // 33 x 2 at 1 bit with a two-colour table (offset 62): 33 bits padded to
    // 8 bytes a row.
    EXPECT_TRUE(whole(header(33, 2, 1, 62), 78));
    EXPECT_FALSE(whole(header(33, 2, 1, 62), 77));

    // 32 bits with bit fields (masks after the header, offset 66).
    EXPECT_TRUE(whole(header(2, 2, 32, 66, 3), 66 + 16));
    EXPECT_FALSE(whole(header(2, 2, 32, 66, 3), 66 + 15));
}

TEST(BmpGuard, HugeClaimsInSmallFilesAreRefusedWithoutOverflow) {
    // A 64 x 48 file whose header says 60000 x 60000.
    EXPECT_FALSE(whole(header(60000, 60000, 24), 9270));
    // The largest sides: 2^31 - 1 squared at 3 bytes is far beyond 2^40, and
    // the product must not wrap around into something small.
    EXPECT_FALSE(whole(header(0x7FFFFFFF, 0x7FFFFFFF, 32), 0xFFFFFFFFull));
    EXPECT_FALSE(whole(header(0x7FFFFFFF, -0x7FFFFFFF, 24), 1ull << 40));
    // INT_MIN as a height is 2^31 top-down rows; 10 pixels at 24 bits are 32
    // bytes a row, so exactly 54 + 2^36 bytes hold them.
    EXPECT_TRUE(whole(header(10, INT32_MIN, 24), 54 + (1ull << 36)));
    EXPECT_FALSE(whole(header(10, INT32_MIN, 24), 53 + (1ull << 36)));
}

TEST(BmpGuard, BrokenHeadersAreRefused) {
    EXPECT_FALSE(whole(header(640, 480, 7), 921654));   // no such depth
    EXPECT_FALSE(whole(header(0, 480, 24), 921654));    // no width
    EXPECT_FALSE(whole(header(640, 0, 24), 921654));    // no height
    EXPECT_FALSE(whole(header(-640, 480, 24), 921654)); // negative width
    auto planes = header(4, 4, 24);
    put16(planes, 26, 2);
    EXPECT_FALSE(whole(planes, 1000));
    auto magic = header(4, 4, 24);
    magic[1] = 'N';
    EXPECT_FALSE(whole(magic, 1000));
    auto info = header(4, 4, 24);
    put32(info, 14, 20);  // no info header has 20 bytes
    EXPECT_FALSE(whole(info, 1000));
    // Pixels said to start inside the headers, or at or past the end.
    EXPECT_FALSE(whole(header(4, 4, 24, 10), 1000));
    EXPECT_FALSE(whole(header(4, 4, 24, 1000), 1000));
    // JPEG inside a BMP and unknown compressions.
    EXPECT_FALSE(whole(header(4, 4, 24, 54, 4), 1000));
    EXPECT_FALSE(whole(header(4, 4, 24, 54, 9), 1000));
    // Too few bytes to hold the headers at all.
    const auto h = header(4, 4, 24);
    EXPECT_FALSE(qv::bmpFileIsWhole(h.data(), 25, 1000));
    EXPECT_FALSE(qv::bmpFileIsWhole(h.data(), 40, 1000));
    EXPECT_FALSE(qv::bmpFileIsWhole(nullptr, 0, 1000));
}

TEST(BmpGuard, RunLengthCodedAndOldHeaders) {
    // RLE rows have no fixed size: the depth must match the coding.
    EXPECT_TRUE(whole(header(640, 480, 8, 1078, 1), 1100));
    EXPECT_TRUE(whole(header(640, 480, 4, 118, 2), 200));
    EXPECT_FALSE(whole(header(640, 480, 24, 54, 1), 2000));
    EXPECT_FALSE(whole(header(640, 480, 8, 54, 2), 2000));

    // The 12-byte OS/2 header: 4 x 4 at 24 bits, rows of 12 bytes after 26.
    std::vector<unsigned char> os2(26, 0);
    os2[0] = 'B';
    os2[1] = 'M';
    put32(os2, 10, 26);
    put32(os2, 14, 12);
    put16(os2, 18, 4);
    put16(os2, 20, 4);
    put16(os2, 22, 1);
    put16(os2, 24, 24);
    EXPECT_TRUE(whole(os2, 74));
    EXPECT_FALSE(whole(os2, 73));
}
