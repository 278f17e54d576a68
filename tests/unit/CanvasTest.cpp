// Canvas images: the canvas size per variant and screen, the fit of a
// picture on it, and the composed BMP over in-memory files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhotoTestSupport.h"
#include "platform/fake/MemoryFiles.h"
#include "image/Canvas.h"
#include "image/BmpFile.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using Colour = std::array<unsigned char, 3>;
using testing::makeImage;
using testing::pixel;

const Colour kBackdrop{10, 20, 200};  // the backdrop's flat colour
const Colour kGreen{0, 255, 0};

void expectSize(PixelSize size, int w, int h) {
    EXPECT_EQ(size.width, w);
    EXPECT_EQ(size.height, h);
}

TEST(CanvasSize, ScreenProportionedVariantsTakeSixtyFourPercentWithinTheCaps) {
    for (const Variant* v : {&variantB(), &variantC()}) {
        SCOPED_TRACE(v->letter);
        expectSize(canvasSize(*v, 1024, 768), 655, 491);
        expectSize(canvasSize(*v, 1280, 1024), 819, 655);
        expectSize(canvasSize(*v, 1920, 1200), 1228, 768);
        expectSize(canvasSize(*v, 1680, 1050), 1075, 672);
        expectSize(canvasSize(*v, 1920, 1080), 1228, 691);
        // Portrait or square: the capped 4:3 canvas.
        expectSize(canvasSize(*v, 768, 1024), 1248, 936);
        expectSize(canvasSize(*v, 1000, 1000), 1248, 936);
        // Beyond the caps: wide screens (0.5 < r < 0.75) get 1560 x 936,
        // 4:3 and 5:4 and very wide ones (r <= 0.5) 1248 x 936.
        expectSize(canvasSize(*v, 2560, 1440), 1560, 936);
        expectSize(canvasSize(*v, 2560, 1920), 1248, 936);
        expectSize(canvasSize(*v, 2560, 2048), 1248, 936);
        expectSize(canvasSize(*v, 3840, 1080), 1248, 936);
        // Exactly r = 0.5 is not wide, but within the caps it stays as computed.
        expectSize(canvasSize(*v, 1600, 800), 1024, 512);
        expectSize(canvasSize(*v, 4000, 2000), 1248, 936);
        // A screen whose size is unknown gets the capped canvas, never 0 x 0.
        expectSize(canvasSize(*v, 0, 0), 1248, 936);
    }
}

TEST(CanvasSize, VariantAHasTwoFixedCanvases) {
    expectSize(canvasSize(variantA(), 1024, 768), 640, 480);
    expectSize(canvasSize(variantA(), 1280, 1024), 640, 480);
    expectSize(canvasSize(variantA(), 1680, 1050), 800, 480);
    expectSize(canvasSize(variantA(), 1920, 1080), 800, 480);
    expectSize(canvasSize(variantA(), 1600, 800), 640, 480);   // r = 0.5
    expectSize(canvasSize(variantA(), 2560, 1080), 640, 480);  // r < 0.5
    expectSize(canvasSize(variantA(), 768, 1024), 640, 480);
}

TEST(CanvasFit, TheThresholdDecidesWhichSideFills) {
    const PixelSize capped{1248, 936};
    // 4:3 fills the 4:3 canvas exactly with either trimming.
    expectSize(fitInCanvas(800, 600, capped, 0), 1248, 936);
    expectSize(fitInCanvas(800, 600, capped, 1), 1248, 936);
    // Square: the height, with bars left and right.
    expectSize(fitInCanvas(500, 500, capped, 1), 936, 936);
    expectSize(fitInCanvas(500, 500, capped, 0), 936, 936);
    // Portrait: the height; 936 x 600 / 800 = 702.
    expectSize(fitInCanvas(600, 800, capped, 1), 702, 936);
    // 16:9: the width; 1248 x 1080 / 1920 = 702.
    expectSize(fitInCanvas(1920, 1080, capped, 0), 1248, 702);

    // On the wide canvas a 4:3 picture fills the height with trimming 0
    // (936 / 0.75 = 1248) and the width with 1 (1560 x 0.75 = 1170, cut).
    const PixelSize wide{1560, 936};
    expectSize(fitInCanvas(800, 600, wide, 0), 1248, 936);
    expectSize(fitInCanvas(800, 600, wide, 1), 1560, 1170);

    // 5:4 on 655 x 491: trimming 0 fills the height (491 x 1000 / 800 =
    // 613.75), trimming 1 the width (655 x 0.8 = 524).
    expectSize(fitInCanvas(1000, 800, {655, 491}, 0), 613, 491);
    expectSize(fitInCanvas(1000, 800, {655, 491}, 1), 655, 524);

    expectSize(fitInCanvas(0, 10, capped, 1), 0, 0);
}

