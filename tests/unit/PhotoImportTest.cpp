#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "PhotoTestSupport.h"
#include "platform/fake/MemoryFiles.h"
#include "image/BmpFile.h"
#include "image/ConvertSize.h"
#include "settings/PhotoImport.h"
#include "image/PictureType.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using testing::asString;
using testing::jpegBytes;
using testing::makeImage;
using testing::pixel;
using Colour = std::array<unsigned char, 3>;
using Size = std::pair<int, int>;

const std::string kFolder = "C:\\ad\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";

void expectSize(const Variant& v, int w, int h, int screen, int wantW, int wantH) {
    const PixelSize s = convertedSize(v, w, h, screen);
    EXPECT_EQ(s.width, wantW) << v.letter << " " << w << "x" << h;
    EXPECT_EQ(s.height, wantH) << v.letter << " " << w << "x" << h;
}

TEST(ConvertSize, ScreenProportionedSizesOnA768HighScreen) {
    EXPECT_EQ(baseHeight(768), 491);
    EXPECT_EQ(baseHeight(1024), 655);
    EXPECT_EQ(baseHeight(1080), 691);
    for (const Variant* v : {&variantB(), &variantC()}) {
        expectSize(*v, 1600, 1200, 768, 654, 491);
        expectSize(*v, 3000, 2000, 768, 818, 545);
        expectSize(*v, 1200, 1600, 768, 368, 491);
        expectSize(*v, 1920, 1080, 768, 818, 460);
        expectSize(*v, 640, 480, 768, 654, 491);
        // Just wider than 4:3: the full width, and a height above the base.
        expectSize(*v, 640, 479, 768, 818, 612);
    }
    // The widest pictures get a height of 0, which the conversion refuses.
    expectSize(variantB(), 3000, 1, 768, 818, 0);
}

TEST(ConvertSize, FixedBasisWhateverTheScreen) {
    for (int screen : {600, 768, 1200}) {
        expectSize(variantA(), 1600, 1200, screen, 640, 480);
        expectSize(variantA(), 3000, 2000, screen, 800, 533);
        expectSize(variantA(), 1200, 1600, screen, 360, 480);
    }
    expectSize(variantA(), 2000, 1, 768, 800, 0);
    expectSize(variantA(), 0, 10, 768, 0, 0);
}

TEST(PictureType, LowerCasedPathSearchedForBmpFirst) {
    EXPECT_EQ(pictureTypeOf("C:\\a.bmp.old\\x.jpg"), PictureType::Bmp);
    EXPECT_EQ(pictureTypeOf("C:\\pics.jpg\\x.bmp"), PictureType::Bmp);
    EXPECT_EQ(pictureTypeOf("C:\\PICS\\X.BMP"), PictureType::Bmp);
    EXPECT_EQ(pictureTypeOf("C:\\pics\\x.JPG"), PictureType::Jpeg);
    EXPECT_EQ(pictureTypeOf("C:\\pics\\x.JPEG"), PictureType::Jpeg);
    EXPECT_EQ(pictureTypeOf("C:\\pics\\x.jpeg"), PictureType::Jpeg);
    EXPECT_EQ(pictureTypeOf("C:\\x.Jpg.txt"), PictureType::Jpeg);  // anywhere in the path
    EXPECT_EQ(pictureTypeOf("C:\\pics\\x.gif"), PictureType::Unsupported);
    EXPECT_EQ(pictureTypeOf("C:\\pics\\x.bm"), PictureType::Unsupported);
    // Not at the very first character.
    EXPECT_EQ(pictureTypeOf(".bmp"), PictureType::Unsupported);
    EXPECT_EQ(pictureTypeOf(".JPG"), PictureType::Unsupported);
    EXPECT_EQ(pictureTypeOf("a.bmp"), PictureType::Bmp);
    EXPECT_EQ(pictureTypeOf(""), PictureType::Unsupported);
}

