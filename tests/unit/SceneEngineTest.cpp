// The scene timeline: first scenes, due scenes, hand-overs, layer files.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/SceneEngine.h"
#include "tests/unit/SceneTestSupport.h"
#include "variant/Variant.h"

namespace qv {
namespace {

struct EngineRig {
    explicit EngineRig(const Variant& v = variantB()) : variant(v) {}

    const Variant& variant;
    MemoryFiles files;
    RecordingDevice device;
    test::FakePictureMemory memory;
    std::unique_ptr<SceneEngine> engine;

    // A file in the variant's normal scene folder.
    void file(const std::string& name, const std::string& text) {
        files.addFile(std::string(variant.dataDir) + "normal\\" + name, text);
    }
    long start(ScreenFacts screen = {}) {
        engine = std::make_unique<SceneEngine>(variant, files, device, memory, screen);
        return engine->startShow(0);
    }
    SceneLayer& layer(int i) { return engine->layers()[static_cast<std::size_t>(i)]; }
    int advance(double sceneTime) { return engine->advanceScenes(sceneTime); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) engine->stepLayers();
    }
    // How often a file whose path ends in name was opened.
    int opens(const std::string& name) const {
        int count = 0;
        for (const std::string& path : files.openLog()) {
            if (path.size() >= name.size() &&
                MemoryFiles::key(path.substr(path.size() - name.size())) == MemoryFiles::key(name))
                ++count;
        }
        return count;
    }
};

TEST(SceneEngineTimeline, FirstSceneAtTwoAndAHalfSeconds) {
    EngineRig rig;
    rig.file("scenescript.txt", "scenetime=2.5\nscript=.\\a.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_EQ(rig.engine->nextSceneTime(), 2000);  // whole seconds at the start
    EXPECT_FALSE(rig.layer(1).inUse);

    // 40 ticks: 2.0 s; 2.0 + 0.01 is short of 2.5, nothing is due yet.
    double sceneTime = 40 * 0.05f;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 2500);
    EXPECT_EQ(sceneTime, 2.0);
    EXPECT_FALSE(rig.layer(1).inUse);

    EXPECT_EQ(rig.advance(50 * 0.05f), 0);  // built; the script has ended
    EXPECT_TRUE(rig.layer(1).inUse);
    EXPECT_EQ(rig.opens("a.txt"), 1);
}

TEST(SceneEngineTimeline, ScenesAtZeroAreBuiltByStartShow) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "script=.\\a.txt\nend\n"        // scene time 0 by default
             "script=.\\b.txt\nend\n"        // no scenetime: due with the one before
             "scenetime=3.7\nscript=.\\c.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    rig.file("b.txt", "set\nlayer=2\nend\n");
    rig.file("c.txt", "set\nlayer=3\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_TRUE(rig.layer(1).inUse);
    EXPECT_TRUE(rig.layer(2).inUse);
    EXPECT_FALSE(rig.layer(3).inUse);
    EXPECT_EQ(rig.engine->nextSceneTime(), 3000);
}

TEST(SceneEngineTimeline, PassedHeadersAreBuiltInOneCallInFileOrder) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "scenetime=1\nscript=.\\a.txt\nend\n"
             "scenetime=2\nscript=.\\b.txt\nend\n"
             "scenetime=3\nscript=.\\c.txt\nend\n"
             "scenetime=5.25\nscript=.\\d.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nsx=1\nend\n");
    rig.file("b.txt", "set\nlayer=1\nsx=2\nend\n");
    rig.file("c.txt", "set\nlayer=2\nsx=3\nend\n");
    rig.file("d.txt", "set\nlayer=3\nend\n");
    rig.start();
    EXPECT_EQ(rig.engine->nextSceneTime(), 1000);
    EXPECT_EQ(rig.advance(3.0), 5250);
    EXPECT_EQ(rig.layer(1).startX, 2.0f);  // b came after a
    EXPECT_TRUE(rig.layer(2).inUse);
    EXPECT_FALSE(rig.layer(3).inUse);
    // Opened in file order, each once.
    std::string order;
    for (const std::string& path : rig.files.openLog()) order += path.back() == 't' ? path.substr(path.size() - 5, 1) : "";
    EXPECT_EQ(order, "tabc");  // scenescript.txt, a, b, c
}

