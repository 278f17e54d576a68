// The show's pictures: which file each of the ten comes from, and the
// picture memory filled from them, over in-memory files and registry.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "PhotoTestSupport.h"
#include "text/AnsiText.h"
#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "render/PicturePreparation.h"
#include "render/ShowPictureMemory.h"
#include "image/BmpFile.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using Colour = std::array<unsigned char, 3>;
using testing::makeImage;
using testing::pixel;

const std::string kAppData = "C:\\users\\me\\AppData\\Roaming";
const std::string kFolderB = kAppData + "\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";
const std::string kKeyB = "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver";
const std::string kKeyC = "Software\\Tarn Corporation\\QUOR VELK-C Screen Saver";
const std::string kFolderC = kAppData + "\\Tarn Corporation\\QUOR VELK-C Screen Saver\\";
const Colour kBackdrop{10, 20, 200};

// Photo n's flat colour, told apart by its red.
Colour photoColour(int n) { return {0, 100, static_cast<unsigned char>(n * 20)}; }

struct ShowBench {
    explicit ShowBench(const Variant& v = variantB())
        : variant(v), key(v.letter == 'C' ? kKeyC : kKeyB), folder(v.letter == 'C' ? kFolderC : kFolderB),
          decoder(files), memory(v) {
        files.addFile(v.basePicture, encodeBmp24(makeImage(8, 6, [](int, int) { return kBackdrop; })));
    }
    // Slot n listed with its converted bitmap (4:3, flat photoColour(n)) and
    // a source; either file may be left out.
    void listPhoto(int n, bool converted = true, bool source = false) {
        const std::string name = "photo" + std::to_string(n);
        registry.putString(key, name, folder + name + ".bmp");
        registry.putString(key, name + "_real", "C:\\pics\\p" + std::to_string(n) + ".jpg");
        if (converted)
            files.addFile(folder + name + ".bmp", encodeBmp24(makeImage(40, 30, [n](int, int) { return photoColour(n); })));
        if (source) files.addFile("C:\\pics\\p" + std::to_string(n) + ".jpg", testing::jpegBytes(80, 60));
    }
    ShowPictureList choose(int w = 1024, int h = 768, PictureAccess access = PictureAccess::Show) {
        PhotoImport import(variant, files, decoder, messages, h);
        return chooseShowPictures(variant, registry, files, import, kAppData, w, h, access);
    }
    void prepare(int w = 1024, int h = 768) { memory.preparePictures(files, decoder, registry, kAppData, w, h); }
    // Which photo number each picture name is, 0 for an empty name.
    std::vector<int> photoNumbers() {
        std::vector<int> numbers;
        for (int i = 1; i <= 10; ++i) {
            int found = 0;
            for (int n = 1; n <= 10; ++n)
                if (memory.pictureName(i) == upperAnsi(folder + "photo" + std::to_string(n) + ".bmp")) found = n;
            numbers.push_back(found);
        }
        return numbers;
    }
    Image decoded(const PictureImage& image) {
        Image out;
        EXPECT_TRUE(decodeBmp(image.bytes, image.size, out));
        return out;
    }

    const Variant& variant;
    const std::string key;
    const std::string folder;
    MemoryFiles files;
    MemoryRegistry registry;
    testing::FakeDecoder decoder;
    testing::RecordingMessages messages;
    ShowPictureMemory memory;
};

TEST(ShowPictures, NoPhotosFillNothingAndTheDefaultsAreStored) {
    ShowBench bench;
    bench.listPhoto(1);  // listed, but the count says none
    bench.prepare(1680, 1050);
    EXPECT_EQ(bench.memory.photoCount(), 0);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(bench.memory.pictureName(i), "");
        EXPECT_EQ(bench.memory.pictureImage(i).size, 0u);
    }
    EXPECT_EQ(bench.decoder.bmpCalls + bench.decoder.jpegCalls, 0);
    EXPECT_EQ(bench.registry.dword(kKeyB, "photo_num"), 0u);
    EXPECT_EQ(bench.registry.dword(kKeyB, "trimming"), 1u);  // r = 0.625

    ShowBench square;
    square.choose(1280, 1024);
    EXPECT_EQ(square.registry.dword(kKeyB, "trimming"), 0u);
}

TEST(ShowPictures, ThreePhotosRotateThroughTheTenBuffers) {
    ShowBench bench;
    for (int n = 1; n <= 3; ++n) bench.listPhoto(n);
    bench.registry.putDword(kKeyB, "photo_num", 3);
    bench.prepare();

    EXPECT_EQ(bench.memory.photoCount(), 3);
    EXPECT_EQ(bench.photoNumbers(), (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1}));
    for (int i = 1; i <= 10; ++i) {
        const PictureImage image = bench.memory.pictureImage(i);
        ASSERT_EQ(image.size, 966342u) << i;  // 655 x 491 canvas
        const Image canvas = bench.decoded(image);
        EXPECT_EQ(pixel(canvas, 327, 245), photoColour((i - 1) % 3 + 1)) << i;
        EXPECT_EQ(pixel(canvas, 654, 245), kBackdrop) << i;  // 654 wide: the last column is bare
    }
    // Found by the upper-cased path: the first buffer of photo 2.
    const PictureImage found = bench.memory.findPicture(upperAnsi(kFolderB + "photo2.bmp"));
    EXPECT_EQ(found.bytes, bench.memory.pictureImage(2).bytes);
    EXPECT_TRUE(bench.messages.shown.empty());
}

