// Loading a picture of any kind into its converted size: checked on its
// header before decoding, shrunk in the decoder when asked, turned upright.
#include <gtest/gtest.h>

#include "image/AnyPicture.h"
#include "platform/fake/MemoryFiles.h"
#include "PhotoTestSupport.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using testing::FakePictureDecoder;

TEST(AnyPictureTest, LoadsChecksAndSizesEveryKind) {
    // Variant B on a 768-line screen: a base height of 491.
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;  // empty: no file at all
        bool shrink;
        DecodeError decoderError;
        PictureLoad expected;
        int decodes;                 // calls the decoder saw
        int wantedW, wantedH;        // the size the decoder was asked for
        int outW, outH;
    };
    const std::vector<Case> cases = {
        // 6000 x 4000: 818 x 545; the decoder is asked for that much.
        {"landscape", testing::jpegBytes(6000, 4000), true, DecodeError::None, PictureLoad::Loaded, 1, 818, 545,
         818, 545},
        // Turned a quarter (orientation 6): upright 4000 x 6000 gives 327 x 491,
        // asked for as stored, 491 x 327.
        {"turned", testing::jpegBytes(6000, 4000, 6), true, DecodeError::None, PictureLoad::Loaded, 1, 491, 327,
         327, 491},
        // A full decode, as the dialog converts: 1600 x 1200 gives 654 x 491.
        {"no shrink", testing::jpegBytes(1600, 1200), false, DecodeError::None, PictureLoad::Loaded, 1, 0, 0,
         654, 491},
        // The height after the scan: sized from the decoded picture.
        {"later height", testing::jpegWithLaterHeight(1600, 1200), true, DecodeError::None, PictureLoad::Loaded,
         1, 0, 0, 654, 491},
        // Over a side of 16384, or over 100 megapixels: never decoded.
        {"too wide", testing::pngBytes(17000, 100), true, DecodeError::None, PictureLoad::TooLarge, 0, -1, -1, 0,
         0},
        {"too many pixels", testing::pngBytes(10000, 10001), true, DecodeError::None, PictureLoad::TooLarge, 0, -1,
         -1, 0, 0},
        {"one pixel high", testing::gifBytes(500, 1), true, DecodeError::None, PictureLoad::TooSmall, 0, -1, -1, 0,
         0},
        {"missing", {}, true, DecodeError::None, PictureLoad::Unreadable, 0, -1, -1, 0, 0},
        {"not a picture", {'h', 'e', 'l', 'l', 'o'}, true, DecodeError::None, PictureLoad::NotPicture, 1, 0, 0, 0,
         0},
        {"memory", testing::pngBytes(800, 600), true, DecodeError::NotEnoughMemory, PictureLoad::OutOfMemory, 1,
         654, 491, 0, 0},
        // The worker ending: told apart from a broken picture.
        {"stopped", testing::pngBytes(800, 600), true, DecodeError::Stopped, PictureLoad::Stopped, 1, 654, 491, 0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFiles files;
        if (!c.bytes.empty()) files.addFile("C:\\pics\\p", c.bytes);
        FakePictureDecoder decoder(files);
        decoder.error = c.decoderError;
        Image out;
        const PictureLoad result =
            loadConvertedPicture(files, decoder, "C:\\pics\\p", {&variantB(), 768, c.shrink}, out);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(decoder.calls, c.decodes);
        EXPECT_EQ(decoder.wantedWidth, c.wantedW);
        EXPECT_EQ(decoder.wantedHeight, c.wantedH);
        EXPECT_EQ(out.width, c.outW);
        EXPECT_EQ(out.height, c.outH);
    }
}

}  // namespace
}  // namespace qv