TEST(SceneEngineTimeline, AHundredthOfASecondEarlyCounts) {
    EngineRig rig;
    rig.file("scenescript.txt", "scenetime=1\nscript=.\\a.txt\nend\nscenetime=9\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    rig.start();
    EXPECT_EQ(rig.advance(0.98), 1000);  // 0.99 < 1
    EXPECT_FALSE(rig.layer(1).inUse);
    EXPECT_EQ(rig.advance(0.99), 9000);  // 1.00 >= 1
    EXPECT_TRUE(rig.layer(1).inUse);
}

TEST(SceneEngineTimeline, HeaderWithoutEndIsNotApplied) {
    EngineRig rig;
    rig.file("scenescript.txt", "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\nscript=.\\b.txt\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    rig.file("b.txt", "set\nlayer=2\nend\n");
    rig.start();
    EXPECT_TRUE(rig.layer(1).inUse);
    // The unfinished header ended the script: nothing is due any more, and
    // a timer that fires anyway builds nothing.
    EXPECT_EQ(rig.engine->nextSceneTime(), 0);
    EXPECT_EQ(rig.advance(0.0), 0);
    EXPECT_EQ(rig.advance(1.0), 0);
    EXPECT_FALSE(rig.layer(2).inUse);
    EXPECT_EQ(rig.opens("b.txt"), 0);

    // The first header of the show is the exception when due at 0.
    EngineRig first;
    first.file("scenescript.txt", "script=.\\a.txt\n");
    first.file("a.txt", "set\nlayer=1\nend\n");
    first.start();
    EXPECT_TRUE(first.layer(1).inUse);
    EXPECT_EQ(first.advance(0.0), 0);
    EXPECT_EQ(first.opens("a.txt"), 1);

    // Due later, it is not applied either.
    EngineRig later;
    later.file("scenescript.txt", "scenetime=2\nscript=.\\a.txt\n");
    later.file("a.txt", "set\nlayer=1\nend\n");
    later.start();
    EXPECT_EQ(later.engine->nextSceneTime(), 0);
    EXPECT_EQ(later.advance(2.0), 0);
    EXPECT_FALSE(later.layer(1).inUse);
}

TEST(SceneEngineTimeline, MissingScriptFailsTheStartAndTouchesNoLayer) {
    EngineRig rig;
    EXPECT_EQ(rig.start(), kGenericFailure);
    EXPECT_EQ(kGenericFailure, static_cast<long>(static_cast<int>(0x80004005u)));
    for (const SceneLayer& layer : rig.engine->layers()) EXPECT_FALSE(layer.inUse);
    EXPECT_EQ(rig.engine->nextSceneTime(), 0);
}

TEST(SceneEngineTimeline, WideScreensReadTheWideScripts) {
    EngineRig rig;
    rig.files.addFile("C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\scenescript.txt",
                      "script=.\\a.txt\nend\n");
    rig.files.addFile("C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\a.txt", "set\nlayer=4\nend\n");
    ScreenFacts wide{1920, 1080, 1920, 1080};
    EXPECT_EQ(rig.start(wide), 0);
    EXPECT_EQ(rig.engine->currentSceneDirectory(), "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\wide\\");
    EXPECT_TRUE(rig.layer(4).inUse);
}

TEST(SceneEngineHandOver, LeavesUnplacedLayersOnScreenUnmoving) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "scenetime=0\nscript=.\\a.txt\nend\n"
             "scenetime=2\nscript=.\\a2.txt\nend\n"
             "continue=C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\second.txt\nend\n");
    rig.file("a.txt",
             "set\nlayer=1\nsx=0\nex=100\ntime=10\nend\n"
             "set\nlayer=2\nsx=0\nex=-100\ntime=10\nend\n");
    rig.file("a2.txt", "set\nlayer=3\nend\n");
    rig.files.addFile("C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\second.txt",
                      "scenetime=0.5\nscript=.\\b.txt\nend\n");
    rig.files.addFile("C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\b.txt",
                      "set\nlayer=1\nsx=7\nend\n");
    rig.start();
    EXPECT_EQ(rig.engine->nextSceneTime(), 2000);
    rig.ticks(40);
    const float layer2x = rig.layer(2).corners[0].x;
    EXPECT_LT(layer2x, 0.0f);  // it has been moving left

    double sceneTime = 2.0;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 500);
    EXPECT_EQ(sceneTime, 0.0);  // the caller restarts its tick count
    EXPECT_EQ(rig.engine->currentSceneDirectory(), "C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\");
    for (const SceneLayer& layer : rig.engine->layers()) EXPECT_FALSE(layer.inUse);
    EXPECT_TRUE(rig.layer(3).started == false);  // a2 placed it but it never ticked
    EXPECT_EQ(rig.engine->pictureChoice().stillRotation()[0], 2);

    rig.ticks(10);
    EXPECT_EQ(rig.layer(2).corners[0].x, layer2x);  // stopped where it stood
    EXPECT_EQ(rig.advance(0.5), 0);
    EXPECT_TRUE(rig.layer(1).inUse);   // placed again by b.txt (in the new folder)
    EXPECT_EQ(rig.layer(1).startX, 7.0f);
    EXPECT_FALSE(rig.layer(2).inUse);
    rig.ticks(10);
    EXPECT_EQ(rig.layer(2).corners[0].x, layer2x);
    // Still drawn with the others.
    rig.engine->drawLayers();
    bool drewLayer2 = false;
    for (const auto& draw : rig.device.draws) drewLayer2 |= draw.corners[0].x == layer2x;
    EXPECT_TRUE(drewLayer2);
}