TEST(ShowPictures, AMissingBitmapIsRebuiltSilentlyFromItsSource) {
    ShowBench bench;
    bench.listPhoto(1);
    bench.listPhoto(2, false, true);
    bench.registry.putDword(kKeyB, "photo_num", 2);
    const ShowPictureList list = bench.choose();

    EXPECT_EQ(list.folder, kFolderB);
    EXPECT_EQ(list.paths[1], kFolderB + "photo2.bmp");
    EXPECT_TRUE(bench.files.canOpen(kFolderB + "photo2.bmp"));
    // Rebuilt once, for picture 2; from then on it opens.
    EXPECT_EQ(bench.decoder.jpegCalls, 1);
    EXPECT_EQ(list.paths[3], kFolderB + "photo2.bmp");

    // A source that cannot be decoded fails without a message.
    ShowBench broken;
    broken.listPhoto(1);
    broken.listPhoto(2, false, true);
    broken.registry.putDword(kKeyB, "photo_num", 2);
    broken.decoder.jpegError = DecodeError::NotEnoughMemory;
    const ShowPictureList none = broken.choose();
    EXPECT_TRUE(broken.messages.shown.empty());
    EXPECT_EQ(none.paths[1], kFolderB + "photo1.bmp");  // searched onward to 1
}

TEST(ShowPictures, ThePreviewOnlyReadsWhereTheShowWritesDefaultsAndRebuilds) {
    // Two photos; photo 2's bitmap is gone but its source is there; no
    // "trimming" stored (1680 x 1050: its default is 1).
    struct Row {
        PictureAccess access;
        bool registryWritten;
        bool rebuilt;          // photo2.bmp exists afterwards
        int decodes;
        std::string picture2;  // the file of picture 2
    } const rows[] = {
        {PictureAccess::Show, true, true, 1, kFolderB + "photo2.bmp"},
        // Photo 2 counts as gone: picture 2 passes on to photo 1.
        {PictureAccess::ReadOnly, false, false, 0, kFolderB + "photo1.bmp"},
    };
    for (const Row& row : rows) {
        ShowBench bench;
        bench.listPhoto(1);
        bench.listPhoto(2, false, true);
        bench.registry.putDword(kKeyB, "photo_num", 2);
        bench.registry.clearChanges();
        const std::size_t values = bench.registry.valueCount(kKeyB);
        const ShowPictureList list = bench.choose(1680, 1050, row.access);
        const bool show = row.access == PictureAccess::Show;
        EXPECT_EQ(!bench.registry.changes().empty(), row.registryWritten) << show;
        EXPECT_EQ(bench.registry.valueCount(kKeyB), values + (row.registryWritten ? 1 : 0)) << show;
        EXPECT_EQ(bench.files.exists(kFolderB + "photo2.bmp"), row.rebuilt) << show;
        EXPECT_EQ(bench.decoder.jpegCalls, row.decodes) << show;
        EXPECT_EQ(list.trimming, 1) << show;
        EXPECT_EQ(list.paths[1], row.picture2) << show;
    }
}

TEST(ShowPictures, ASlotWhoseFilesAreGoneIsPassedOverForTheNextThatWorks) {
    // Photo 2 has neither file: each time 2 comes up, 3 is taken and the
    // count goes on from 3, so 2 never shows and 3 follows every 1.
    ShowBench bench;
    bench.listPhoto(1);
    bench.listPhoto(2, false, false);
    bench.listPhoto(3);
    bench.registry.putDword(kKeyB, "photo_num", 3);
    bench.prepare();
    EXPECT_EQ(bench.photoNumbers(), (std::vector<int>{1, 3, 1, 3, 1, 3, 1, 3, 1, 3}));

    // The search runs up to 10 whatever the count: a bitmap left in slot 5
    // from a longer list is found for 2.
    ShowBench stale;
    stale.listPhoto(1);
    stale.listPhoto(5);
    stale.registry.putDword(kKeyB, "photo_num", 2);
    stale.prepare();
    EXPECT_EQ(stale.photoNumbers(), (std::vector<int>{1, 5, 1, 5, 1, 5, 1, 5, 1, 5}));
    // Values never written read as "error" and stay unwritten.
    EXPECT_FALSE(stale.registry.has(kKeyB, "photo2"));
    EXPECT_FALSE(stale.registry.has(kKeyB, "photo2_real"));

    // Nothing anywhere: every picture empty.
    ShowBench gone;
    gone.listPhoto(1, false, false);
    gone.registry.putDword(kKeyB, "photo_num", 1);
    gone.prepare();
    EXPECT_EQ(gone.memory.photoCount(), 1);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(gone.memory.pictureName(i), "");
        EXPECT_EQ(gone.memory.pictureImage(i).size, 0u);
    }
}

