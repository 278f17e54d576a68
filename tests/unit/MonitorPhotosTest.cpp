// Shows on several monitors keep their photos apart: a placeholder never
// takes a photo another monitor's show has on screen.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/PhotosOnScreens.h"
#include "scene/PictureChoice.h"
#include "scene/SceneEngine.h"
#include "tests/unit/SceneTestSupport.h"
#include "variant/Variant.h"

namespace qv {
namespace {

using test::labelledBmp;
using test::textureLabel;

using Layers = std::array<SceneLayer, kLayerCount>;

const std::string kStillScene = "c:\\windows\\system32\\quorvelkbsrc\\normal\\still_pictures.txt";
const char* const kWideDirB = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\";

std::string still(int n) { return "c:\\windows\\system32\\quorvelkbsrc\\still" + std::to_string(n) + ".jpg"; }
std::string photo(int n) { return "C:\\USERS\\QV\\PHOTO" + std::to_string(n) + ".BMP"; }

// P photos in the ten slots in turn (1 2 3 1 2 3 ... with three), buffer i
// labelled "B<i>", composed into the shared buffer as "C<i>" (variant C),
// and the backdrops.
void fill(test::FakePictureMemory& memory, int photos, bool shared) {
    memory.count = photos;
    memory.shared = shared;
    for (int i = 1; i <= 10; ++i) {
        const auto index = static_cast<std::size_t>(i - 1);
        memory.names[index] = photo((i - 1) % photos + 1);
        memory.buffers[index] = labelledBmp("B" + std::to_string(i));
        memory.composeSources[index] = labelledBmp("C" + std::to_string(i));
    }
    memory.cache.push_back({"C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP", labelledBmp("base")});
    memory.cache.push_back({"C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\BASE.BMP", labelledBmp("base")});
}

// A layer of a show drawing photo n, as a placed scene leaves it.
void showPhoto(SceneLayer& layer, RecordingDevice& device, int n, bool started = true) {
    const auto bytes = labelledBmp("shown");
    layer.loadTexture(device, photo(n), bytes.data(), bytes.size());
    layer.started = started;
}

TEST(MonitorPhotos, APlaceholderGivesWayToThePhotosOtherMonitorsShow) {
    // The second monitor (its rotation started 'start' slots on) asks for
    // placeholder n while the other shows have the listed photos on screen.
    struct Row {
        const char* what;
        const Variant& variant;
        int photos, start, placeholder;
        std::vector<std::vector<int>> others;  // photos on each other show's screen
        const char* label;                     // the texture the placeholder gets
        int photoShown;                        // its photo; 0: the backdrop
    };
    const Row rows[] = {
        {"no clash: the rotation's pick", variantB(), 10, 5, 1, {{1}}, "B6", 6},
        {"clash: the next slot", variantB(), 10, 5, 1, {{6}}, "B7", 7},
        {"three in a row shown", variantB(), 10, 5, 1, {{6, 7, 8}}, "B9", 9},
        {"past slot 10 to slot 1", variantB(), 10, 0, 10, {{10}}, "B1", 1},
        {"two other monitors", variantB(), 10, 1, 1, {{2}, {3, 4}}, "B5", 5},
        {"a layer never placed is not on screen", variantB(), 10, 5, 1, {{}}, "B6", 6},
        {"three photos, slot 2 is photo 2", variantB(), 3, 1, 1, {{2}}, "B3", 3},
        {"three photos, 2 and 3 shown", variantB(), 3, 1, 1, {{2, 3}}, "B4", 1},
        {"three photos, all shown", variantB(), 3, 1, 1, {{1, 2, 3}}, "base", 0},
        {"two photos, no clash", variantB(), 2, 1, 1, {{1}}, "B2", 2},
        {"two photos, slot 3 is photo 1", variantB(), 2, 1, 2, {{1}}, "B4", 2},
        {"one photo, shown elsewhere", variantB(), 1, 0, 1, {{1}}, "base", 0},
        {"one photo, not shown", variantB(), 1, 0, 1, {{}}, "B1", 1},
        {"C: the picture made is the free one", variantC(), 3, 1, 3, {{1}}, "C5", 2},
        {"C: one photo shown elsewhere", variantC(), 1, 0, 1, {{1}}, "base", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test::FakePictureMemory memory;
        fill(memory, row.photos, row.variant.picturesOnDemand);
        RecordingDevice device;
        PhotosOnScreens screens;
        std::vector<std::unique_ptr<Layers>> others;
        for (const auto& shown : row.others) {
            others.push_back(std::make_unique<Layers>());
            Layers& layers = *others.back();
            for (std::size_t i = 0; i < shown.size(); ++i) showPhoto(layers[i + 1], device, shown[i]);
            // A layer holding photo 6 that no scene has placed yet draws nothing.
            if (shown.empty()) showPhoto(layers[4], device, 6, false);
            screens.join(layers.data(), layers.size(), row.variant.lastDrawnLayer);
        }
        Layers own;
        showPhoto(own[7], device, row.photos);  // its own screen is no reason to give way
        screens.join(own.data(), own.size(), row.variant.lastDrawnLayer);
        PictureChoice choice(row.variant, memory, device, row.start, &screens, own.data());
        choice.choosePicture(own[1], still(row.placeholder), kStillScene);
        EXPECT_EQ(textureLabel(own[1]), row.label);
        const std::string base = row.variant.picturesOnDemand ? "C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\BASE.BMP"
                                                              : "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP";
        EXPECT_EQ(own[1].sourceName, row.photoShown != 0 ? photo(row.photoShown) : base);
        // Variant C makes the free picture only, the backdrop nothing.
        if (row.variant.picturesOnDemand) {
            EXPECT_EQ(memory.composed.size(), row.photoShown != 0 ? 1U : 0U);
        }
    }
}

// Shows on monitors of both shapes play their own scripts side by side from
// one picture memory, their scene clocks stepped together tick by tick.
struct Monitors {
    MemoryFiles files;
    RecordingDevice device;
    test::FakePictureMemory memory;
    PhotosOnScreens screens;
    std::vector<std::unique_ptr<SceneEngine>> engines;
    std::vector<double> sceneTimes;
    std::vector<int> nextTimes;

    Monitors() {
        // Normal screens: three placeholders, one of them replaced after 2 s,
        // and the script again after 3 s.
        normal("scenescript.txt", "script=.\\still_three.txt\nend\nscenetime=2\nscript=.\\still_one.txt\nend\n"
                                  "scenetime=3\ncontinue=.\\scenescript.txt\nend\n");
        normal("still_three.txt", "set\nlayer=1\nsource=.\\STILL1.JPG\nend\nset\nlayer=2\nsource=.\\STILL2.JPG\nend\n"
                                  "set\nlayer=3\nsource=.\\STILL3.JPG\nend\n");
        normal("still_one.txt", "set\nlayer=2\nsource=.\\STILL4.JPG\nend\n");
        // Wide screens: two placeholders, again every 1.5 s.
        wide("scenescript.txt", "script=.\\still_two.txt\nend\nscenetime=1.5\ncontinue=.\\scenescript.txt\nend\n");
        wide("still_two.txt", "set\nlayer=1\nsource=.\\STILL1.JPG\nend\nset\nlayer=2\nsource=.\\STILL5.JPG\nend\n");
    }
    void normal(const std::string& name, const std::string& text) {
        files.addFile(std::string(test::kNormalDirB) + name, text);
    }
    void wide(const std::string& name, const std::string& text) { files.addFile(kWideDirB + name, text); }

    // A show on a normal (1024 x 768) or wide (1280 x 720) monitor.
    void add(bool wideScreen, int rotationStart, PhotosOnScreens* shared) {
        ScreenFacts screen;
        screen.screenWidth = screen.clientWidth = wideScreen ? 1280 : 1024;
        screen.screenHeight = screen.clientHeight = wideScreen ? 720 : 768;
        screen.rotationStart = rotationStart;
        engines.push_back(std::make_unique<SceneEngine>(variantB(), files, device, memory, screen, shared));
        ASSERT_EQ(engines.back()->startShow(0), 0);
        sceneTimes.push_back(0.0);
        nextTimes.push_back(engines.back()->nextSceneTime());
    }
    // One 50 ms tick of every show; the scenes due are built.
    void tick() {
        for (std::size_t i = 0; i < engines.size(); ++i) {
            engines[i]->stepLayers();
            sceneTimes[i] += 0.05;
            if (nextTimes[i] > 0 && sceneTimes[i] * 1000.0 + 0.5 >= nextTimes[i])
                nextTimes[i] = engines[i]->advanceScenes(sceneTimes[i]);
        }
    }
    // The photos show i has on screen or placed to come, by their number (0
    // for the backdrop).
    std::vector<int> onScreen(std::size_t i) const {
        std::vector<int> shown;
        const auto& layers = engines[i]->layers();
        for (int n = 1; n <= variantB().lastDrawnLayer; ++n) {
            const SceneLayer& layer = layers[static_cast<std::size_t>(n)];
            if (!(layer.started || layer.inUse) || !layer.texture) continue;
            int number = 0;
            for (int p = 1; p <= 10; ++p)
                if (layer.sourceName == photo(p)) number = p;
            shown.push_back(number);
        }
        return shown;
    }
};

TEST(MonitorPhotos, NoPhotoIsOnTwoMonitorsAtOnce) {
    // Shows side by side for 30 s: normal, wide, and a third normal one,
    // their rotations started as the monitors' start rule gives them. At no
    // tick does a photo stand on two screens. Each normal show has up to 3
    // photos on screen and each wide one 2, so with ten photos no monitor
    // ever falls back to the backdrop; with fewer some must.
    struct Row {
        int photos, monitors;
        bool backdropSeen;
    };
    const Row rows[] = {{1, 2, true}, {2, 2, true}, {3, 2, true}, {10, 2, false}, {3, 3, true}, {10, 3, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.photos) + " photos on " + std::to_string(row.monitors) + " monitors");
        Monitors rig;
        fill(rig.memory, row.photos, false);
        for (int m = 0; m < row.monitors; ++m)
            rig.add(m == 1, m * row.photos / row.monitors, &rig.screens);
        bool backdropSeen = false;
        bool clash = false;
        for (int tick = 0; tick < 600 && !clash; ++tick) {
            std::array<int, 11> monitorOf{};  // photo -> the first monitor showing it + 1
            for (std::size_t m = 0; m < rig.engines.size(); ++m) {
                for (const int number : rig.onScreen(m)) {
                    if (number == 0) {
                        backdropSeen = true;
                        continue;
                    }
                    const auto index = static_cast<std::size_t>(number);
                    if (monitorOf[index] != 0 && monitorOf[index] != static_cast<int>(m) + 1) {
                        ADD_FAILURE() << "photo " << number << " on monitors " << monitorOf[index] << " and "
                                      << m + 1 << " at tick " << tick;
                        clash = true;
                    }
                    monitorOf[index] = static_cast<int>(m) + 1;
                }
            }
            rig.tick();
        }
        EXPECT_EQ(backdropSeen, row.backdropSeen);
    }
}

TEST(MonitorPhotos, AShowAloneKeepsTodaysPicks) {
    // The same show with nothing to keep apart from, and with the shared
    // object holding only itself: the same photos at every tick, today's.
    for (const int photos : {1, 3, 10}) {
        SCOPED_TRACE(photos);
        Monitors alone;
        Monitors joined;
        fill(alone.memory, photos, false);
        fill(joined.memory, photos, false);
        alone.add(false, 0, nullptr);
        joined.add(false, 0, &joined.screens);
        for (int tick = 0; tick < 200; ++tick) {
            ASSERT_EQ(alone.onScreen(0), joined.onScreen(0)) << "tick " << tick;
            alone.tick();
            joined.tick();
        }
        EXPECT_EQ(joined.screens.shows(), 1U);
        joined.engines.clear();  // a show that ends (a monitor turned black) leaves
        EXPECT_EQ(joined.screens.shows(), 0U);
    }
}

}  // namespace
}  // namespace qv