TEST(SceneEngineHandOver, ChainThatCannotBeOpenedEndsTheScenes) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\ncontinue=.\\gone.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nsx=0\nex=10\ntime=5\nend\n");
    rig.start();
    double sceneTime = 1.0;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 0);
    EXPECT_EQ(sceneTime, 1.0);
    EXPECT_TRUE(rig.layer(1).inUse);  // nothing was handed over

    // A chained name too long for a path is refused the same way.
    EngineRig longName;
    longName.file("scenescript.txt", "scenetime=0\nscript=.\\a.txt\nend\ncontinue=.\\" +
                                         std::string(300, 'x') + ".txt\nend\n");
    longName.file("a.txt", "set\nlayer=1\nend\n");
    longName.start();
    EXPECT_TRUE(longName.layer(1).inUse);
    EXPECT_EQ(longName.advance(0.0), 0);
}

TEST(SceneEngineHandOver, RoundLimitsStopAScriptThatChainsToItself) {
    EngineRig rig;
    rig.file("scenescript.txt", "script=.\\a.txt\nend\ncontinue=.\\scenescript.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_EQ(rig.opens("a.txt"), 202);
    EXPECT_EQ(rig.engine->nextSceneTime(), 0);
    EXPECT_EQ(rig.advance(0.0), 0);
    EXPECT_EQ(rig.opens("a.txt"), 202 + 2001);

    // A script that does nothing but hand over to itself ends too: 2001
    // hand-overs in one call, each moving the rotation on (2001 = 1 mod 10).
    EngineRig self;
    self.file("scenescript.txt", "continue=.\\scenescript.txt\nend\n");
    EXPECT_EQ(self.start(), 0);
    const int opensAtStart = self.opens("scenescript.txt");
    EXPECT_EQ(self.advance(0.0), 0);
    EXPECT_EQ(self.opens("scenescript.txt") - opensAtStart, 2001);
    EXPECT_EQ(self.engine->pictureChoice().stillRotation()[0], 2);
}

TEST(SceneEngineHandOver, AScriptThatBeginsWithAHandOverPassesItOn) {
    // menu.txt only hands over (continue, or random with one name): reached
    // during the show it must pass the show on to b.txt, as it does at the
    // start, not be applied as a layer file and end the show.
    for (const std::string menu : {"continue=.\\b.txt\nend\n", "random\n.\\b.txt\n"}) {
        SCOPED_TRACE(menu);
        EngineRig rig;
        rig.file("scenescript.txt",
                 "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\nscript=.\\a.txt\nend\n"
                 "continue=.\\menu.txt\nend\n");
        rig.file("a.txt", "set\nlayer=1\nend\n");
        rig.file("menu.txt", menu);
        rig.file("b.txt", "scenetime=0.5\nscript=.\\c.txt\nend\nscenetime=7\nend\n");
        rig.file("c.txt", "set\nlayer=2\nsx=4\nend\n");
        rig.start();
        double sceneTime = 1.0;
        EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 500);  // b.txt's first scene
        EXPECT_EQ(sceneTime, 0.0);
        EXPECT_EQ(rig.opens("menu.txt"), 1);  // read as a scene script only
        EXPECT_EQ(rig.opens("b.txt"), 1);
        // Two hand-overs: placeholder 1 now shows buffer 3.
        EXPECT_EQ(rig.engine->pictureChoice().stillRotation()[0], 3);
        EXPECT_EQ(rig.advance(0.5), 7000);
        EXPECT_TRUE(rig.layer(2).inUse);
        EXPECT_EQ(rig.layer(2).startX, 4.0f);
    }
}

