// Layer arithmetic: corners, depth, colour bytes, waiting, moving, turning.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "platform/fake/RecordingDevice.h"
#include "scene/SceneLayer.h"
#include "tests/unit/SceneTestSupport.h"

namespace qv {
namespace {

constexpr float kUnsetF = 3.4028235e38f;
constexpr double kUnsetD = 3.4028234663852886e38;
constexpr float kQuarterTurn = 90 * 0.017453292f;  // as a script's degrees become radians

// Places a layer the way a normal block does (defaults for what is not given).
void placeNormal(SceneLayer& layer, float sx, float sy, float ex, float ey, double time,
                 float width = 10, float height = 10, float wait = 0, float srot = 0,
                 float erot = 0, float layerNumber = 1) {
    BlockValues block;  // a normal block: defaults for what is not given
    block.layer = layerNumber;
    block.wait = wait;
    block.time = time;
    block.sx = sx;
    block.sy = sy;
    block.ex = ex;
    block.ey = ey;
    block.swidth = width;
    block.sheight = height;
    block.ewidth = width;
    block.eheight = height;
    block.srot = srot;
    block.erot = erot;
    layer.place(block, 1, 0, 0);
}

TEST(SceneLayerColour, TruncatesAndKeepsTheLowEightBits) {
    EXPECT_EQ(channelByte(256.0f), 0);
    EXPECT_EQ(channelByte(-1.0f), 255);
    EXPECT_EQ(channelByte(255.9f), 255);
    EXPECT_EQ(channelByte(300.7f), 44);   // 300 - 256
    EXPECT_EQ(channelByte(-0.5f), 0);     // toward zero, not down
    EXPECT_EQ(channelByte(-257.0f), 255);
    // Far outside the int range: wrapped, never an undefined conversion.
    EXPECT_EQ(channelByte(kUnsetF), 0);
    EXPECT_EQ(channelByte(1e30f), 0);
    EXPECT_EQ(channelByte(4294967552.0f), 0);  // 2^32 + 256
    EXPECT_EQ(channelByte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(channelByte(-std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(packColour(128, 256, -1, 17.9f), 0x8000FF11u);
    EXPECT_EQ(packColour(255, 255, 255, 255), 0xFFFFFFFFu);
}

TEST(SceneLayerPlace, WritesStartCornersWithDepthAndWholePicture) {
    SceneLayer layer;
    // Centre (10, 20) plus scene offset (1, 2); 40 x 30; layer 3.
    BlockValues block;  // a normal block: defaults for what is not set
    block.layer = 3;
    block.time = 2;
    block.sx = 10;
    block.sy = 20;
    block.ex = 50;
    block.ey = 60;
    block.swidth = 40;
    block.sheight = 30;
    block.ewidth = 60;
    block.eheight = 60;
    block.salpha = 128;
    block.ealpha = 0;
    block.sred = 256;
    block.sgreen = -1;
    block.sblue = 17;
    block.ered = 0;
    block.egreen = 0;
    block.eblue = 0;
    layer.place(block, 1, 1, 2);
    EXPECT_FLOAT_EQ(layer.startX, 11);
    EXPECT_FLOAT_EQ(layer.startY, 22);
    EXPECT_FLOAT_EQ(layer.endX, 51);
    EXPECT_FLOAT_EQ(layer.endY, 62);
    const float expected[4][4] = {
        // x, y, u, v
        {31, 37, 1, 0}, {-9, 37, 0, 0}, {-9, 7, 0, 1}, {31, 7, 1, 1}};
    for (int i = 0; i < 4; ++i) {
        const LayerVertex& c = layer.corners[static_cast<std::size_t>(i)];
        EXPECT_FLOAT_EQ(c.x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(c.y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(c.z, 14.1875f) << i;  // 14 + 3 / 16
        EXPECT_FLOAT_EQ(c.u, expected[i][2]) << i;
        EXPECT_FLOAT_EQ(c.v, expected[i][3]) << i;
        EXPECT_EQ(c.nx, 0.0f);
        EXPECT_EQ(c.ny, 0.0f);
        EXPECT_EQ(c.nz, 1.0f);
        EXPECT_EQ(c.colour, 0x8000FF11u) << i;  // 128 / 256 / -1 / 17
    }
    EXPECT_FALSE(layer.started);
    EXPECT_EQ(layer.progress, 0.0f);

    // A fractional layer number only deepens the corners.
    SceneLayer fractional;
    placeNormal(fractional, 0, 0, 0, 0, 0, 10, 10, 0, 0, 0, 3.9f);
    EXPECT_FLOAT_EQ(fractional.corners[0].z, 14.24375f);
}

TEST(SceneLayerStep, TimeTwoReachesTheEndAfterFortyOneTicks) {
    // Step 1 / 40 = 0.025 in single precision; forty of them add up to just
    // under 1, so progress is held at 1 after the 41st tick.
    SceneLayer layer;
    placeNormal(layer, 0, 0, 100, -50, 2, 20, 10);
    layer.endAlpha = 255;
    EXPECT_EQ(layer.stepSize, 0.025f);
    layer.step();
    EXPECT_TRUE(layer.started);
    // The first tick shows the start, with the moving texture rows.
    EXPECT_FLOAT_EQ(layer.corners[0].x, 10);
    EXPECT_FLOAT_EQ(layer.corners[0].y, 5);
    EXPECT_FLOAT_EQ(layer.corners[0].v, 0.034f);
    EXPECT_FLOAT_EQ(layer.corners[2].v, 0.97f);
    for (int tick = 2; tick <= 40; ++tick) layer.step();
    EXPECT_LT(layer.progress, 1.0f);
    EXPECT_NEAR(layer.progress, 1.0f, 1e-5);
    layer.step();  // 41
    EXPECT_EQ(layer.progress, 1.0f);
    layer.step();  // 42: drawn at exactly the end
    EXPECT_EQ(layer.corners[0].x, 110.0f);
    EXPECT_EQ(layer.corners[0].y, -45.0f);
    EXPECT_EQ(layer.corners[2].x, 90.0f);
    layer.step();
    EXPECT_EQ(layer.corners[0].x, 110.0f);  // holds
    EXPECT_EQ(layer.progress, 1.0f);
}

TEST(SceneLayerStep, TimeZeroHoldsTheStartState) {
    SceneLayer layer;
    placeNormal(layer, 5, 5, 100, 100, 0);
    for (int tick = 0; tick < 30; ++tick) layer.step();
    EXPECT_TRUE(layer.started);
    EXPECT_EQ(layer.progress, 0.0f);
    EXPECT_FLOAT_EQ(layer.corners[0].x, 10);
}

TEST(SceneLayerStep, WaitOneStartsOnTheTwentyFirstTick) {
    SceneLayer layer;
    placeNormal(layer, 0, 0, 100, 0, 1, 10, 10, 1.0f);
    for (int tick = 1; tick <= 20; ++tick) {
        EXPECT_EQ(layer.step(), 0.0f) << tick;
        EXPECT_FALSE(layer.started) << tick;
    }
    // Waiting changes nothing but the count.
    EXPECT_EQ(layer.corners[0].v, 0.0f);
    layer.step();
    EXPECT_TRUE(layer.started);
    EXPECT_EQ(layer.progress, 0.05f);  // the first move step (time 1: 1/20)
    // Once started, elapsed no longer grows.
    const float elapsed = layer.elapsed;
    layer.step();
    EXPECT_EQ(layer.elapsed, elapsed);
}

TEST(SceneLayerStep, ColoursAlphaAndSizeMoveLinearly) {
    SceneLayer layer;
    // Halfway every channel sits at x.5, clear of any rounding edge.
    BlockValues block;  // a normal block: defaults for what is not set
    block.layer = 1;
    block.time = 1;
    block.swidth = 20;
    block.ewidth = 40;
    block.eheight = 20;
    block.salpha = 0;
    block.ealpha = 201;
    block.sred = 0;
    block.sgreen = 100.5f;
    block.sblue = 201;
    block.ered = 201;
    block.egreen = 100.5f;
    block.eblue = 0;
    layer.place(block, 1, 0, 0);
    EXPECT_FALSE(layer.constantColour);
    for (int tick = 0; tick < 11; ++tick) layer.step();  // drawn at t = 10 x 0.05
    EXPECT_NEAR(layer.remaining, 0.5f, 1e-5);
    EXPECT_NEAR(layer.currentRed, 100.5, 1e-3);
    EXPECT_NEAR(layer.currentGreen, 100.5, 1e-3);
    EXPECT_NEAR(layer.currentBlue, 100.5, 1e-3);
    EXPECT_NEAR(layer.currentAlpha, 100.5, 1e-3);
    EXPECT_NEAR(layer.currentHalfWidth, 15, 1e-4);  // 10 -> 20
    EXPECT_NEAR(layer.currentHalfHeight, 7.5, 1e-4);
    EXPECT_EQ(layer.corners[0].colour, 0x64646464u);
    EXPECT_EQ(layer.corners[3].colour, 0x64646464u);

    // Equal start and end colours are taken as they are.
    SceneLayer still;
    BlockValues same;  // a normal block: defaults for what is not set
    same.layer = 1;
    same.time = 1;
    same.sred = 10;
    same.sgreen = 20;
    same.sblue = 30;
    same.ered = 10;
    same.egreen = 20;
    same.eblue = 30;
    still.place(same, 1, 0, 0);
    EXPECT_TRUE(still.constantColour);
    for (int tick = 0; tick < 7; ++tick) still.step();
    EXPECT_EQ(still.currentGreen, 20.0f);
    EXPECT_EQ(still.corners[0].colour, 0xFF0A141Eu);
}

TEST(SceneLayerStep, QuarterTurnStaysTurnedForTheWholeMove) {
    SceneLayer layer;
    placeNormal(layer, 0, 0, 100, 0, 1, 40, 20, 0, kQuarterTurn, kQuarterTurn);
    for (int tick = 1; tick <= 25; ++tick) {
        layer.step();
        const float x = (layer.corners[0].x + layer.corners[2].x) / 2;
        // Corner 0 (x + 20, y + 10) turned counter-clockwise lands at (x - 10, y + 20).
        EXPECT_NEAR(layer.corners[0].x, x - 10, 1e-3) << tick;
        EXPECT_NEAR(layer.corners[0].y, 20, 1e-3) << tick;
        EXPECT_NEAR(layer.corners[1].x, x - 10, 1e-3) << tick;
        EXPECT_NEAR(layer.corners[1].y, -20, 1e-3) << tick;
        EXPECT_NEAR(layer.currentAngle, kQuarterTurn, 1e-6) << tick;
    }
}

TEST(SceneLayerStep, TurnsFromStartToEndAngle) {
    SceneLayer layer;
    placeNormal(layer, 0, 0, 0, 0, 1, 20, 20, 0, 0, kQuarterTurn);
    for (int tick = 0; tick < 11; ++tick) layer.step();  // t = 0.5: 45 degrees
    EXPECT_NEAR(layer.currentAngle, kQuarterTurn / 2, 1e-5);
    // Corner 0 at (10, 10) turned 45 degrees lies on the y axis, 10 * sqrt 2 up.
    EXPECT_NEAR(layer.corners[0].x, 0, 1e-3);
    EXPECT_NEAR(layer.corners[0].y, 14.1421, 1e-3);
    // An unturned layer is not touched by rotation at all.
    SceneLayer flat;
    placeNormal(flat, 0, 0, 0, 0, 1, 20, 20);
    flat.step();
    EXPECT_EQ(flat.corners[0].x, 10.0f);
    EXPECT_EQ(flat.currentAngle, 0.0f);
}

TEST(SceneLayerChange, UnsetValuesContinueFromWhereTheLayerHasGot) {
    SceneLayer layer;
    BlockValues block;  // a normal block: defaults for what is not set
    block.layer = 4;
    block.time = 2;
    block.ex = 100;
    block.salpha = 0;
    block.ealpha = 200;
    layer.place(block, 1, 0, 0);
    for (int tick = 0; tick < 21; ++tick) layer.step();  // progress 0.525, drawn at 0.5
    const float t = layer.progress;
    EXPECT_NEAR(t, 0.525f, 1e-5);
    const float elapsedBefore = layer.elapsed;

    // A change block giving only the end alpha and a new end x.
    BlockValues change;
    change.layer = kUnsetF;
    change.wait = kUnsetF;
    change.time = kUnsetD;
    change.sx = kUnsetF;
    change.sy = kUnsetF;
    change.ex = 300;
    change.ey = kUnsetF;
    change.swidth = kUnsetF;
    change.sheight = kUnsetF;
    change.ewidth = kUnsetF;
    change.eheight = kUnsetF;
    change.salpha = kUnsetF;
    change.ealpha = 0;
    change.sred = kUnsetF;
    change.sgreen = kUnsetF;
    change.sblue = kUnsetF;
    change.ered = kUnsetF;
    change.egreen = kUnsetF;
    change.eblue = kUnsetF;
    change.srot = kUnsetF;
    change.erot = kUnsetF;
    layer.place(change, 4, 7, 7);
    EXPECT_NEAR(layer.startAlpha, 0.475f * 0 + 0.525f * 200, 1e-3);  // the alpha reached
    EXPECT_EQ(layer.duration, 2.0);  // kept
    EXPECT_NEAR(layer.startX, 50, 1e-4);  // centre as drawn, no offset added
    EXPECT_EQ(layer.endX, 307.0f);        // a given end takes the offset
    EXPECT_EQ(layer.endY, 0.0f);          // an unset end keeps the old one
    EXPECT_EQ(layer.progress, 0.0f);
    EXPECT_EQ(layer.elapsed, elapsedBefore);  // the wait keeps counting from the first placement
    EXPECT_EQ(layer.layerNumber, 4.0f);       // and the depth stays
    EXPECT_FLOAT_EQ(layer.corners[0].z, 14.25f);
    EXPECT_EQ(layer.endAlpha, 0.0f);
}

TEST(SceneLayerDraw, BindsItsTextureOnlyWhenStartedAndHasOne) {
    RecordingDevice device;
    SceneLayer layer;
    placeNormal(layer, 0, 0, 0, 0, 0);
    EXPECT_EQ(layer.draw(device), 0);
    EXPECT_EQ(device.drawCount, 0);  // not started: nothing drawn

    layer.step();
    EXPECT_EQ(layer.draw(device), 0);
    EXPECT_EQ(device.drawCount, 1);
    EXPECT_EQ(device.bindCount, 0);  // no texture: nothing bound

    const auto image = test::labelledBmp("pic");
    layer.loadTexture(device, "C:\\X\\PIC.BMP", image.data(), image.size());
    ASSERT_NE(layer.texture, nullptr);
    EXPECT_EQ(layer.sourceName, "C:\\X\\PIC.BMP");
    layer.draw(device);
    EXPECT_EQ(device.bindCount, 1);
    ASSERT_EQ(device.draws.size(), 2u);
    EXPECT_EQ(device.draws[1].boundTexture, 1);
    EXPECT_EQ(device.draws[1].corners[0].x, layer.corners[0].x);

    // Wholly transparent corners: the texture is bound for the layers after
    // it, but nothing is filled.
    for (LayerVertex& corner : layer.corners) corner.colour &= 0x00FFFFFFu;
    layer.draw(device);
    EXPECT_EQ(device.bindCount, 2);
    EXPECT_EQ(device.draws.size(), 2u);
    layer.corners[2].colour |= 0x01000000u;  // one corner barely visible: filled
    layer.draw(device);
    EXPECT_EQ(device.draws.size(), 3u);

    // A picture that makes no texture leaves the layer with none, named.
    const unsigned char junk[3] = {'x', 'y', 'z'};
    layer.loadTexture(device, "JUNK", junk, sizeof junk);
    EXPECT_EQ(layer.texture, nullptr);
    EXPECT_EQ(layer.sourceName, "JUNK");
    layer.loadTexture(device, "EMPTY", nullptr, 0);
    EXPECT_EQ(layer.texture, nullptr);
}

TEST(SceneLayer, NewLayerHoldsTheDescribedStartingValues) {
    SceneLayer layer;
    EXPECT_FALSE(layer.inUse);
    EXPECT_FALSE(layer.started);
    EXPECT_EQ(layer.texture, nullptr);
    EXPECT_EQ(layer.startHalfWidth, 0.0f);
    EXPECT_EQ(layer.startHalfHeight, 10.0f);
    EXPECT_EQ(layer.endHalfWidth, 10.0f);
    EXPECT_EQ(layer.endHalfHeight, 10.0f);
    EXPECT_EQ(layer.startRed, 255.0f);
    EXPECT_EQ(layer.endBlue, 255.0f);
    EXPECT_EQ(layer.startAlpha, 255.0f);
    EXPECT_TRUE(layer.sourceName.empty());
}

}  // namespace
}  // namespace qv
