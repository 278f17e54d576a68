// Which picture a placed layer gets: sources, placeholders in rotation, the
// backdrop without user pictures, and variant C's pictures made on demand.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/PictureChoice.h"
#include "scene/SceneEngine.h"
#include "tests/unit/SceneTestSupport.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using test::labelledBmp;
using test::textureLabel;

const std::string kStillScene = "c:\\windows\\system32\\quorvelkbsrc\\normal\\still_pictures.txt";
const std::string kPlainScene = "c:\\windows\\system32\\quorvelkbsrc\\normal\\title.txt";
const std::string kBaseB = "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP";

std::string still(int n) { return "c:\\windows\\system32\\quorvelkbsrc\\still" + std::to_string(n) + ".jpg"; }
std::string photo(int n) {
    return "C:\\USERS\\QV\\APPDATA\\ROAMING\\TARN CORPORATION\\PHOTO" + std::to_string(n) + ".BMP";
}

// Ten user pictures, buffer i labelled "B<i>", and two data-directory bitmaps.
void fillTen(test::FakePictureMemory& memory) {
    memory.count = 10;
    for (int i = 1; i <= 10; ++i) {
        memory.names[static_cast<std::size_t>(i - 1)] = photo(i);
        memory.buffers[static_cast<std::size_t>(i - 1)] = labelledBmp("B" + std::to_string(i));
    }
    memory.cache.push_back({kBaseB, labelledBmp("base")});
    memory.cache.push_back({"C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO_GB.BMP", labelledBmp("logo")});
}

TEST(ScenePicture, PlaceholdersShowTheUsersPicturesInRotation) {
    test::FakePictureMemory memory;
    fillTen(memory);
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer one, two, three;
    choice.choosePicture(one, still(1), kStillScene);
    EXPECT_EQ(textureLabel(one), "B1");
    EXPECT_EQ(one.sourceName, photo(1));
    choice.choosePicture(two, still(3), kStillScene);
    EXPECT_EQ(textureLabel(two), "B3");
    EXPECT_EQ(choice.lastPlaceholder(), "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\STILL3.JPG");

    // After c hand-overs placeholder n shows buffer ((n - 1 + c) mod 10) + 1.
    choice.advanceRotation();
    choice.choosePicture(three, still(1), kStillScene);
    EXPECT_EQ(textureLabel(three), "B2");
    choice.choosePicture(three, still(10), kStillScene);
    EXPECT_EQ(textureLabel(three), "B1");  // STILL10 after the first hand-over
    for (int c = 2; c <= 9; ++c) choice.advanceRotation();
    choice.choosePicture(three, still(1), kStillScene);
    EXPECT_EQ(textureLabel(three), "B10");  // nine hand-overs
    choice.advanceRotation();
    choice.choosePicture(three, still(2), kStillScene);
    EXPECT_EQ(textureLabel(three), "B2");  // ten: back where it began
}

TEST(ScenePicture, ARotationStartedElsewhereShiftsEveryPlaceholder) {
    // Started 5 slots on (a second monitor beside the primary): placeholder
    // n shows buffer ((n - 1 + 5 + hand-overs) mod 10) + 1. Variant C, whose
    // placeholders never rotate, takes picture ((n - 1 + 5) mod 10) + 1.
    struct Row {
        const Variant& variant;
        int start, handOvers, placeholder;
        const char* label;
    };
    const Row rows[] = {
        {variantB(), 5, 0, 1, "B6"},  {variantB(), 5, 0, 6, "B1"},  {variantB(), 5, 0, 10, "B5"},
        {variantB(), 5, 1, 1, "B7"},  {variantB(), 5, 5, 1, "B1"},  {variantB(), 13, 0, 1, "B4"},
        {variantB(), -1, 0, 1, "B10"}, {variantB(), 0, 0, 3, "B3"}, {variantC(), 5, 0, 2, "C7"},
        {variantC(), 5, 3, 6, "C1"},
    };
    for (const Row& row : rows) {
        test::FakePictureMemory memory;
        fillTen(memory);
        memory.shared = row.variant.picturesOnDemand;
        for (int i = 1; i <= 10; ++i)
            memory.composeSources[static_cast<std::size_t>(i - 1)] = labelledBmp("C" + std::to_string(i));
        RecordingDevice device;
        PictureChoice choice(row.variant, memory, device, row.start);
        for (int c = 0; c < row.handOvers; ++c) choice.advanceRotation();
        SceneLayer layer;
        choice.choosePicture(layer, still(row.placeholder), kStillScene);
        EXPECT_EQ(textureLabel(layer), row.label)
            << row.variant.letter << " start " << row.start << " after " << row.handOvers << " STILL"
            << row.placeholder;
    }
}