TEST(SceneEngineHandOver, AHandOverToAScriptWhoseFirstHeaderHasNoEndStopsTheScenes) {
    // The header cut off by the end of its file is not applied, exactly as
    // when startShow meets it; the layers on screen hold.
    EngineRig rig;
    rig.file("scenescript.txt",
             "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\nscript=.\\a.txt\nend\n"
             "continue=.\\second.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    rig.file("second.txt", "scenetime=0.5\nscript=.\\b.txt\n");
    rig.file("b.txt", "set\nlayer=2\nend\n");
    rig.start();
    double sceneTime = 1.0;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 0);  // nothing due any more
    EXPECT_EQ(sceneTime, 0.0);                           // but the hand-over happened
    EXPECT_FALSE(rig.layer(1).inUse);
    EXPECT_EQ(rig.advance(0.5), 0);
    EXPECT_EQ(rig.advance(3.0), 0);
    EXPECT_FALSE(rig.layer(2).inUse);
    EXPECT_EQ(rig.opens("b.txt"), 0);

    // An empty script handed over to ends the scenes at once; it is not
    // opened a second time as a layer file.
    EngineRig empty;
    empty.file("scenescript.txt",
               "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\nscript=.\\a.txt\nend\n"
               "continue=.\\empty.txt\nend\n");
    empty.file("a.txt", "set\nlayer=1\nend\n");
    empty.file("empty.txt", "");
    empty.start();
    EXPECT_EQ(empty.advance(1.0), 0);
    EXPECT_EQ(empty.opens("empty.txt"), 1);
}