// A files port, the fake decoder and a recording message port, variant B on
// a 1280 x 768 screen unless told otherwise.
struct Rig {
    MemoryFiles files;
    testing::FakeDecoder decoder{files};
    testing::RecordingMessages messages;
    PhotoImport import;
    explicit Rig(const Variant& variant = variantB(), int screenHeight = 768)
        : import(variant, files, decoder, messages, screenHeight) {
        files.addFolder(kFolder);
    }
    void addBmp(const std::string& path, const Image& image) { files.addFile(path, encodeBmp24(image)); }
    void addBmp(const std::string& path, int w, int h) { addBmp(path, makeImage(w, h, testing::positionColour)); }
    void addJpeg(const std::string& path, unsigned w, unsigned h, int orientation = 0) {
        files.addFile(path, jpegBytes(w, h, orientation));
    }
    // The one message shown since the last call, checked to follow the arrow cursor.
    std::vector<MessageKind> takeMessages() {
        EXPECT_TRUE(messages.cursorRestoredBeforeEachMessage);
        auto shown = messages.shown;
        messages.shown.clear();
        messages.cursorRestores = 0;
        return shown;
    }
};

using Kinds = std::vector<MessageKind>;

// What Add does with a picked file: the check, then (when it passes) the
// conversion; the messages of both.
std::vector<MessageKind> addOf(Rig& rig, const std::string& path, bool& checked, bool& converted) {
    checked = rig.import.ValidatePicture(path);
    converted = checked && rig.import.ConvertPicture(path, 1, kFolder, false).written();
    return rig.takeMessages();
}

TEST(ValidatePicture, SizeLimitsFromTheHeaderBeforeAnyDecoding) {
    Rig rig;
    rig.decoder.jpegColour = nullptr;
    testing::FakePictureDecoder pictures(rig.files);
    rig.import.setPictureDecoder(&pictures);
    rig.addJpeg("C:\\p\\side.jpg", 16384, 6000);        // 98.3 megapixels
    rig.addJpeg("C:\\p\\square.jpg", 10000, 10000);     // 100 megapixels exactly
    rig.addJpeg("C:\\p\\area.jpg", 10001, 10000);       // 100.01 megapixels
    rig.addJpeg("C:\\p\\wide.jpg", 16385, 10);
    rig.addJpeg("C:\\p\\huge.jpg", 60000, 60000);
    rig.addJpeg("C:\\p\\camera.jpg", 6000, 4000);
    rig.addJpeg("C:\\p\\turned.jpg", 6000, 4000, 6);    // upright 4000 x 6000
    rig.addJpeg("C:\\p\\lying.jpg", 10, 16385, 8);      // upright 16385 wide
    rig.addBmp("C:\\p\\wide.bmp", 16385, 2);
    rig.addBmp("C:\\p\\tall.bmp", 2, 16385);
    rig.addBmp("C:\\p\\line.bmp", 1, 100);
    rig.addBmp("C:\\p\\flat.bmp", 100, 1);
    rig.addBmp("C:\\p\\small.bmp", 2, 2);
    rig.files.addFile("C:\\p\\photo.png", testing::pngBytes(6000, 4000));
    rig.files.addFile("C:\\p\\band.png", testing::pngBytes(20000, 10));
    rig.files.addFile("C:\\p\\dot.gif", testing::gifBytes(1, 1));

    const auto ok = std::optional<MessageKind>();
    const std::pair<const char*, std::optional<MessageKind>> cases[] = {
        {"C:\\p\\side.jpg", ok},
        {"C:\\p\\square.jpg", ok},
        {"C:\\p\\camera.jpg", ok},
        {"C:\\p\\turned.jpg", ok},
        {"C:\\p\\small.bmp", ok},
        {"C:\\p\\photo.png", ok},
        {"C:\\p\\area.jpg", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\wide.jpg", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\huge.jpg", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\lying.jpg", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\wide.bmp", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\tall.bmp", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\band.png", MessageKind::MsgPictureTooLarge},
        {"C:\\p\\line.bmp", MessageKind::MsgUnsupportedFile},
        {"C:\\p\\flat.bmp", MessageKind::MsgUnsupportedFile},
        {"C:\\p\\dot.gif", MessageKind::MsgUnsupportedFile},
    };
    for (const auto& [path, refused] : cases) {
        EXPECT_EQ(rig.import.ValidatePicture(path), !refused) << path;
        EXPECT_EQ(rig.takeMessages(), refused ? Kinds{*refused} : Kinds{}) << path;
    }
    // Nothing was decoded to check any of them.
    EXPECT_EQ(rig.decoder.jpegCalls + rig.decoder.bmpCalls + pictures.calls, 0);
}