TEST(ScenePicture, TheSamePlaceholderTwiceInARowLoadsOnlyOnce) {
    test::FakePictureMemory memory;
    fillTen(memory);
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer three, four;
    const auto old = labelledBmp("old");
    four.loadTexture(device, "OLD", old.data(), old.size());
    const int made = device.textureRequests;
    choice.choosePicture(three, still(1), kStillScene);
    choice.choosePicture(four, still(1), kStillScene);
    EXPECT_EQ(textureLabel(three), "B1");
    EXPECT_EQ(textureLabel(four), "old");  // kept its own
    EXPECT_EQ(four.sourceName, "OLD");
    EXPECT_EQ(device.textureRequests, made + 1);
}

TEST(ScenePicture, SourcesThatNameNoPlaceholder) {
    test::FakePictureMemory memory;
    fillTen(memory);
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer layer;
    const auto old = labelledBmp("old");
    layer.loadTexture(device, "OLD", old.data(), old.size());

    // In a placeholder scene: the replacement is empty and matches no named
    // buffer, so the layer keeps its texture; the name still counts as the
    // last placeholder.
    choice.choosePicture(layer, "c:\\windows\\system32\\quorvelkbsrc\\logo_gb.bmp", kStillScene);
    EXPECT_EQ(textureLabel(layer), "old");
    EXPECT_EQ(choice.lastPlaceholder(), "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO_GB.BMP");
    // A placeholder name at the very start of the source is not one.
    choice.choosePicture(layer, "STILL1.JPG", kStillScene);
    EXPECT_EQ(textureLabel(layer), "old");

    // Even with a buffer that holds nothing (and so has an empty name) the
    // empty replacement does not take the layer's picture away.
    memory.names[4].clear();
    memory.buffers[4].clear();
    choice.choosePicture(layer, "c:\\x\\other.bmp", kStillScene);
    EXPECT_EQ(textureLabel(layer), "old");
    EXPECT_EQ(layer.sourceName, "OLD");
}

TEST(ScenePicture, ABlockWithoutSourceKeepsItsPictureWithoutUserPictures) {
    // No user pictures: all ten buffer names are empty. A change block gives
    // no source; the faded logo must keep its texture.
    test::FakePictureMemory memory;
    memory.cache.push_back({"C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO_GB.BMP", labelledBmp("logo")});
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer layer;
    choice.choosePicture(layer, "c:\\windows\\system32\\quorvelkbsrc\\logo_gb.bmp", kPlainScene);
    ASSERT_EQ(textureLabel(layer), "logo");
    choice.choosePicture(layer, "", kPlainScene);
    EXPECT_EQ(textureLabel(layer), "logo");
    EXPECT_EQ(device.textureRequests, 1);
}

TEST(ScenePicture, WithoutUserPicturesEveryPlaceholderShowsTheBackdrop) {
    test::FakePictureMemory memory;
    fillTen(memory);
    memory.count = 0;
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer a, b;
    choice.choosePicture(a, still(2), kStillScene);
    choice.choosePicture(b, "c:\\anything\\at\\all.bmp", kStillScene);
    EXPECT_EQ(textureLabel(a), "base");
    EXPECT_EQ(textureLabel(b), "base");
    EXPECT_EQ(a.sourceName, kBaseB);
    EXPECT_TRUE(choice.lastPlaceholder().empty());
}

TEST(ScenePicture, OrdinaryScenesLookTheSourceUp) {
    test::FakePictureMemory memory;
    fillTen(memory);
    RecordingDevice device;
    PictureChoice choice(variantB(), memory, device);
    SceneLayer layer;
    choice.choosePicture(layer, "c:\\windows\\system32\\quorvelkbsrc\\logo_gb.bmp", kPlainScene);
    EXPECT_EQ(textureLabel(layer), "logo");
    EXPECT_EQ(layer.sourceName, "c:\\windows\\system32\\quorvelkbsrc\\logo_gb.bmp");
    // A user's picture named by its path, in any case.
    choice.choosePicture(layer, "c:\\users\\qv\\appdata\\roaming\\tarn corporation\\photo7.bmp",
                         kPlainScene);
    EXPECT_EQ(textureLabel(layer), "B7");
    // A name found nowhere leaves texture and name as they were.
    choice.choosePicture(layer, "c:\\nowhere.bmp", kPlainScene);
    EXPECT_EQ(textureLabel(layer), "B7");
    EXPECT_EQ(layer.sourceName, "c:\\users\\qv\\appdata\\roaming\\tarn corporation\\photo7.bmp");
}