TEST(SceneEngineHandOver, AFirstHeaderThatHandsOverLaterDoesSoWhenDueAtStartAndMidShow) {
    // The show's first header chains at 2 s: nothing is built at the start,
    // and at 2 s the show moves to second.txt instead of applying the chained
    // name as a layer file and reading on in the old script.
    EngineRig rig;
    rig.file("scenescript.txt",
             "scenetime=2\ncontinue=.\\second.txt\nend\nscript=.\\never.txt\nend\n");
    rig.file("second.txt", "script=.\\b.txt\nend\nscenetime=8\nend\n");
    rig.file("b.txt", "set\nlayer=3\nend\n");
    rig.file("never.txt", "set\nlayer=4\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_EQ(rig.engine->nextSceneTime(), 2000);
    EXPECT_EQ(rig.opens("second.txt"), 0);
    EXPECT_EQ(rig.advance(1.5), 2000);  // not yet
    EXPECT_EQ(rig.opens("second.txt"), 0);
    double sceneTime = 2.0;
    EXPECT_EQ(rig.engine->advanceScenes(sceneTime), 8000);
    EXPECT_EQ(sceneTime, 0.0);
    EXPECT_TRUE(rig.layer(3).inUse);  // second.txt's scene at 0
    EXPECT_FALSE(rig.layer(4).inUse);
    EXPECT_EQ(rig.opens("second.txt"), 1);
    EXPECT_EQ(rig.engine->pictureChoice().stillRotation()[0], 2);

    // The same rule mid-show: reached by a hand-over at 1 s, menu.txt's
    // first header hands over at 3 s of its own time, not at once.
    EngineRig mid;
    mid.file("scenescript.txt",
             "scenetime=0\nscript=.\\a.txt\nend\nscenetime=1\nscript=.\\a.txt\nend\n"
             "continue=.\\menu.txt\nend\n");
    mid.file("a.txt", "set\nlayer=1\nend\n");
    mid.file("menu.txt", "scenetime=3\ncontinue=.\\b.txt\nend\n");
    mid.file("b.txt", "scenetime=0.5\nscript=.\\c.txt\nend\n");
    mid.file("c.txt", "set\nlayer=2\nend\n");
    mid.start();
    sceneTime = 1.0;
    EXPECT_EQ(mid.engine->advanceScenes(sceneTime), 3000);
    EXPECT_EQ(sceneTime, 0.0);
    EXPECT_EQ(mid.opens("b.txt"), 0);
    EXPECT_EQ(mid.advance(2.95), 3000);  // 2.95 + 0.01 is short of 3
    EXPECT_EQ(mid.opens("b.txt"), 0);
    sceneTime = 3.0;
    EXPECT_EQ(mid.engine->advanceScenes(sceneTime), 500);
    EXPECT_EQ(sceneTime, 0.0);
    EXPECT_EQ(mid.opens("b.txt"), 1);
    EXPECT_EQ(mid.opens("menu.txt"), 1);  // read as a scene script only
    EXPECT_EQ(mid.engine->pictureChoice().stillRotation()[0], 3);
}

TEST(SceneEngineLayerFile, LayerThirtyEndsTheFile) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "script=.\\a.txt\nend\nscript=.\\b.txt\nend\nscript=.\\c.txt\nend\nscenetime=4\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\nset\nlayer=30\nend\nset\nlayer=2\nend\n");
    rig.file("b.txt", "set\nlayer=-1\nend\nset\nlayer=3\nend\n");
    rig.file("c.txt",
             "layer=30\nend\n"          // no set: read and dropped, not an end
             "set\nlayer=29.9\nend\n"   // record 29
             "set\nend\n");             // no layer: record 0
    rig.start();
    EXPECT_TRUE(rig.layer(1).inUse);
    EXPECT_FALSE(rig.layer(2).inUse);
    EXPECT_FALSE(rig.layer(3).inUse);
    EXPECT_TRUE(rig.layer(29).inUse);
    EXPECT_FLOAT_EQ(rig.layer(29).layerNumber, 29.9f);
    EXPECT_TRUE(rig.layer(0).inUse);
    // Record 0 is neither stepped nor drawn; 22-29 step but are not drawn in B.
    rig.ticks(3);
    EXPECT_FALSE(rig.layer(0).started);
    EXPECT_TRUE(rig.layer(29).started);
    rig.engine->drawLayers();
    EXPECT_EQ(rig.device.drawCount, 1);  // layer 1 only
}

TEST(SceneEngineLayerFile, VariantADrawsLayerTwentyTwo) {
    for (const Variant* v : {&variantA(), &variantB(), &variantC()}) {
        EngineRig rig(*v);
        rig.file("scenescript.txt", "script=.\\a.txt\nend\n");
        rig.file("a.txt", "set\nlayer=21\nend\nset\nlayer=22\nend\nset\nlayer=23\nend\n");
        ASSERT_EQ(rig.start(), 0) << v->letter;
        rig.ticks(1);
        rig.engine->drawLayers();
        EXPECT_EQ(rig.device.drawCount, v->letter == 'A' ? 2 : 1) << v->letter;
    }
}