TEST(ValidatePicture, AFileThatCannotBeMadeIsRefusedByTheCheckOrByTheConversion) {
    Rig rig;
    rig.files.addFile("C:\\p\\empty.jpg", std::string());
    rig.files.addFile("C:\\p\\empty.bmp", std::string());
    rig.files.addFile("C:\\p\\notes.jpg", "These are my holiday notes.\r\n");
    auto truncated = jpegBytes(800, 600);
    truncated.resize(20);
    rig.files.addFile("C:\\p\\cut.jpg", truncated);
    auto brokenBmp = encodeBmp24(makeImage(8, 8, testing::positionColour));
    brokenBmp[28] = 77;  // bits per pixel
    rig.files.addFile("C:\\p\\broken.bmp", brokenBmp);
    rig.addJpeg("C:\\a.bmp.old\\x.jpg", 800, 600);  // a good JPEG, but its path says BMP
    rig.addJpeg("C:\\p\\x.gif", 800, 600);         // no picture decoder: no GIF
    rig.addJpeg("C:\\p\\good.jpg", 800, 600);
    rig.addBmp("C:\\p\\good.bmp", 8, 8);

    struct Case {
        const char* path;
        DecodeError jpegError, bmpError;
        bool checked;  // the header passed; the conversion refused it
        MessageKind message;
    };
    const DecodeError none = DecodeError::None;
    const Case cases[] = {
        {"C:\\p\\empty.jpg", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\empty.bmp", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\notes.jpg", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\cut.jpg", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\a.bmp.old\\x.jpg", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\x.gif", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\gone.jpg", none, none, false, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\gone.bmp", none, none, false, MessageKind::MsgUnsupportedFile},
        // The header is sound, the pixels are not: the decoder's verdicts.
        {"C:\\p\\broken.bmp", none, none, true, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\good.jpg", DecodeError::Other, none, true, MessageKind::MsgUnsupportedFile},
        {"C:\\p\\good.jpg", DecodeError::NotEnoughMemory, none, true, MessageKind::MsgOutOfMemory},
        {"C:\\p\\good.bmp", none, DecodeError::NotEnoughMemory, true, MessageKind::MsgOutOfMemory},
    };
    for (const Case& c : cases) {
        rig.decoder.jpegError = c.jpegError;
        rig.decoder.bmpError = c.bmpError;
        bool checked = false;
        bool converted = false;
        EXPECT_EQ(addOf(rig, c.path, checked, converted), Kinds{c.message}) << c.path;
        EXPECT_EQ(checked, c.checked) << c.path;
        EXPECT_FALSE(converted) << c.path;
        EXPECT_FALSE(rig.files.exists(kFolder + "photo1.bmp")) << c.path;
    }
}

// The converted bitmap of a slot, decoded.
Image converted(Rig& rig, int n) {
    const std::string bytes = rig.files.contents(kFolder + "photo" + std::to_string(n) + ".bmp");
    Image image;
    EXPECT_TRUE(decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image));
    return image;
}

TEST(ConvertPicture, WritesTheSlotBitmapAtTheTargetSize) {
    Rig rig;
    // Four colour blocks: red, green / blue, white.
    const Colour red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, white{255, 255, 255};
    rig.addBmp("C:\\p\\blocks.bmp", makeImage(1600, 1200, [&](int x, int y) {
                   return y < 600 ? (x < 800 ? red : green) : (x < 800 ? blue : white);
               }));
    const Conversion made = rig.import.ConvertPicture("C:\\p\\blocks.bmp", 3, kFolder, false);
    ASSERT_TRUE(made.written());
    const std::string output = made.path;
    EXPECT_EQ(output, kFolder + "photo3.bmp");
    EXPECT_TRUE(rig.takeMessages().empty());

    const std::string file = rig.files.contents(output);
    ASSERT_EQ(file.size(), 964378u);
    Image image = converted(rig, 3);
    ASSERT_EQ(image.width, 654);
    ASSERT_EQ(image.height, 491);
    // Block interiors keep their colours exactly; the top-left block is on top.
    EXPECT_EQ(pixel(image, 10, 10), red);
    EXPECT_EQ(pixel(image, 600, 10), green);
    EXPECT_EQ(pixel(image, 10, 480), blue);
    EXPECT_EQ(pixel(image, 600, 480), white);
    EXPECT_EQ(pixel(image, 320, 240), red);
    EXPECT_EQ(pixel(image, 330, 250), white);
    // On disk the bottom row comes first: blue.
    EXPECT_EQ(static_cast<unsigned char>(file[54]), 255);
    EXPECT_EQ(static_cast<unsigned char>(file[55]), 0);

    // Slightly wider than 4:3 grows to 818 x 612.
    rig.addBmp("C:\\p\\wide.bmp", 640, 479);
    ASSERT_TRUE(rig.import.ConvertPicture("C:\\p\\wide.bmp", 4, kFolder, false));
    EXPECT_EQ(rig.files.contents(kFolder + "photo4.bmp").size(), 54u + 2456u * 612u);

    // Converting the slot again replaces its bitmap.
    rig.addBmp("C:\\p\\portrait.bmp", 1200, 1600);
    ASSERT_TRUE(rig.import.ConvertPicture("C:\\p\\portrait.bmp", 3, kFolder, false));
    image = converted(rig, 3);
    EXPECT_EQ(image.width, 368);
    EXPECT_EQ(image.height, 491);
}

TEST(ConvertPicture, AJpegIsTurnedUprightBeforeItIsSized) {
    Rig rig;
    // Stored 1500 x 1000, left half red, right half blue, tagged as needing a
    // quarter turn clockwise: upright it is 1000 x 1500, red on top.
    rig.addJpeg("C:\\p\\phone.jpg", 1500, 1000, 6);
    rig.decoder.jpegColour = [](int x, int) { return x < 750 ? Colour{0, 0, 255} : Colour{255, 0, 0}; };
    ASSERT_TRUE(rig.import.ConvertPicture("C:\\p\\phone.jpg", 1, kFolder, false));
    const Image image = converted(rig, 1);
    EXPECT_EQ(image.width, 327);  // trunc(491 / 1.5)
    EXPECT_EQ(image.height, 491);
    EXPECT_EQ(pixel(image, 160, 20), (Colour{0, 0, 255}));
    EXPECT_EQ(pixel(image, 160, 470), (Colour{255, 0, 0}));

    // Variant A sizes the same picture 320 x 480.
    Rig a(variantA());
    a.addJpeg("C:\\p\\phone.jpg", 1500, 1000, 6);
    ASSERT_TRUE(a.import.ConvertPicture("C:\\p\\phone.jpg", 2, kFolder, false));
    EXPECT_EQ(converted(a, 2).width, 320);
}

TEST(ConvertPicture, SourcesThatCannotBeOpenedOrNamedFailOrPassQuietly) {
    Rig rig;
    const Conversion gone = rig.import.ConvertPicture("C:\\p\\gone.jpg", 1, kFolder, false);
    EXPECT_FALSE(gone);
    EXPECT_EQ(gone.outcome, Conversion::Outcome::SourceMissing);
    EXPECT_TRUE(gone.path.empty());
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\gone.bmp", 1, kFolder, false));
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.messages.cursorRestores, 0);

    // An unsupported name that opens: success, nothing written.
    rig.files.addFile("C:\\p\\x.gif", std::string("GIF89a"));
    const Conversion gif = rig.import.ConvertPicture("C:\\p\\x.gif", 1, kFolder, false);
    EXPECT_TRUE(gif);
    EXPECT_FALSE(gif.written());
    EXPECT_TRUE(gif.path.empty());
    EXPECT_FALSE(rig.files.exists(kFolder + "photo1.bmp"));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(ConvertPicture, JpegSizeLimitsBeforeDecoding) {
    Rig rig;
    rig.addJpeg("C:\\p\\huge.jpg", 60000, 60000);
    rig.addJpeg("C:\\p\\long.jpg", 20001, 10);
    rig.addJpeg("C:\\p\\many.jpg", 20000, 10001);  // 200,020,000 pixels
    rig.addJpeg("C:\\p\\edge.jpg", 20000, 10000);  // 200,000,000: still tried
    rig.addJpeg("C:\\p\\big.jpg", 12000, 9000);    // accepted here, though the dialog refuses it
    for (const char* path : {"C:\\p\\huge.jpg", "C:\\p\\long.jpg", "C:\\p\\many.jpg"}) {
        EXPECT_FALSE(rig.import.ConvertPicture(path, 1, kFolder, false)) << path;
        EXPECT_EQ(rig.takeMessages(), Kinds{MessageKind::MsgOutOfMemory}) << path;
    }
    EXPECT_EQ(rig.decoder.jpegCalls, 0);

    // The decoder is tried for these; here it reports running out of memory.
    rig.decoder.jpegError = DecodeError::NotEnoughMemory;
    for (const char* path : {"C:\\p\\edge.jpg", "C:\\p\\big.jpg"}) {
        EXPECT_FALSE(rig.import.ConvertPicture(path, 1, kFolder, false)) << path;
        EXPECT_EQ(rig.takeMessages(), Kinds{MessageKind::MsgOutOfMemory}) << path;
    }
    EXPECT_EQ(rig.decoder.jpegCalls, 2);

    // The silent form: same results, no message, the cursor left alone.
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\huge.jpg", 1, kFolder, true));
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\big.jpg", 1, kFolder, true));
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.messages.cursorRestores, 0);
    EXPECT_FALSE(rig.files.exists(kFolder + "photo1.bmp"));
}