TEST(ShowPictures, TrimmingFromTheRegistryDecidesTheFit) {
    // 1680 x 1050: canvas 1075 x 672. A 4:3 photo with trimming 1 fills the
    // width (1075 x 806, cut); with 0 the height: 672 x 4 / 3 = 896 wide at
    // x = (1075 - 896) / 2 = 89.
    for (int trimming : {0, 1}) {
        ShowBench bench;
        bench.listPhoto(1);
        bench.registry.putDword(kKeyB, "photo_num", 1);
        bench.registry.putDword(kKeyB, "trimming", static_cast<std::uint32_t>(trimming));
        bench.prepare(1680, 1050);
        const Image canvas = bench.decoded(bench.memory.pictureImage(1));
        ASSERT_EQ(canvas.width, 1075);
        ASSERT_EQ(canvas.height, 672);
        EXPECT_EQ(pixel(canvas, 88, 300), trimming == 1 ? photoColour(1) : kBackdrop);
        EXPECT_EQ(pixel(canvas, 89, 300), photoColour(1));
        EXPECT_EQ(pixel(canvas, 985, 300), trimming == 1 ? photoColour(1) : kBackdrop);
    }
}

TEST(ShowPictures, VariantCRecordsThePathsAndComposesOnDemand) {
    ShowBench bench(variantC());
    for (int n = 1; n <= 2; ++n) bench.listPhoto(n);
    bench.registry.putDword(kKeyC, "photo_num", 2);
    int composed = 0;
    bench.memory.setComposeListener([&composed] { ++composed; });
    bench.prepare();

    EXPECT_EQ(bench.photoNumbers(), (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(bench.decoder.bmpCalls, 0);  // nothing decoded at start
    EXPECT_EQ(bench.memory.pictureImage(2).size, 0u);

    bench.memory.composePicture(2);
    EXPECT_EQ(composed, 1);
    const PictureImage second = bench.memory.pictureImage(2);
    ASSERT_EQ(second.size, 966342u);
    EXPECT_EQ(pixel(bench.decoded(second), 300, 200), photoColour(2));

    // One shared buffer: composing 1 replaces what 2 showed.
    bench.memory.composePicture(1);
    EXPECT_EQ(composed, 2);
    EXPECT_EQ(bench.memory.pictureImage(1).bytes, second.bytes);
    EXPECT_EQ(pixel(bench.decoded(bench.memory.pictureImage(1)), 300, 200), photoColour(1));

    // Composed ahead on a thread into a buffer of the look-ahead's own:
    // whoever made a texture of those bytes is told, and nothing on screen
    // changes until the scene takes it as the shared buffer.
    std::vector<const unsigned char*> told;
    bench.memory.listenToReplacements(&told, [&told](const unsigned char* bytes) { told.push_back(bytes); });
    const int owner = 0;
    PictureImage early = bench.memory.composeAhead(&owner, 2);
    for (int wait = 0; wait < 5000 && bench.memory.aheadUnderWay(&owner); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (early.size == 0) early = bench.memory.composeAhead(&owner, 2);
    ASSERT_EQ(early.size, 966342u);
    EXPECT_EQ(pixel(bench.decoded(early), 300, 200), photoColour(2));
    EXPECT_EQ(told, std::vector<const unsigned char*>{early.bytes});
    EXPECT_EQ(composed, 2);
    EXPECT_FALSE(bench.memory.takeAhead(&owner, 1));      // another picture: composed as usual
    EXPECT_FALSE(bench.memory.takeAhead(&composed, 2));   // another look-ahead's: none
    EXPECT_EQ(bench.memory.composeAhead(&owner, 2).bytes, early.bytes);  // still good: kept
    EXPECT_EQ(told.size(), 1u);
    EXPECT_TRUE(bench.memory.takeAhead(&owner, 2));
    EXPECT_EQ(composed, 3);
    EXPECT_EQ(bench.memory.pictureImage(2).bytes, early.bytes);
    EXPECT_FALSE(bench.memory.takeAhead(&owner, 2));  // taken once
    // Composing into the shared buffer, now those bytes, tells again.
    bench.memory.composePicture(1);
    EXPECT_EQ(told.back(), early.bytes);
    // A composition still being made when the scene comes is waited for.
    bench.memory.composeAhead(&owner, 3);
    EXPECT_TRUE(bench.memory.takeAhead(&owner, 3));
    EXPECT_EQ(pixel(bench.decoded(bench.memory.pictureImage(3)), 300, 200), photoColour(1));
    bench.memory.dropAhead(&owner);

    // Out of range: nothing happens.
    bench.memory.composePicture(0);
    bench.memory.composePicture(11);
    EXPECT_EQ(composed, 5);
}

}  // namespace
}  // namespace qv
