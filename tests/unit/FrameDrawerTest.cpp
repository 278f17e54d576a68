#include "render/FrameDrawer.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace qv {
namespace {

// Both ports record into one log, so order across them is visible.
struct Log {
    std::vector<std::string> calls;
};

class FakeFrame : public FramePort {
public:
    explicit FakeFrame(Log& log) : log_(log) {}
    long clear(std::uint32_t argb) override {
        log_.calls.push_back("clear " + std::to_string(argb));
        return clearResult;
    }
    long beginScene() override { log_.calls.push_back("begin"); return beginResult; }
    long endScene() override { log_.calls.push_back("end"); return 0; }
    long present() override { log_.calls.push_back("present"); return presentResult; }
    void releaseDevice() override { log_.calls.push_back("release"); }
    long clearResult = 0, beginResult = 0, presentResult = 0;

private:
    Log& log_;
};

class FakeTexture : public DrawingTexture {
public:
    explicit FakeTexture(int id) : id(id) {}
    int id;
};

class FakeDrawing : public DrawingPort {
public:
    explicit FakeDrawing(Log& log) : log_(log) {}
    long setTransform(TransformKind, const Matrix4&) override { return 0; }
    std::unique_ptr<DrawingTexture> createTexture(const unsigned char*, std::size_t) override {
        return nullptr;
    }
    long bindTexture(DrawingTexture& texture) override {
        log_.calls.push_back("bind " + std::to_string(static_cast<FakeTexture&>(texture).id));
        return 0;
    }
    // Each test layer carries its record number in corner 0's x.
    long drawFan(const std::array<LayerVertex, 4>& corners) override {
        log_.calls.push_back("fan " + std::to_string(static_cast<int>(corners[0].x)));
        return 0;
    }

private:
    Log& log_;
};

// A started layer, visible (opaque corners), carrying its record number.
void startVisible(SceneLayer& layer, int number) {
    for (LayerVertex& corner : layer.corners) corner.colour = 0xFFFFFFFFu;
    layer.corners[0].x = static_cast<float>(number);
    layer.started = true;
}

struct Scene {
    std::array<SceneLayer, 30> layers;
    Scene() {
        for (int i = 0; i < 30; ++i) startVisible(layers[i], i);
    }
};

std::vector<std::string> fans(const Log& log) {
    std::vector<std::string> result;
    for (const auto& c : log.calls)
        if (c.rfind("fan ", 0) == 0) result.push_back(c);
    return result;
}

TEST(FrameDrawer, DrawsStartedRecordsOneToTheLastInOrderBetweenClearAndPresent) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    scene.layers[5].started = false;
    scene.layers[2].texture = std::make_unique<FakeTexture>(77);
    FrameDrawer drawer;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 1);

    ASSERT_GE(log.calls.size(), 4u);
    EXPECT_EQ(log.calls.front(), "clear 4278190080");  // 0xFF000000
    EXPECT_EQ(log.calls[1], "begin");
    EXPECT_EQ(log.calls[log.calls.size() - 2], "end");
    EXPECT_EQ(log.calls.back(), "present");
    // Record 0 and 22..29 are never drawn, nor the unstarted record 5.
    std::vector<std::string> expected;
    for (int i = 1; i <= 21; ++i)
        if (i != 5) expected.push_back("fan " + std::to_string(i));
    EXPECT_EQ(fans(log), expected);
    // Record 2's texture is bound right before its fan.
    EXPECT_EQ(log.calls[3], "bind 77");
    EXPECT_EQ(log.calls[4], "fan 2");
    EXPECT_FALSE(drawer.deviceLost());
}

TEST(FrameDrawer, VariantADrawsRecordTwentyTwo) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    FrameDrawer drawer;
    drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 22);
    const auto drawn = fans(log);
    ASSERT_EQ(drawn.size(), 22u);
    EXPECT_EQ(drawn.back(), "fan 22");
}

TEST(FrameDrawer, FailedClearSkipsTheFrameAndFailedBeginStillPresents) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    FrameDrawer drawer;
    frame.clearResult = -2005530520;  // D3DERR_DEVICELOST
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 0);
    EXPECT_EQ(log.calls, std::vector<std::string>{"clear 4278190080"});
    EXPECT_FALSE(drawer.deviceLost());

    log.calls.clear();
    frame.clearResult = 0;
    frame.beginResult = -2147467259;  // E_FAIL
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 1);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"clear 4278190080", "begin", "present"}));
}

TEST(FrameDrawer, FailedPresentReleasesTheDeviceAndNothingTouchesItAgain) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    FrameDrawer drawer;
    frame.presentResult = -2005530520;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 0);
    EXPECT_EQ(log.calls.back(), "release");
    EXPECT_TRUE(drawer.deviceLost());

    log.calls.clear();
    frame.presentResult = 0;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 0);
    EXPECT_TRUE(log.calls.empty());
}

TEST(FrameDrawer, AnUnchangedFrameIsNotDrawnAgainUnlessInvalidated) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    FrameDrawer drawer;
    auto draw = [&] {
        log.calls.clear();
        return drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21);
    };
    EXPECT_EQ(draw(), 1);
    // Nothing moved: no call reaches the device at all.
    EXPECT_EQ(draw(), 0);
    EXPECT_TRUE(log.calls.empty());
    // A layer moved a little.
    scene.layers[7].corners[2].y += 0.001f;
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(fans(log).size(), 21u);
    EXPECT_EQ(draw(), 0);
    // A colour change (fading) counts as a change too.
    scene.layers[1].corners[0].colour = 0x80FFFFFFu;
    EXPECT_EQ(draw(), 1);
    // A layer starts.
    scene.layers[9].started = false;
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(draw(), 0);
    scene.layers[9].started = true;
    EXPECT_EQ(draw(), 1);
    // A new texture on a layer.
    scene.layers[4].texture = std::make_unique<FakeTexture>(5);
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(draw(), 0);
    // Records beyond the last drawn one do not matter.
    scene.layers[25].corners[0].x = 1000;
    scene.layers[25].started = false;
    EXPECT_EQ(draw(), 0);
    // A repaint (or a scene that may have swapped textures in place) draws.
    drawer.invalidate();
    EXPECT_EQ(draw(), 1);
    EXPECT_EQ(log.calls.back(), "present");
    EXPECT_EQ(draw(), 0);
}

TEST(FrameDrawer, AFrameThatFailedToPresentOrClearIsDrawnAgain) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    Scene scene;
    FrameDrawer drawer;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 1);
    scene.layers[3].corners[0].x = 50;
    frame.clearResult = -2005530520;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 0);
    frame.clearResult = 0;
    log.calls.clear();
    // Same layers as the failed attempt: still drawn, it never reached the screen.
    EXPECT_EQ(drawer.drawFrame(frame, drawing, scene.layers.data(), 30, 21), 1);
    EXPECT_EQ(log.calls.back(), "present");
}

TEST(FrameDrawer, ShortTablesAreNotOverrun) {
    Log log;
    FakeFrame frame(log);
    FakeDrawing drawing(log);
    std::array<SceneLayer, 4> few;
    for (int i = 0; i < 4; ++i) startVisible(few[i], i);
    FrameDrawer drawer;
    EXPECT_EQ(drawer.drawFrame(frame, drawing, few.data(), few.size(), 22), 1);
    EXPECT_EQ(fans(log), (std::vector<std::string>{"fan 1", "fan 2", "fan 3"}));
}

}  // namespace
}  // namespace qv