TEST(ConvertPicture, AJpegNameOverAnotherKindOrALaterHeightIsDecodedAsTheDecoderTakesIt) {
    // On the 768-line screen: 4:3 becomes 654 x 491, 3:2 818 x 545.
    Rig rig;
    rig.decoder.jpegColour = nullptr;
    rig.files.addFile("C:\\p\\gif.jpg", testing::gifBytes(800, 600));
    rig.files.addFile("C:\\p\\png.jpg", testing::pngBytes(3000, 2000));
    rig.files.addFile("C:\\p\\bmp.jpg", encodeBmp24(makeImage(1600, 1200, testing::positionColour)));
    rig.files.addFile("C:\\p\\dnl.jpg", testing::jpegWithLaterHeight(3000, 2000));
    const std::pair<const char*, int> sources[] = {
        {"C:\\p\\gif.jpg", 654}, {"C:\\p\\png.jpg", 818}, {"C:\\p\\bmp.jpg", 654}, {"C:\\p\\dnl.jpg", 818}};
    for (const auto& [source, width] : sources) {
        EXPECT_TRUE(rig.import.ValidatePicture(source)) << source;
        ASSERT_TRUE(rig.import.ConvertPicture(source, 1, kFolder, false)) << source;
        EXPECT_EQ(converted(rig, 1).width, width) << source;
    }
    EXPECT_TRUE(rig.takeMessages().empty());
    // Each picture decoded once: the conversion takes the check's pixels.
    EXPECT_EQ(rig.decoder.jpegCalls, 4);
    // The kept pixels serve only the file they came from.
    EXPECT_TRUE(rig.import.ValidatePicture("C:\\p\\gif.jpg"));
    ASSERT_TRUE(rig.import.ConvertPicture("C:\\p\\png.jpg", 1, kFolder, false));
    EXPECT_EQ(converted(rig, 1).width, 818);
    EXPECT_EQ(rig.decoder.bmpCalls, 0);  // the BMP came through the .jpg path

    // Only a width to check before decoding: one past the limits is never
    // decoded; a height past them, known only once decoded, is refused then,
    // with the message its purpose gives (over 16384 a side for a picked
    // picture, over 200 megapixels for the conversion: 20000 x 10001).
    rig.files.addFile("C:\\p\\wide.jpg", testing::jpegWithLaterHeight(20001, 10));
    rig.files.addFile("C:\\p\\tall.jpg", testing::jpegWithLaterHeight(4000, 16385));
    rig.files.addFile("C:\\p\\many.jpg", testing::jpegWithLaterHeight(20000, 10001));
    rig.files.addFile("C:\\p\\huge.jpg", testing::gifBytes(60000, 10));
    const int decoded = rig.decoder.jpegCalls;
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\wide.jpg", 2, kFolder, false));
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\huge.jpg", 2, kFolder, false));
    EXPECT_EQ(rig.decoder.jpegCalls, decoded);
    EXPECT_TRUE(rig.import.ValidatePicture("C:\\p\\tall.jpg"));
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\tall.jpg", 2, kFolder, false));
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\many.jpg", 2, kFolder, false));
    EXPECT_EQ(rig.takeMessages(), (Kinds{MessageKind::MsgOutOfMemory, MessageKind::MsgOutOfMemory,
                                         MessageKind::MsgPictureTooLarge, MessageKind::MsgOutOfMemory}));
    EXPECT_FALSE(rig.files.exists(kFolder + "photo2.bmp"));
}