TEST(SceneEngineLayerFile, BlockValuesReachTheLayer) {
    EngineRig rig;
    rig.file("scenescript.txt", "sx=5\nsy=-5\nscript=.\\a.txt\nend\n");
    rig.file("a.txt",
             "wait=3\n"  // before set: also record 2's wait
             "set\nlayer=5\nsx=1\nex=11\nsy=2\nswidth=20\nsheight=8\nsred=256\nsgreen=-1\n"
             "salpha=128\ntime=2\nend\n"
             "set\nlayer=6\nsrot=90\nerot=90\nend\n");
    rig.start();
    SceneLayer& five = rig.layer(5);
    EXPECT_EQ(five.wait, 3.0f);
    EXPECT_EQ(rig.layer(2).wait, 3.0f);
    EXPECT_EQ(five.startX, 6.0f);  // scene offset added
    EXPECT_EQ(five.endX, 16.0f);
    EXPECT_EQ(five.startY, -3.0f);
    EXPECT_EQ(five.endY, -3.0f);   // sy also set ey
    EXPECT_EQ(five.duration, 2.0);
    EXPECT_EQ(five.stepSize, 0.025f);
    EXPECT_EQ(five.startHalfWidth, 10.0f);
    EXPECT_EQ(five.corners[0].colour, 0x8000FFFFu);  // alpha 128, red 256 -> 0, green -1 -> 255
    EXPECT_FLOAT_EQ(five.corners[0].z, 14.3125f);
    // Sixty additions of 0.05 in single precision stay just under 3, so the
    // wait takes 61 ticks and the layer starts on the 62nd.
    rig.ticks(61);
    EXPECT_FALSE(five.started);
    rig.ticks(1);
    EXPECT_TRUE(five.started);

    SceneLayer& six = rig.layer(6);
    rig.ticks(1);
    EXPECT_NEAR(six.corners[0].x, -5.0 + 5, 1e-3);  // turned a quarter: (x - 5, y + 5)
    EXPECT_NEAR(six.corners[0].y, 5.0 - 5, 1e-3);
}

TEST(SceneEngineLayerFile, ChangeBlockWithoutTimeMovesWithThePreviousDuration) {
    EngineRig rig;
    rig.file("scenescript.txt",
             "script=.\\a.txt\nend\n"
             "effect=change\nscenetime=1\nscript=.\\fade.txt\nend\n"
             "effect=photo\nscenetime=9\nend\n");
    rig.file("a.txt",
             "set\nlayer=1\nsx=0\nex=100\ntime=2\nend\n"
             "set\nlayer=2\nsx=50\nex=60\nend\n");  // time 0: holds its start
    rig.file("fade.txt",
             "set\nlayer=1\nealpha=0\nend\n"
             "set\nlayer=2\nex=0\nend\n"
             "set\nsx=3\nend\n"  // no layer: ends the change file
             "set\nlayer=3\nend\n");
    rig.start();
    rig.ticks(21);  // layer 1 drawn at t = 0.5: x = 50
    EXPECT_EQ(rig.advance(1.0), 9000);
    SceneLayer& one = rig.layer(1);
    EXPECT_EQ(one.stepSize, 0.025f);  // 1 / (20 x 2)
    EXPECT_EQ(one.duration, 2.0);
    EXPECT_NEAR(one.startX, 50, 1e-3);
    EXPECT_EQ(one.endAlpha, 0.0f);
    rig.ticks(21);  // halfway through the change
    EXPECT_NEAR(one.corners[0].x, 75 + 5, 1e-2);
    EXPECT_EQ(one.corners[0].colour >> 24, 127u);  // 255 halfway to 0
    rig.ticks(30);
    EXPECT_EQ(one.progress, 1.0f);
    EXPECT_EQ(one.corners[0].colour >> 24, 0u);
    EXPECT_EQ(one.corners[0].x, 105.0f);

    SceneLayer& two = rig.layer(2);
    EXPECT_EQ(two.stepSize, 0.0f);  // no duration before: it stays
    EXPECT_EQ(two.corners[0].x, 55.0f);
    EXPECT_FALSE(rig.layer(3).inUse);
}

