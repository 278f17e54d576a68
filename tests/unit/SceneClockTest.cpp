#include "show/SceneClock.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SceneClock, CountsTicksOfFiftyMilliseconds) {
    SceneClock clock;
    EXPECT_EQ(clock.sceneTime(), 0.0);
    EXPECT_EQ(clock.delayUntil(2000), 2000);
    for (int i = 0; i < 50; ++i) clock.tick();
    EXPECT_DOUBLE_EQ(clock.sceneTime(), 2.5);
    // 50 ticks are 2500 ms: a scene at 3 s is 500 ms away; one at 2.5 s or
    // earlier arms no timer.
    EXPECT_EQ(clock.delayUntil(3000), 500);
    EXPECT_EQ(clock.delayUntil(2500), 0);
    EXPECT_EQ(clock.delayUntil(0), 0);
    clock.restart();
    EXPECT_EQ(clock.ticks(), 0u);
    EXPECT_EQ(clock.delayUntil(6000), 6000);
}

TEST(SceneClock, SceneTimeIsTheSinglePrecisionProduct) {
    // 7 ticks: 7 x 0.05f rounds to the float just below 0.35 (0.34999999),
    // 349 whole milliseconds, so a scene at 400 ms is 51 ms away.
    SceneClock clock;
    for (int i = 0; i < 7; ++i) clock.tick();
    EXPECT_EQ(clock.sceneTime(), static_cast<double>(0.3499999940395355f));
    EXPECT_EQ(clock.delayUntil(400), 51);
    // 3 ticks: 3 x 0.05f rounds to 0.15000001 in single precision.
    SceneClock three;
    for (int i = 0; i < 3; ++i) three.tick();
    EXPECT_EQ(three.sceneTime(), static_cast<double>(3.0f * 0.05f));
    EXPECT_NE(three.sceneTime(), 3 * 0.05);
    for (int i = 0; i < 13; ++i) clock.tick();  // 20 ticks = 1 s
    EXPECT_EQ(clock.delayUntil(1001), 1);
}

TEST(SceneClock, KeepsRunningPastTheSingleFloatLimit) {
    // 16,777,216 ticks (about 9.7 days): a float count would stand still here.
    SceneClock clock;
    for (std::uint64_t i = 0; i < 16777216u; ++i) clock.tick();
    const double before = clock.sceneTime();
    EXPECT_NEAR(before, 838860.8, 0.07);  // the float product, to its spacing
    clock.tick();
    EXPECT_GT(clock.sceneTime(), before);
    EXPECT_DOUBLE_EQ(clock.sceneTime(), 838860.85);
    EXPECT_EQ(clock.ticks(), 16777217u);
}

TEST(SceneClock, StartsAgainOnlyWhenTheScenesMoveToAnotherScript) {
    SceneClock clock;
    for (int i = 0; i < 40; ++i) clock.tick();  // 2 s
    double handed = -1.0;
    clock.advanceScenes([&](double& time) { handed = time; });  // nothing moved
    EXPECT_DOUBLE_EQ(handed, clock.sceneTime());  // 40 x 0.05 in single precision
    EXPECT_EQ(clock.ticks(), 40u);
    clock.advanceScenes([](double& time) { time = 0.0; });  // another script
    EXPECT_EQ(clock.ticks(), 0u);
    clock.advanceScenes([](double& time) { time = 0.0; });  // at 0 already: nothing to start
    clock.tick();
    clock.advanceScenes([](double& time) { time = 7.5; });  // moved, but not to a new script
    EXPECT_EQ(clock.ticks(), 1u);
}

}  // namespace
}  // namespace qv
