// Textures made before their scene: what the next scene is foreseen to need,
// and the stock that answers the scene's requests with them.
#include "render/TextureStock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/SceneEngine.h"
#include "tests/unit/SceneTestSupport.h"
#include "text/Utf8Text.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using test::labelledBmp;
using test::textureLabel;

std::string photo(int n) { return "C:\\USERS\\QV\\PHOTO" + std::to_string(n) + ".BMP"; }

// The labels of images' bytes ("B3" for labelledBmp("B3")).
std::vector<std::string> labelsOf(const std::vector<PictureImage>& images) {
    std::vector<std::string> labels;
    for (const PictureImage& image : images)
        labels.emplace_back(reinterpret_cast<const char*>(image.bytes) + 2);  // zero after the label
    return labels;
}

TEST(TextureStock, TheNextScenesTexturesAreMadeBeforeItsTime) {
    // The title at 0 s, two placeholders (one given twice) at 1 s, the
    // backdrop at 2 s, then a hand-over to a script whose title comes at 9 s.
    struct Row {
        const Variant* variant;
        bool sharedBuffer;
        std::vector<std::string> foreseen;  // at the start, for the scene at 1 s
        int made;                           // textures made ahead of it
        int requests;                       // textures it still asks the device for
        std::vector<std::string> shown;     // layers 3, 4, 5 after it
    } const rows[] = {
        // STILL1 and STILL3 are pictures 1 and 3 before any hand-over; the
        // repeated STILL3 is not foreseen, as its layer gets nothing.
        {&variantB(), false, {"B1", "B3"}, 2, 0, {"B1", "B3", ""}},
        // Variant C composes the first placeholder's picture ahead into a
        // buffer of its own, which the scene takes; the second is composed
        // into the shared buffer when the scene comes.
        {&variantC(), true, {"C1"}, 1, 1, {"C1", "C3", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.variant->letter);
        const std::string data = row.variant->dataDir;
        const std::string dir = data + "normal\\";
        MemoryFiles files;
        files.addFile(dir + "scenescript.txt",
                      "script=.\\title.txt\nend\nscenetime=1\nscript=.\\still_three.txt\nend\n"
                      "scenetime=2\nscript=.\\backdrop.txt\nend\nscenetime=3\ncontinue=.\\other.txt\nend\n");
        files.addFile(dir + "title.txt", "set\nlayer=1\nsource=.\\logo.bmp\nend\n");
        files.addFile(dir + "still_three.txt",
                      "set\nlayer=3\nsource=.\\still1.jpg\nend\nset\nlayer=4\nsource=.\\still3.jpg\nend\n"
                      "set\nlayer=5\nsource=.\\still3.jpg\nend\n");
        files.addFile(dir + "backdrop.txt", "set\nlayer=2\nsource=.\\base.bmp\nend\n");
        files.addFile(dir + "other.txt", "scenetime=9\nscript=.\\title.txt\nend\n");
        test::FakePictureMemory memory;
        memory.count = 10;
        memory.shared = row.sharedBuffer;
        for (int i = 1; i <= 10; ++i) {
            const auto index = static_cast<std::size_t>(i - 1);
            memory.names[index] = photo(i);
            memory.buffers[index] = labelledBmp("B" + std::to_string(i));
            memory.composeSources[index] = labelledBmp("C" + std::to_string(i));
        }
        memory.cache.push_back({upperPath(data + "LOGO.BMP"), labelledBmp("logo")});
        memory.cache.push_back({upperPath(data + "BASE.BMP"), labelledBmp("base")});
        RecordingDevice device;
        TextureStock stock(device);
        SceneEngine engine(*row.variant, files, stock, memory, ScreenFacts{});
        ASSERT_EQ(engine.startShow(0), 0);
        ASSERT_EQ(textureLabel(engine.layers()[1]), "logo");

        // Looking ahead changes nothing of the show.
        int requests = device.textureRequests;
        const auto foreseen = engine.foreseeNextScene();
        EXPECT_EQ(labelsOf(foreseen), row.foreseen);
        EXPECT_EQ(device.textureRequests, requests);
        EXPECT_TRUE(memory.composed.empty());
        EXPECT_EQ(memory.composedAhead, row.sharedBuffer ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_TRUE(engine.pictureChoice().lastPlaceholder().empty());

        stock.want(foreseen);
        int made = 0;
        while (stock.prepareOne()) ++made;
        EXPECT_EQ(made, row.made);
        requests = device.textureRequests;
        double sceneTime = 1.0;
        EXPECT_EQ(engine.advanceScenes(sceneTime), 2000);
        EXPECT_EQ(device.textureRequests - requests, row.requests);
        const auto& layers = engine.layers();
        EXPECT_EQ((std::vector<std::string>{textureLabel(layers[3]), textureLabel(layers[4]),
                                            textureLabel(layers[5])}),
                  row.shown);
        EXPECT_EQ(stock.stocked(), 0);  // every texture made ahead was taken
        EXPECT_EQ(memory.composed, row.sharedBuffer ? std::vector<int>{3} : std::vector<int>{});

        // The backdrop's scene next, made ahead in both.
        stock.want(engine.foreseeNextScene());
        EXPECT_TRUE(stock.prepareOne());
        EXPECT_FALSE(stock.prepareOne());
        requests = device.textureRequests;
        sceneTime = 2.0;
        EXPECT_EQ(engine.advanceScenes(sceneTime), 9000);
        EXPECT_EQ(device.textureRequests, requests);
        EXPECT_EQ(textureLabel(layers[2]), "base");
        // The hand-over right after it was followed: the next scene is the
        // other script's first.
        EXPECT_EQ(sceneTime, 0.0);
        EXPECT_EQ(labelsOf(engine.foreseeNextScene()), std::vector<std::string>{"logo"});
    }
}

TEST(TextureStock, EverySceneDueAtTheNextTimeIsForeseenAcrossHandOvers) {
    // Variant B; the title at 0 s in every script. foreseen: what is looked
    // ahead at the start for the next scene time, advance: that time.
    struct Row {
        const char* what;
        std::string script;
        std::string other;
        std::vector<std::string> foreseen;
        double advance;
        int next;                // the scene time after it, in ms
        std::vector<int> picks;  // the show's random generator, in turn
        int kept = 0;            // textures still stocked for a later scene
    } const rows[] = {
        // Two headers due at 1 s are built together and the one 0.4 s later
        // is foreseen with them; the one at 2 s waits.
        {"close together",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\backdrop.txt\nend\nscenetime=1.4\n"
         "script=.\\still_one.txt\nend\nscenetime=2\nscript=.\\title.txt\nend\n",
         "", {"base", "B1"}, 1.0, 1400, {}, 1},
        // A picture on two layers of one scene is made for each.
        {"one picture twice",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\two_backdrops.txt\nend\n", "",
         {"base", "base"}, 1.0, 0, {}},
        // Two headers due at 1 s are built together; the one at 2 s waits.
        {"two at once",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\still_one.txt\nend\nscenetime=1\n"
         "script=.\\backdrop.txt\nend\nscenetime=2\nscript=.\\title.txt\nend\n",
         "", {"B1", "base"}, 1.0, 2000, {}},
        // A hand-over read right after the scene at 1 s is followed at once
        // and the other script's first scene built: its placeholder stands
        // for the next picture.
        {"hand-over",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\backdrop.txt\nend\nscenetime=4\n"
         "continue=.\\other.txt\nend\n",
         "scenetime=0\nscript=.\\still_one.txt\nend\nscenetime=3\nscript=.\\title.txt\nend\n",
         {"base", "B2"}, 1.0, 3000, {}},
        // A hand-over to a script whose first scene comes later: only the
        // scene before it.
        {"hand-over, later scene",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\backdrop.txt\nend\nscenetime=4\n"
         "continue=.\\other.txt\nend\n",
         "scenetime=2\nscript=.\\still_one.txt\nend\n", {"base"}, 1.0, 2000, {}},
        // A random hand-over is drawn once, ahead: the show goes where the
        // textures were made, not to a second draw (zero.txt, which is
        // missing and would end the scenes).
        {"random hand-over",
         "script=.\\title.txt\nend\nscenetime=1\nscript=.\\backdrop.txt\nend\nscenetime=4\n"
         "random\n.\\zero.txt\n.\\other.txt\n",
         "scenetime=0\nscript=.\\still_one.txt\nend\nscenetime=3\nscript=.\\title.txt\nend\n",
         {"base", "B2"}, 1.0, 3000, {1, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Variant& variant = variantB();
        const std::string data = variant.dataDir;
        const std::string dir = data + "normal\\";
        MemoryFiles files;
        files.addFile(dir + "scenescript.txt", row.script);
        files.addFile(dir + "other.txt", row.other);
        files.addFile(dir + "title.txt", "set\nlayer=1\nsource=.\\logo.bmp\nend\n");
        files.addFile(dir + "still_one.txt", "set\nlayer=3\nsource=.\\still1.jpg\nend\n");
        files.addFile(dir + "backdrop.txt", "set\nlayer=2\nsource=.\\base.bmp\nend\n");
        files.addFile(dir + "two_backdrops.txt",
                      "set\nlayer=2\nsource=.\\base.bmp\nend\nset\nlayer=4\nsource=.\\base.bmp\nend\n");
        test::FakePictureMemory memory;
        memory.count = 10;
        for (int i = 1; i <= 10; ++i) {
            const auto index = static_cast<std::size_t>(i - 1);
            memory.names[index] = photo(i);
            memory.buffers[index] = labelledBmp("B" + std::to_string(i));
        }
        memory.cache.push_back({upperPath(data + "LOGO.BMP"), labelledBmp("logo")});
        memory.cache.push_back({upperPath(data + "BASE.BMP"), labelledBmp("base")});
        RecordingDevice device;
        TextureStock stock(device);
        SceneEngine engine(variant, files, stock, memory, ScreenFacts{});
        std::size_t drawn = 0;
        engine.sceneReader().pickRandom = [&](int) {
            return drawn < row.picks.size() ? row.picks[drawn++] : 0;
        };
        ASSERT_EQ(engine.startShow(0), 0);

        const auto foreseen = engine.foreseeNextScene();
        EXPECT_EQ(labelsOf(foreseen), row.foreseen);
        stock.want(foreseen);
        while (stock.prepareOne()) {
        }
        // The scenes take every texture from the stock: none is made then.
        EXPECT_EQ(stock.takeMadeOnTheSpot(), 1);  // the title, at the start
        const int requests = device.textureRequests;
        double sceneTime = row.advance;
        EXPECT_EQ(engine.advanceScenes(sceneTime), row.next);
        EXPECT_EQ(device.textureRequests, requests);
        EXPECT_EQ(stock.takeMadeOnTheSpot(), 0);
        EXPECT_EQ(stock.stocked(), row.kept);
    }
}

TEST(TextureStock, TexturesNoLongerWantedGoAndRefusedOnesAreNotTriedAgain) {
    const auto a = labelledBmp("a"), b = labelledBmp("b"), c = labelledBmp("c");
    const PictureImage ia{a.data(), a.size()}, ib{b.data(), b.size()}, ic{c.data(), c.size()};
    RecordingDevice device;
    TextureStock stock(device);

    // a, given twice, is made for two layers; an empty image counts for nothing.
    stock.want({ia, ib, ia, PictureImage{}});
    EXPECT_TRUE(stock.prepareOne());
    EXPECT_TRUE(stock.prepareOne());
    EXPECT_TRUE(stock.prepareOne());
    EXPECT_FALSE(stock.prepareOne());
    EXPECT_EQ(device.texturesCreated, 3);

    // b stays made, both a go, c is still to make.
    stock.want({ib, ic});
    EXPECT_EQ(stock.stocked(), 1);
    device.failTextures(true);
    EXPECT_TRUE(stock.prepareOne());  // c refused
    EXPECT_FALSE(stock.prepareOne());
    EXPECT_EQ(device.textureRequests, 4);
    device.failTextures(false);
    // b is handed out once; asked again it is made anew; c, refused ahead,
    // is asked of the device when its scene wants it.
    const auto taken = stock.createTexture(ib.bytes, ib.size);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(device.textureRequests, 4);
    const auto again = stock.createTexture(ib.bytes, ib.size);
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again.get(), taken.get());
    EXPECT_NE(stock.createTexture(ic.bytes, ic.size), nullptr);
    EXPECT_EQ(device.textureRequests, 6);
    EXPECT_EQ(stock.stocked(), 0);
    // The two the stock did not hold were made on the spot.
    EXPECT_EQ(stock.takeMadeOnTheSpot(), 2);
    EXPECT_EQ(stock.takeMadeOnTheSpot(), 0);
}

}  // namespace
}  // namespace qv
