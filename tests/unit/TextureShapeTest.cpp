#include "image/TextureShape.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(TextureShape, PowersOfTwoRoundUp) {
    EXPECT_EQ(roundUpToPowerOfTwo(0), 1u);
    EXPECT_EQ(roundUpToPowerOfTwo(1), 1u);
    EXPECT_EQ(roundUpToPowerOfTwo(2), 2u);
    EXPECT_EQ(roundUpToPowerOfTwo(3), 4u);
    EXPECT_EQ(roundUpToPowerOfTwo(655), 1024u);
    EXPECT_EQ(roundUpToPowerOfTwo(1024), 1024u);
    EXPECT_EQ(roundUpToPowerOfTwo(1025), 2048u);
    EXPECT_EQ(roundUpToPowerOfTwo(0xFFFFFFFFu), 1u << 31);
}

TEST(TextureShape, PictureKeepsItsSizeWhereTheDeviceAllowsIt) {
    // A 655 x 491 canvas (variant B on 1024 x 768) on a device like Wine's.
    const TextureLimits free{false, false, 16384, 16384};
    TextureSize s = textureSizeFor(655, 491, free);
    EXPECT_EQ(s.width, 655u);
    EXPECT_EQ(s.height, 491u);
    s = textureSizeFor(0, 0, TextureLimits{});
    EXPECT_EQ(s.width, 1u);
    EXPECT_EQ(s.height, 1u);
}

TEST(TextureShape, PowerOfTwoAndSquareDevicesRoundUp) {
    const TextureLimits pow2{true, false, 2048, 2048};
    TextureSize s = textureSizeFor(655, 491, pow2);
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 512u);
    // 1560 x 936 (the widest canvas) rounds to 2048 x 1024.
    s = textureSizeFor(1560, 936, pow2);
    EXPECT_EQ(s.width, 2048u);
    EXPECT_EQ(s.height, 1024u);
    const TextureLimits square{true, true, 2048, 2048};
    s = textureSizeFor(655, 491, square);
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 1024u);
}

TEST(TextureShape, LargestTextureOfTheDeviceHolds) {
    // An old card with 1024 x 1024 power-of-two textures: 1560 would round
    // to 2048, which it cannot hold.
    const TextureLimits old{true, false, 1024, 1024};
    TextureSize s = textureSizeFor(1560, 936, old);
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 1024u);
    // A limit that is no power of two gives the power of two below it.
    const TextureLimits odd{true, false, 1500, 1500};
    s = textureSizeFor(1560, 300, odd);
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 512u);
    // Without power-of-two rules the side is cut to the limit itself.
    const TextureLimits plain{false, false, 1500, 800};
    s = textureSizeFor(1560, 936, plain);
    EXPECT_EQ(s.width, 1500u);
    EXPECT_EQ(s.height, 800u);
    // Square devices with unequal limits keep the smaller.
    const TextureLimits squareLimited{true, true, 2048, 512};
    s = textureSizeFor(700, 300, squareLimited);
    EXPECT_EQ(s.width, 512u);
    EXPECT_EQ(s.height, 512u);
}

}  // namespace
}  // namespace qv