TEST(ScenePicture, CacheMatchesAllInABAndTheFirstInC) {
    for (const Variant* v : {&variantB(), &variantC()}) {
        test::FakePictureMemory memory;
        memory.cache.push_back({"C:\\X\\TWICE.BMP", labelledBmp("first")});
        memory.cache.push_back({"C:\\X\\TWICE.BMP", labelledBmp("second")});
        RecordingDevice device;
        PictureChoice choice(*v, memory, device);
        SceneLayer layer;
        choice.choosePicture(layer, "c:\\x\\twice.bmp", kPlainScene);
        const bool c = v->letter == 'C';
        EXPECT_EQ(textureLabel(layer), c ? "first" : "second");
        EXPECT_EQ(device.textureRequests, c ? 1 : 2);
    }
}

TEST(ScenePicture, VariantCMakesPlaceholderPicturesOnDemand) {
    test::FakePictureMemory memory;
    memory.shared = true;
    memory.count = 3;
    for (int i = 1; i <= 10; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        memory.names[index] = photo((i - 1) % 3 + 1);  // 1 2 3 1 2 3 1 2 3 1
        memory.composeSources[index] = labelledBmp("C" + std::to_string(i));
    }
    memory.cache.push_back({"C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\BASE.BMP", labelledBmp("base")});
    RecordingDevice device;
    PictureChoice choice(variantC(), memory, device);
    SceneLayer layer, other;

    // Picture 4 is photo 1 again. It is made now and shown even though slot 1,
    // with the same name, was never made.
    choice.choosePicture(layer, still(4), kStillScene);
    EXPECT_EQ(memory.composed, std::vector<int>({4}));
    EXPECT_EQ(textureLabel(layer), "C4");
    EXPECT_EQ(layer.sourceName, photo(1));

    // Asked again at once: nothing is made, the other layer keeps its texture.
    choice.choosePicture(other, still(4), kStillScene);
    EXPECT_EQ(memory.composed.size(), 1u);
    EXPECT_EQ(other.texture, nullptr);

    // The rotation has no effect here.
    choice.advanceRotation();
    choice.choosePicture(layer, still(1), kStillScene);
    EXPECT_EQ(textureLabel(layer), "C1");

    // A source naming no placeholder looks nothing up but becomes the last
    // placeholder, so the still asked for next is made again.
    choice.choosePicture(layer, "c:\\foo.bmp", kStillScene);
    EXPECT_EQ(textureLabel(layer), "C1");
    EXPECT_EQ(memory.composed.size(), 2u);
    choice.choosePicture(layer, still(1), kStillScene);
    EXPECT_EQ(memory.composed, std::vector<int>({4, 1, 1}));

    // A number with no picture behind it leaves the texture as it was.
    memory.names[9].clear();
    choice.choosePicture(layer, still(10), kStillScene);
    EXPECT_EQ(memory.composed.back(), 10);
    EXPECT_EQ(textureLabel(layer), "C1");

    // No user pictures: the backdrop, nothing made.
    memory.count = 0;
    choice.choosePicture(other, still(2), kStillScene);
    EXPECT_EQ(textureLabel(other), "base");
    EXPECT_EQ(memory.composed.size(), 4u);
}

// The same rules reached through layer files.
struct PictureRig {
    MemoryFiles files;
    RecordingDevice device;
    test::FakePictureMemory memory;
    std::unique_ptr<SceneEngine> engine;
    void file(const std::string& name, const std::string& text) {
        files.addFile(std::string(test::kNormalDirB) + name, text);
    }
    SceneLayer& layer(int i) { return engine->layers()[static_cast<std::size_t>(i)]; }
    void start() {
        engine = std::make_unique<SceneEngine>(variantB(), files, device, memory, ScreenFacts{});
        ASSERT_EQ(engine->startShow(0), 0);
    }
};