TEST(SceneEngineLayerFile, OverLongNamesAreSkipped) {
    EngineRig rig;
    const std::string longName(300, 'q');
    rig.file("scenescript.txt",
             "script=.\\a.txt\nend\nscript=" + longName + ".txt\nend\nscript=.\\b.txt\nend\n");
    // The source carries over from block to block: the second block names its own.
    rig.file("a.txt", "set\nlayer=1\nsource=" + longName +
                          ".bmp\nend\nset\nlayer=2\nsource=.\\x.bmp\nend\n");
    rig.file("b.txt", "set\nlayer=3\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_FALSE(rig.layer(1).inUse);  // its source was refused
    EXPECT_TRUE(rig.layer(2).inUse);
    EXPECT_TRUE(rig.layer(3).inUse);   // the scene after the refused one
}

TEST(SceneEngineLayerFile, WildValuesNeitherCrashNorOverrun) {
    EngineRig rig;
    rig.file("scenescript.txt", "scenetime=1e30\nend\n");
    rig.file("wild.txt",
             "set\nlayer=-0.5\nend\n"  // below 0: ends the file
             "set\nlayer=1\nend\n");
    rig.file("big.txt",
             "set\nlayer=1e30\nend\n"
             "set\nlayer=2\nend\n");
    rig.file("values.txt",
             "set\nlayer=4\nsred=1e30\nsgreen=-1e30\nsblue=inf\nsalpha=nan\nsx=1e39\n"
             "time=1e-38\nend\n"
             "set\nlayer=5\ntime=-1\nwait=nan\nend\n"
             "set\nlayer=6\ntime=nan\nsrot=1e30\nend\n");
    // The scene time in whole seconds saturates instead of overflowing.
    EXPECT_EQ(rig.start(), 0);
    EXPECT_EQ(rig.engine->nextSceneTime(), 2147483647);
    rig.engine->buildScene("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\wild.txt", 0, 0, 1);
    rig.engine->buildScene("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\big.txt", 0, 0, 1);
    EXPECT_FALSE(rig.layer(1).inUse);
    EXPECT_FALSE(rig.layer(2).inUse);
    rig.engine->buildScene("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\values.txt", 0, 0, 1);
    rig.ticks(30);
    const SceneLayer& four = rig.layer(4);
    EXPECT_TRUE(four.started);
    EXPECT_EQ(four.progress, 1.0f);  // a tiny time ends the move at once
    // 1e30 and -1e30 wrap like any whole number (both are multiples of
    // 256); "inf" and "nan" are no numbers to the reader and read as 0.
    EXPECT_EQ(four.corners[0].colour, 0x00000000u);
    const SceneLayer& five = rig.layer(5);
    EXPECT_LT(five.progress, 0.0f);  // a negative time runs backwards, finitely
    EXPECT_TRUE(std::isfinite(five.corners[0].x));
    EXPECT_TRUE(rig.layer(6).started);
    rig.engine->drawLayers();
}

TEST(SceneEngineLayerFile, MissingLayerFileBuildsNothing) {
    EngineRig rig;
    rig.file("scenescript.txt", "script=.\\nothere.txt\nend\nscript=.\\a.txt\nend\n");
    rig.file("a.txt", "set\nlayer=1\nend\n");
    EXPECT_EQ(rig.start(), 0);
    EXPECT_TRUE(rig.layer(1).inUse);
    int inUse = 0;
    for (const SceneLayer& layer : rig.engine->layers()) inUse += layer.inUse ? 1 : 0;
    EXPECT_EQ(inUse, 1);
}

}  // namespace
}  // namespace qv
