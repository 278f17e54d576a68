// A folder slot in the show: the stored form as the show reads it, the
// hand-over of the worker's pictures to the picture memory, and what the end
// of the show writes, over in-memory files, registry and folders.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "PhotoTestSupport.h"
#include "image/BmpFile.h"
#include "library/LibraryFile.h"
#include "platform/fake/FakeFolders.h"
#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "render/FolderSlotPictures.h"
#include "render/PicturePreparation.h"
#include "render/ShowPictureMemory.h"
#include "variant/Variant.h"

namespace qv {
namespace {

const std::string kAppData = "C:\\users\\me\\AppData\\Roaming";
const std::string kPics = "C:\\Pics\\";

struct FolderBench {
    explicit FolderBench(const Variant& v = variantB())
        : variant(v),
          key(std::string("Software\\Tarn Corporation\\QUOR VELK-") + v.letter + " Screen Saver"),
          user(kAppData + v.userFolderSuffix),
          decoder(files),
          pictureDecoder(files),
          slots(v, files, folders, pictureDecoder, random, user, 768),
          memory(v) {
        files.addFile(v.basePicture, encodeBmp24(testing::makeImage(8, 6, [](int, int) {
                          return std::array<unsigned char, 3>{10, 20, 200};
                      })));
        registry.putDword(key, "photo_num", 1);
        registry.putString(key, "photo1", bitmap());
        registry.putString(key, "photo1_real", kPics);
        files.addFile(bitmap(), encodeBmp24(testing::makeImage(40, 30, [](int, int) {
                          return std::array<unsigned char, 3>{0, 100, 20};
                      })));
    }
    std::string bitmap() const { return user + "photo1.bmp"; }
    // A picture of the folder; its size tells it apart on the canvas.
    void addPicture(const std::string& name, std::uint32_t w, std::uint32_t h) {
        files.addFile(kPics + name, testing::pngBytes(w, h));
        folders.addFile(kPics + name);
    }
    void addBroken(const std::string& name) {
        files.addFile(kPics + name, std::string("not a picture"));
        folders.addFile(kPics + name);
    }
    void prepare() {
        memory.useFolderSlots(&slots);
        memory.preparePictures(files, decoder, registry, kAppData, 1024, 768);
    }
    void work() {
        while (slots.step()) {
        }
    }
    // The bytes picture 1 would be drawn from now.
    std::vector<unsigned char> shown() {
        memory.composePicture(1);
        const PictureImage image = memory.pictureImage(1);
        return {image.bytes, image.bytes + image.size};
    }