// A show's files with a flat backdrop, and a maker on a given screen.
struct CanvasBench {
    explicit CanvasBench(const Variant& v = variantB()) : variant(v), decoder(files) {
        files.addFile(v.basePicture, encodeBmp24(makeImage(8, 6, [](int, int) { return kBackdrop; })));
    }
    CanvasMaker maker(int screenWidth, int screenHeight, int trimming) {
        return CanvasMaker(variant, files, decoder, screenWidth, screenHeight, trimming);
    }
    // Composes path into a buffer of capacity bytes and decodes the result.
    std::size_t make(CanvasMaker& maker, const std::string& path, Image& canvas,
                     std::size_t capacity = kLargestCanvasBytes) {
        buffer.assign(capacity, 0xAB);
        const std::size_t size = maker.makeCanvasImage(path, buffer.data(), buffer.size());
        canvas = Image();
        if (size != 0) {
            BmpInfo info;
            EXPECT_TRUE(readBmpInfo(buffer.data(), size, info));
            EXPECT_EQ(info.bitsPerPixel, 24);
            EXPECT_FALSE(info.topDown);
            EXPECT_TRUE(decodeBmp(buffer.data(), size, canvas));
        }
        return size;
    }
    const Variant& variant;
    MemoryFiles files;
    testing::FakeDecoder decoder;
    std::vector<unsigned char> buffer;
};

TEST(CanvasImage, ASquarePictureWithTrimmingIsCentredBetweenBackdropBars) {
    CanvasBench bench;
    bench.decoder.jpegColour = [](int, int) { return kGreen; };
    bench.files.addFile("C:\\pics\\square.jpg", testing::jpegBytes(100, 100));
    CanvasMaker maker = bench.maker(1024, 768, 1);

    Image canvas;
    // 655 x 491 at 1968 bytes a row (1965 padded): 54 + 491 x 1968.
    EXPECT_EQ(bench.make(maker, "C:\\pics\\square.jpg", canvas), 966342u);
    ASSERT_EQ(canvas.width, 655);
    ASSERT_EQ(canvas.height, 491);
    // 491 x 491 at x = (655 - 491) / 2 = 82: columns 82 .. 572.
    for (int y : {0, 245, 490}) {
        EXPECT_EQ(pixel(canvas, 0, y), kBackdrop);
        EXPECT_EQ(pixel(canvas, 81, y), kBackdrop);
        EXPECT_EQ(pixel(canvas, 82, y), kGreen);
        EXPECT_EQ(pixel(canvas, 572, y), kGreen);
        EXPECT_EQ(pixel(canvas, 573, y), kBackdrop);
        EXPECT_EQ(pixel(canvas, 654, y), kBackdrop);
    }
    // Nothing written past the image.
    EXPECT_EQ(bench.buffer[966342], 0xAB);
}

TEST(CanvasImage, AFourByThreePictureFillsTheCappedCanvasWithEitherTrimming) {
    for (int trimming : {0, 1}) {
        CanvasBench bench;
        bench.decoder.jpegColour = [](int, int) { return kGreen; };
        bench.files.addFile("C:\\pics\\p.jpg", testing::jpegBytes(400, 300));
        CanvasMaker maker = bench.maker(768, 1024, trimming);
        Image canvas;
        EXPECT_EQ(bench.make(maker, "C:\\pics\\p.jpg", canvas), 54u + 936u * 1248u * 3u);
        ASSERT_EQ(canvas.width, 1248);
        EXPECT_EQ(pixel(canvas, 0, 0), kGreen);
        EXPECT_EQ(pixel(canvas, 1247, 935), kGreen);
        EXPECT_EQ(pixel(canvas, 0, 935), kGreen);
    }
}

TEST(CanvasImage, APictureTallerThanTheCanvasIsCutAtTopAndBottom) {
    // 2560 x 1440 gives 1560 x 936; a 4:3 picture with trimming 1 becomes
    // 1560 x 1170 and sits at y = (936 - 1170) / 2 = -117.
    CanvasBench bench;
    bench.files.addFile("C:\\pics\\big.jpg", testing::jpegBytes(1560, 1170));
    CanvasMaker maker = bench.maker(2560, 1440, 1);
    Image canvas;
    EXPECT_EQ(bench.make(maker, "C:\\pics\\big.jpg", canvas), kLargestCanvasBytes);
    ASSERT_EQ(canvas.height, 936);
    // positionColour: blue = x, green = y of the picture (both mod 256).
    EXPECT_EQ(pixel(canvas, 0, 0), (Colour{0, 117, 200}));
    EXPECT_EQ(pixel(canvas, 10, 935), (Colour{10, (935 + 117) % 256, 200}));
    EXPECT_EQ(pixel(canvas, 1559, 400), (Colour{1559 % 256, (400 + 117) % 256, 200}));

    // One byte short of the image: nothing at all is written.
    Image none;
    EXPECT_EQ(bench.make(maker, "C:\\pics\\big.jpg", none, kLargestCanvasBytes - 1), 0u);
    for (unsigned char b : bench.buffer) ASSERT_EQ(b, 0xAB);
}