TEST(ConvertPicture, AFailedConversionLeavesThePreviousBitmap) {
    Rig rig;
    const std::string old = "previous bitmap";
    const std::string slot = kFolder + "photo2.bmp";
    rig.files.addFile(slot, old);

    rig.files.addFile("C:\\p\\empty.jpg", std::string());
    rig.files.addFile("C:\\p\\notes.jpg", "not a picture");
    auto truncated = jpegBytes(800, 600);
    truncated.resize(30);
    rig.files.addFile("C:\\p\\cut.jpg", truncated);
    auto brokenBmp = encodeBmp24(makeImage(8, 8, testing::positionColour));
    brokenBmp.resize(brokenBmp.size() - 1);  // last row one byte short
    rig.files.addFile("C:\\p\\broken.bmp", brokenBmp);
    rig.addBmp("C:\\p\\line.bmp", 3000, 1);  // scales to 818 x 0
    rig.addJpeg("C:\\p\\huge.jpg", 60000, 60000);

    struct Case {
        const char* path;
        MessageKind message;
    };
    for (const Case& c : {Case{"C:\\p\\empty.jpg", MessageKind::MsgUnsupportedFile},
                          Case{"C:\\p\\notes.jpg", MessageKind::MsgUnsupportedFile},
                          Case{"C:\\p\\cut.jpg", MessageKind::MsgUnsupportedFile},
                          Case{"C:\\p\\broken.bmp", MessageKind::MsgUnsupportedFile},
                          Case{"C:\\p\\line.bmp", MessageKind::MsgUnsupportedFile},
                          Case{"C:\\p\\huge.jpg", MessageKind::MsgOutOfMemory}}) {
        EXPECT_FALSE(rig.import.ConvertPicture(c.path, 2, kFolder, false)) << c.path;
        EXPECT_EQ(rig.takeMessages(), Kinds{c.message}) << c.path;
        EXPECT_EQ(rig.files.contents(slot), old) << c.path;
    }

    // A decoder that fails on a JPEG whose header is fine.
    rig.addJpeg("C:\\p\\corrupt.jpg", 800, 600);
    rig.decoder.jpegError = DecodeError::Other;
    EXPECT_FALSE(rig.import.ConvertPicture("C:\\p\\corrupt.jpg", 2, kFolder, false));
    EXPECT_EQ(rig.takeMessages(), Kinds{MessageKind::MsgUnsupportedFile});
    EXPECT_EQ(rig.files.contents(slot), old);

    // The write itself failing (disk full, no access): said so, unless
    // silent; the old bitmap stays.
    rig.addBmp("C:\\p\\good.bmp", 64, 48);
    rig.files.failWrites(true);
    for (const bool silent : {false, true}) {
        const Conversion unsaved = rig.import.ConvertPicture("C:\\p\\good.bmp", 2, kFolder, silent);
        EXPECT_FALSE(unsaved);
        EXPECT_EQ(unsaved.outcome, Conversion::Outcome::CannotSave);
        EXPECT_TRUE(unsaved.path.empty());
        EXPECT_EQ(rig.takeMessages(), silent ? Kinds{} : Kinds{MessageKind::MsgCannotSavePicture});
        EXPECT_EQ(rig.files.contents(slot), old);
    }
    rig.files.failWrites(false);
    ASSERT_TRUE(rig.import.ConvertPicture("C:\\p\\good.bmp", 2, kFolder, false));
    EXPECT_EQ(rig.files.contents(slot).size(), bmpFileSize(654, 491));
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(ConvertPicture, OtherKindsGoThroughThePictureDecoderJpegAndBmpKeepTheirPath) {
    // On the 768-line screen: 3:2 becomes 818 x 545, 4:3 654 x 491.
    Rig rig;
    rig.decoder.jpegColour = nullptr;
    testing::FakePictureDecoder pictures(rig.files);
    rig.files.addFile("C:\\p\\photo.png", testing::pngBytes(3000, 2000));
    rig.files.addFile("C:\\p\\anim.gif", testing::gifBytes(800, 600));
    rig.addJpeg("C:\\p\\camera.jpg", 6000, 4000);
    rig.addBmp("C:\\p\\small.bmp", 80, 60);

    // Without the picture decoder a PNG is no picture of ours, as before.
    EXPECT_EQ(rig.import.ConvertPicture("C:\\p\\photo.png", 1, kFolder, false).outcome,
              Conversion::Outcome::NothingToDo);
    EXPECT_EQ(rig.import.ConvertPicture("D:\\Fotos\\", 1, kFolder, false).outcome, Conversion::Outcome::SourceMissing);
    rig.import.setPictureDecoder(&pictures);

    struct Case {
        const char* path;
        Size size;
        int pictureCalls, jpegCalls, bmpCalls;  // counted from the start of the table
    };
    const Case cases[] = {
        {"C:\\p\\photo.png", {818, 545}, 1, 0, 0},
        {"C:\\p\\anim.gif", {654, 491}, 2, 0, 0},
        {"C:\\p\\camera.jpg", {818, 545}, 2, 1, 0},
        {"C:\\p\\small.bmp", {654, 491}, 2, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(rig.import.ValidatePicture(c.path)) << c.path;
        const Conversion made = rig.import.ConvertPicture(c.path, 1, kFolder, false);
        ASSERT_TRUE(made.written()) << c.path;
        const Image image = converted(rig, 1);
        EXPECT_EQ(Size(image.width, image.height), c.size) << c.path;
        // The converted pixels come back for the thumbnail, as written.
        EXPECT_EQ(Size(made.picture.width, made.picture.height), c.size) << c.path;
        EXPECT_EQ(pictures.calls, c.pictureCalls) << c.path;
        EXPECT_EQ(rig.decoder.jpegCalls, c.jpegCalls) << c.path;
        EXPECT_EQ(rig.decoder.bmpCalls, c.bmpCalls) << c.path;
    }
    EXPECT_TRUE(rig.takeMessages().empty());
}

}  // namespace
}  // namespace qv