    const Variant& variant;
    const std::string key;
    const std::string user;
    MemoryFiles files;
    MemoryRegistry registry;
    FakeFolders folders;
    testing::FakeDecoder decoder;
    testing::FakePictureDecoder pictureDecoder;
    SeededRandom random{7};
    FolderSlotPictures slots;
    ShowPictureMemory memory;
};

TEST(FolderSlotShow, TheStoredFormIsReadByTheShowAndAMissingBitmapIsNotRebuiltBeforeTheShowStarts) {
    struct Row {
        const char* what;
        bool bitmap;
        const char* path;  // of picture 1, after the user folder
        PictureAccess access;
        bool toMake;  // handed to the worker to make again
    };
    const Row rows[] = {
        {"bitmap present: the slot starts on it, no listing", true, "photo1.bmp", PictureAccess::Show, false},
        {"bitmap gone: passed over as a missing picture, made later", false, "", PictureAccess::Show, true},
        {"bitmap gone in the preview: passed over, never made", false, "", PictureAccess::ReadOnly, false},
    };
    for (const Row& row : rows) {
        FolderBench bench;
        bench.addPicture("a.png", 400, 300);
        if (!row.bitmap) bench.files.remove(bench.bitmap());
        testing::RecordingMessages messages;
        PhotoImport import(bench.variant, bench.files, bench.decoder, messages, 768);
        const ShowPictureList list = chooseShowPictures(bench.variant, bench.registry, bench.files, import,
                                                        kAppData, 1024, 768, row.access);
        std::string toMake;
        for (const auto& missing : list.missingFolderBitmaps)
            toMake += std::to_string(missing.slot) + " " + missing.folder + " " + missing.bitmap;
        EXPECT_EQ(toMake, row.toMake ? "1 " + kPics + " " + bench.bitmap() : "") << row.what;
        // The preview gives the worker nothing to do: nothing is ever written for it.
        bench.memory.useFolderSlots(&bench.slots);
        bench.memory.preparePictures(bench.files, bench.decoder, bench.registry, kAppData, 1024, 768,
                                     row.access);
        EXPECT_EQ(bench.slots.hasAnySlot(), row.access == PictureAccess::Show) << row.what;
        EXPECT_EQ(list.paths[0], row.bitmap ? bench.user + row.path : std::string()) << row.what;
        EXPECT_EQ(list.folders[0], row.bitmap ? kPics : std::string()) << row.what;
        EXPECT_EQ(list.slots[0], row.bitmap ? 1 : 0) << row.what;
        EXPECT_EQ(bench.files.exists(bench.bitmap()), row.bitmap) << row.what;
        EXPECT_EQ(bench.pictureDecoder.calls + bench.decoder.jpegCalls, 0) << row.what;
        EXPECT_TRUE(bench.folders.listed.empty()) << row.what;
    }
}

TEST(FolderSlotShow, TheRotationTakesAPreparedPictureOnceAndOtherwiseKeepsTheOneShown) {
    struct Step {
        const char* what;
        bool workerRuns;  // the worker prepares what is asked before the rotation comes back
        bool changes;     // picture 1 shows another picture after the hand-over
    };
    // Every buffer shows slot 1 (the only one): the worker keeps three
    // pictures ready, taken in the slot's order by whichever buffer comes.
    const Step steps[] = {
        {"nothing prepared yet: the same picture", false, false},
        {"prepared: the first swapped in", true, true},
        {"the second, prepared with it", false, true},
        {"the third", false, true},
        {"none left: the same picture again", false, false},
        {"prepared again: the next one", true, true},
    };
    for (const Variant* variant : {&variantB(), &variantC()}) {
        FolderBench bench(*variant);
        bench.addPicture("a.png", 400, 300);
        bench.addPicture("2020\\b.png", 300, 400);
        bench.addPicture("2020\\c.png", 500, 250);
        bench.addPicture("d.png", 200, 200);
        bench.addPicture("e.png", 600, 200);
        bench.prepare();
        std::vector<const unsigned char*> replaced;
        bench.memory.listenToReplacements(&replaced, [&](const unsigned char* bytes) { replaced.push_back(bytes); });
        std::vector<unsigned char> before = bench.shown();
        std::set<std::vector<unsigned char>> seen{before};
        std::size_t swaps = 0;
        for (const Step& step : steps) {
            const unsigned char* oldBytes = bench.memory.pictureImage(1).bytes;
            if (step.workerRuns) bench.work();
            bench.memory.nextFolderPicture(1);
            const std::vector<unsigned char> now = bench.shown();
            EXPECT_EQ(now != before, step.changes) << variant->letter << ": " << step.what;
            // Five pictures, each shown once: no picture comes back in the round.
            if (step.changes) {
                EXPECT_TRUE(seen.insert(now).second) << variant->letter << ": " << step.what;
            }
            if (step.changes && !variant->picturesOnDemand) {
                ++swaps;
                ASSERT_EQ(replaced.size(), swaps) << step.what;
                EXPECT_EQ(replaced.back(), oldBytes) << step.what;
            }
            before = now;
        }
    }
}

TEST(FolderSlotShow, StoppingTheWorkerGivesUpThePictureBeingDecodedAndTriesNoOther) {
    FolderBench bench;
    for (const char* name : {"a.png", "b.png", "c.png"}) bench.addPicture(name, 400, 300);
    bench.prepare();
    ASSERT_TRUE(bench.slots.step());  // the library file
    ASSERT_TRUE(bench.slots.step());  // the listing
    // The show ends while the first picture is being decoded.
    bench.pictureDecoder.whileDecoding = [&] { bench.slots.stop(); };
    const int before = bench.pictureDecoder.calls;
    EXPECT_TRUE(bench.slots.step());
    EXPECT_EQ(bench.pictureDecoder.calls - before, 1);
    PreparedPicture taken;
    EXPECT_FALSE(bench.slots.take(0, taken));
}

TEST(FolderSlotShow, TheEndOfTheShowWritesThePictureOnScreenAndTheOrderAfterIt) {
    struct Row {
        const char* what;
        int good;            // usable pictures in the folder
        bool broken;         // and a file that is no picture
        bool folderGone;     // the folder cannot be listed
        bool oldLibrary;     // a library file from an earlier show
        bool damaged;        // that file damaged
        int takes;           // hand-overs during the show
        bool bitmapChanges;  // photo1.bmp is rewritten
        std::size_t position;   // how far the written round has come
        std::size_t roundSize;  // pictures in it
    };
    const Row rows[] = {
        {"two shown of three: the second on disk, the third next", 3, false, false, false, false, 2, true, 2, 3},
        {"nothing shown: bitmap kept, order written from the listing", 3, false, false, false, false, 0, false, 0, 3},
        {"no usable picture: bitmap kept", 0, true, false, false, false, 1, false, 0, 1},
        // a was the round's last: the next round is drawn, none of it shown.
        {"folder gone: the earlier order goes on from its file", 0, false, true, true, false, 1, true, 0, 2},
        {"damaged file: rebuilt from the folder", 2, false, false, true, true, 1, true, 1, 2},
    };
    for (const Row& row : rows) {
        FolderBench bench;
        const char* names[] = {"a.png", "b.png", "c.png"};
        for (int i = 0; i < row.good; ++i) bench.addPicture(names[i], 300 + 50u * i, 300);
        if (row.broken) bench.addBroken("z.png");
        if (row.oldLibrary) {
            // Yesterday's order: b then a, b on screen; the pictures are
            // still there though the folder cannot be listed.
            bench.files.addFile(kPics + "a.png", testing::pngBytes(400, 300));
            bench.files.addFile(kPics + "b.png", testing::pngBytes(300, 400));
            LibraryState old{kPics, {"b.png", "a.png"}, 1, "b.png"};
            ASSERT_TRUE(writeLibraryFile(bench.files, bench.user, 1, old));
            if (row.damaged) {
                std::string bytes = bench.files.contents(bench.user + "photo1.library");
                bytes[bytes.size() / 2] ^= 0x55;
                bench.files.addFile(bench.user + "photo1.library", bytes);
            }
        }
        if (row.folderGone) bench.folders.vanish(kPics);
        bench.prepare();
        const std::string bitmapBefore = bench.files.contents(bench.bitmap());
        const std::string libraryBefore = bench.files.contents(bench.user + "photo1.library");
        std::string onScreen;
        std::shared_ptr<const Image> picture;
        for (int t = 0; t < row.takes; ++t) {
            bench.work();
            PreparedPicture taken;
            if (bench.slots.take(0, taken)) {
                onScreen = taken.name;
                picture = taken.converted;
            }
        }
        bench.work();
        bench.slots.stop();
        EXPECT_TRUE(bench.slots.writeAtEnd()) << row.what;

        const std::string bitmapAfter = bench.files.contents(bench.bitmap());
        EXPECT_EQ(bitmapAfter != bitmapBefore, row.bitmapChanges) << row.what;
        if (picture) {
            const std::vector<unsigned char> expected = encodeBmp24(*picture);
            EXPECT_EQ(bitmapAfter, std::string(expected.begin(), expected.end())) << row.what;
        }
        LibraryState written;
        ASSERT_TRUE(readLibraryFile(bench.files, bench.user, 1, kPics, written)) << row.what;
        EXPECT_EQ(written.position, row.position) << row.what;
        EXPECT_EQ(written.current, onScreen) << row.what;
        if (written.position > 0) {
            EXPECT_EQ(written.round[written.position - 1], onScreen) << row.what;
        }
        if (row.folderGone) {
            EXPECT_EQ(onScreen, "a.png");
            EXPECT_EQ(written.round, (std::vector<std::string>{"b.png", "a.png"})) << row.what;
        }
        EXPECT_EQ(written.round.size(), row.roundSize) << row.what;
        EXPECT_NE(bench.files.contents(bench.user + "photo1.library"), libraryBefore) << row.what;
    }
}

TEST(FolderSlotShow, AMissingBitmapIsMadeAgainByTheWorkerFromTheKeptOrder) {
    // On a 768-line screen (base height 491) a.png (3:2) converts to
    // 818 x 545, b.png (3:4) to 368 x 491, c.png (7:6) to 572 x 491; z.png is
    // no picture. Kept: the round of the library file, b on screen.
    const std::map<char, std::pair<int, int>> sizes = {
        {'a', {818, 545}}, {'b', {368, 491}}, {'c', {572, 491}}};
    struct Row {
        const char* what;
        const char* folder;  // its pictures by letter; "-": gone
        const char* kept;    // "" none, "!" damaged
        bool bitmap;         // photo1.bmp there at the start
        char made;           // the picture written ('*': a new order's first; 0: nothing written)
        std::size_t position;
    } const rows[] = {
        {"kept order: the one after the picture shown", "abc", "bca", false, 'c', 2},
        {"the next one broken: passed over", "abcz", "bza", false, 'a', 3},
        {"no library file: a new order's first", "abc", "", false, '*', 1},
        {"damaged library file: as none", "abc", "!", false, '*', 1},
        {"folder gone: nothing written", "-", "bca", false, 0, 0},
        {"no usable picture: nothing written", "z", "", false, 0, 0},
        {"bitmap there: left as it is", "abc", "bca", true, 0, 0},
    };
    for (const Row& row : rows) {
        FolderBench bench;
        const std::pair<std::uint32_t, std::uint32_t> stored[] = {{600, 400}, {300, 400}, {700, 600}};
        for (const char* c = row.folder; *c; ++c) {
            const std::string name = std::string(1, *c) + ".png";
            if (*c == 'z') bench.addBroken(name);
            if (*c >= 'a' && *c <= 'c')
                bench.addPicture(name, stored[*c - 'a'].first, stored[*c - 'a'].second);
        }
        if (!row.bitmap) bench.files.remove(bench.bitmap());
        std::vector<std::string> round;
        for (const char* c = row.kept; *c; ++c) round.push_back(std::string(1, *c) + ".png");
        if (!round.empty()) {
            ASSERT_TRUE(writeLibraryFile(bench.files, bench.user, 1, {kPics, round, 1, "b.png"}));
        }
        const std::string library = bench.user + "photo1.library";
        if (*row.kept == '!') bench.files.addFile(library, std::string("QVLB damaged"));
        if (*row.folder == '-') bench.folders.vanish(kPics);
        const std::string bitmapBefore = bench.files.contents(bench.bitmap());
        const std::string libraryBefore = bench.files.contents(library);

        // The show starts as fast as ever: nothing decoded, nothing listed.
        bench.prepare();
        EXPECT_EQ(bench.pictureDecoder.calls + bench.folders.listed.size(), 0u) << row.what;
        bench.work();
        bench.slots.stop();
        const std::string made = bench.files.contents(bench.bitmap());
        EXPECT_TRUE(bench.slots.writeAtEnd()) << row.what;
        // Written once, by the worker; the end of the show leaves it.
        EXPECT_EQ(bench.files.contents(bench.bitmap()), made) << row.what;
        if (row.made == 0) {
            EXPECT_EQ(made, bitmapBefore) << row.what;
            EXPECT_EQ(bench.files.contents(library), libraryBefore) << row.what;
            continue;
        }
        LibraryState state;
        ASSERT_TRUE(readLibraryFile(bench.files, bench.user, 1, kPics, state)) << row.what;
        EXPECT_EQ(state.current, row.made == '*' ? state.round.front() : std::string(1, row.made) + ".png")
            << row.what;
        EXPECT_EQ(state.position, row.position) << row.what;
        BmpInfo info;
        ASSERT_TRUE(readBmpInfo(reinterpret_cast<const unsigned char*>(made.data()), made.size(), info))
            << row.what;
        EXPECT_EQ(std::make_pair(info.width, info.height), sizes.at(state.current[0])) << row.what;
    }
}

}  // namespace
}  // namespace qv
