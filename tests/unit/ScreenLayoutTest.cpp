// The screen layout code and the choice between normal and wide scripts.
#include <gtest/gtest.h>

#include "scene/ScreenLayout.h"

namespace qv {
namespace {

TEST(ScreenLayout, KnownSizesComeFromTheTable) {
    EXPECT_EQ(screenLayoutCode(1024, 768), 0);
    EXPECT_EQ(screenLayoutCode(768, 1024), 0);
    EXPECT_EQ(screenLayoutCode(1280, 768), 1);
    EXPECT_EQ(screenLayoutCode(1024, 600), 2);
    EXPECT_EQ(screenLayoutCode(1280, 1024), 4);
    EXPECT_EQ(screenLayoutCode(1024, 1280), 4);
    EXPECT_EQ(screenLayoutCode(800, 600), 5);  // also the test window
    EXPECT_EQ(screenLayoutCode(600, 800), 5);
    EXPECT_EQ(screenLayoutCode(1200, 1600), 6);
    EXPECT_EQ(screenLayoutCode(1280, 800), 7);
    EXPECT_EQ(screenLayoutCode(1920, 1200), 8);
    EXPECT_EQ(screenLayoutCode(480, 640), 10);
    EXPECT_EQ(screenLayoutCode(1920, 1080), 11);
    EXPECT_EQ(screenLayoutCode(1600, 900), 12);
    EXPECT_EQ(screenLayoutCode(720, 480), 13);
    EXPECT_EQ(screenLayoutCode(1280, 720), 14);
}

TEST(ScreenLayout, OtherSizesFallBackOnTheirShape) {
    EXPECT_EQ(screenLayoutCode(1366, 768), 9);
    EXPECT_EQ(screenLayoutCode(1152, 864), 10);  // exactly 0.75
    EXPECT_EQ(screenLayoutCode(640, 480), 10);
    EXPECT_EQ(screenLayoutCode(2560, 1440), 9);
    // These widths keep the starting code whatever the height.
    EXPECT_EQ(screenLayoutCode(600, 1024), 3);
    EXPECT_EQ(screenLayoutCode(768, 600), 3);
    EXPECT_EQ(screenLayoutCode(1200, 1920), 3);
    EXPECT_EQ(screenLayoutCode(720, 1280), 3);
    EXPECT_EQ(screenLayoutCode(480, 800), 3);
    // Flipped table sizes that are not in the table fall back too.
    EXPECT_EQ(screenLayoutCode(600, 1024), 3);
    EXPECT_EQ(screenLayoutCode(1080, 1920), 10);
    EXPECT_EQ(screenLayoutCode(0, 0), 10);  // no width: no division
}

TEST(ScreenLayout, WideScriptsForSixteenByNineAndTallScreens) {
    EXPECT_FALSE(usesWideScripts(1024, 768));   // r = 0.75
    EXPECT_FALSE(usesWideScripts(1280, 1024));  // 0.8
    EXPECT_TRUE(usesWideScripts(1280, 800));    // 0.625
    EXPECT_TRUE(usesWideScripts(1920, 1080));   // 0.5625
    EXPECT_FALSE(usesWideScripts(1000, 500));   // 0.5
    EXPECT_FALSE(usesWideScripts(2560, 1080));  // 0.42
    EXPECT_FALSE(usesWideScripts(768, 1024));   // 1.33
    EXPECT_FALSE(usesWideScripts(1000, 1340));  // 1.34
    EXPECT_TRUE(usesWideScripts(1000, 1341));
    EXPECT_TRUE(usesWideScripts(600, 1024));    // 1.71
    EXPECT_FALSE(usesWideScripts(0, 768));
}

}  // namespace
}  // namespace qv