TEST(ScenePictureInScenes, PlaceholderSceneAcrossAHandOver) {
    PictureRig rig;
    fillTen(rig.memory);
    rig.file("scenescript.txt",
             "script=.\\still_pair.txt\nend\nscenetime=1\nscript=.\\none.txt\nend\n"
             "continue=.\\again.txt\nend\n");
    rig.file("again.txt", "script=.\\still_pair.txt\nend\nscenetime=60\nend\n");
    rig.file("still_pair.txt",
             "set\nlayer=1\nsource=.\\STILL1.JPG\nend\nset\nlayer=2\nsource=.\\still2.jpg\nend\n"
             "set\nlayer=3\nsource=.\\still2.jpg\nend\n");
    rig.start();
    EXPECT_EQ(textureLabel(rig.layer(1)), "B1");
    EXPECT_EQ(textureLabel(rig.layer(2)), "B2");
    EXPECT_EQ(rig.layer(3).texture, nullptr);  // same placeholder right after: skipped
    // The hand-over comes right after the scene at 1 s, and moves the rotation on.
    double sceneTime = 1.0;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 60000);
    EXPECT_EQ(textureLabel(rig.layer(1)), "B2");
    EXPECT_EQ(textureLabel(rig.layer(2)), "B3");
}

TEST(ScenePictureInScenes, AOnePlaceholderSceneShowsTheNextPictureOnEveryPass) {
    // The scene script repeats itself; its placeholder scene names only
    // STILL1. Pass c must show buffer c, not hold the first picture because
    // STILL1 was also the last placeholder of the pass before.
    PictureRig rig;
    fillTen(rig.memory);
    rig.file("scenescript.txt",
             "scenetime=1\nscript=.\\still_pictures.txt\nend\nscenetime=2\nscript=.\\none.txt\nend\n"
             "continue=.\\scenescript.txt\nend\n");
    rig.file("still_pictures.txt", "set\nlayer=3\nsource=.\\STILL1.JPG\nsx=-40\nex=40\ntime=6\nend\n");
    rig.start();
    for (int pass = 1; pass <= 3; ++pass) {
        SCOPED_TRACE(pass);
        double sceneTime = 1.0;
        EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 2000);
        EXPECT_EQ(textureLabel(rig.layer(3)), "B" + std::to_string(pass));
        sceneTime = 2.0;
        EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 1000);  // handed over to itself
        EXPECT_EQ(sceneTime, 0.0);
    }

    // Within one pass the same placeholder right after is still skipped.
    PictureChoice& choice = rig.engine->pictureChoice();
    SceneLayer four, five;
    choice.choosePicture(four, still(2), kStillScene);
    choice.choosePicture(five, still(2), kStillScene);
    EXPECT_EQ(textureLabel(four), "B5");  // three hand-overs: buffer 2 + 3
    EXPECT_EQ(five.texture, nullptr);
}

TEST(ScenePictureInScenes, MovieAndCameraSourcesAreUsedAsWritten) {
    PictureRig rig;
    fillTen(rig.memory);
    rig.file("scenescript.txt",
             "effect=movie\nscript=.\\m.txt\nend\neffect=camera\nscript=.\\c.txt\nend\n"
             "effect=photo\nscript=.\\p.txt\nend\n");
    rig.file("m.txt", "set\nlayer=1\nsource=.\\logo_gb.bmp\nend\n"
                      "set\nlayer=2\nsource=C:\\WINDOWS\\system32\\QUORvelkbsrc\\Logo_GB.bmp\nend\n");
    rig.file("c.txt", "set\nlayer=3\nsource=c:\\windows\\system32\\quorvelkbsrc\\base.bmp\nend\n");
    rig.file("p.txt", "set\nlayer=4\nsource=.\\LOGO_GB.BMP\nend\n");
    rig.start();
    EXPECT_EQ(rig.layer(1).texture, nullptr);  // ".\LOGO_GB.BMP" is no path
    EXPECT_EQ(textureLabel(rig.layer(2)), "logo");
    EXPECT_EQ(rig.layer(2).sourceName, "C:\\WINDOWS\\system32\\QUORvelkbsrc\\Logo_GB.bmp");
    EXPECT_EQ(textureLabel(rig.layer(3)), "base");
    EXPECT_EQ(textureLabel(rig.layer(4)), "logo");  // resolved in a photo scene
    EXPECT_EQ(rig.layer(4).sourceName, "c:\\windows\\system32\\quorvelkbsrc\\logo_gb.bmp");
}

}  // namespace
}  // namespace qv