TEST(CanvasImage, TheKindComesFromTheNameAndBrokenPicturesAreHandled) {
    CanvasBench bench;
    bench.files.addFile("C:\\pics\\photo.bmp.jpg",
                        encodeBmp24(makeImage(40, 30, [](int, int) { return kGreen; })));
    bench.files.addFile("C:\\pics\\photo.png", testing::jpegBytes(40, 30));
    bench.files.addFile("C:\\pics\\broken.bmp", std::string("BM not really a bitmap"));
    bench.files.addFile("C:\\pics\\broken.jpg", std::string("no JPEG here"));
    CanvasMaker maker = bench.maker(1024, 768, 0);
    Image canvas;

    // The BMP rule matches first: a bitmap, decoded as one. 4:3 fills the
    // height of 655 x 491, which is a little wider than 4:3: 491 x 4 / 3 =
    // 654.67, so 654 wide at x = 0 and the last column is backdrop.
    EXPECT_EQ(bench.make(maker, "C:\\pics\\photo.bmp.jpg", canvas), 966342u);
    EXPECT_EQ(bench.decoder.jpegCalls, 0);
    EXPECT_EQ(pixel(canvas, 0, 0), kGreen);
    EXPECT_EQ(pixel(canvas, 653, 490), kGreen);
    EXPECT_EQ(pixel(canvas, 654, 490), kBackdrop);

    // Neither kind, an unreadable JPEG, a missing JPEG: no image at all.
    EXPECT_EQ(bench.make(maker, "C:\\pics\\photo.png", canvas), 0u);
    EXPECT_EQ(bench.make(maker, "C:\\pics\\broken.jpg", canvas), 0u);
    EXPECT_EQ(bench.make(maker, "C:\\pics\\gone.jpg", canvas), 0u);
    EXPECT_EQ(bench.make(maker, "", canvas), 0u);
    bench.files.addFile("C:\\pics\\fails.jpg", testing::jpegBytes(40, 30));
    bench.decoder.jpegError = DecodeError::NotEnoughMemory;
    EXPECT_EQ(bench.make(maker, "C:\\pics\\fails.jpg", canvas), 0u);

    // A bitmap that cannot be decoded: the bare backdrop.
    EXPECT_EQ(bench.make(maker, "C:\\pics\\broken.bmp", canvas), 966342u);
    EXPECT_EQ(pixel(canvas, 0, 0), kBackdrop);
    EXPECT_EQ(pixel(canvas, 327, 245), kBackdrop);
}

TEST(CanvasImage, AJpegStandsUprightBeforeItIsFitted) {
    // 200 x 100 stored, turned a quarter (orientation 6): upright 100 x 200,
    // so with trimming 0 it fills the height: 491 x 100 / 200 = 245 wide at
    // x = (655 - 245) / 2 = 205.
    CanvasBench bench;
    bench.decoder.jpegColour = [](int, int) { return kGreen; };
    bench.files.addFile("C:\\pics\\phone.jpg", testing::jpegBytes(200, 100, 6));
    CanvasMaker maker = bench.maker(1024, 768, 0);
    Image canvas;
    ASSERT_EQ(bench.make(maker, "C:\\pics\\phone.jpg", canvas), 966342u);
    EXPECT_EQ(pixel(canvas, 204, 0), kBackdrop);
    EXPECT_EQ(pixel(canvas, 205, 0), kGreen);
    EXPECT_EQ(pixel(canvas, 449, 490), kGreen);
    EXPECT_EQ(pixel(canvas, 450, 490), kBackdrop);

    // Sides over the decoding limit are refused before the decoder sees them.
    bench.files.addFile("C:\\pics\\huge.jpg", testing::jpegBytes(30000, 100));
    const int calls = bench.decoder.jpegCalls;
    EXPECT_EQ(bench.make(maker, "C:\\pics\\huge.jpg", canvas), 0u);
    EXPECT_EQ(bench.decoder.jpegCalls, calls);
}

TEST(CanvasImage, VariantAComposesOnItsFixedCanvasAndAMissingBackdropIsBlack) {
    CanvasBench bench(variantA());
    bench.files.remove(variantA().basePicture);
    bench.decoder.jpegColour = [](int, int) { return kGreen; };
    bench.files.addFile("C:\\pics\\square.jpg", testing::jpegBytes(50, 50));
    CanvasMaker maker = bench.maker(1680, 1050, 1);
    EXPECT_EQ(maker.size().width, 800);
    Image canvas;
    // 800 x 480: 54 + 480 x 2400.
    EXPECT_EQ(bench.make(maker, "C:\\pics\\square.jpg", canvas), 1152054u);
    // 480 x 480 at x = 160.
    EXPECT_EQ(pixel(canvas, 159, 100), (Colour{0, 0, 0}));
    EXPECT_EQ(pixel(canvas, 160, 100), kGreen);
    EXPECT_EQ(pixel(canvas, 639, 100), kGreen);
    EXPECT_EQ(pixel(canvas, 640, 100), (Colour{0, 0, 0}));
}

}  // namespace
}  // namespace qv
