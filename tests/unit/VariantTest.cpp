#include <gtest/gtest.h>

#include "text/AnsiText.h"
#include "variant/Variant.h"

namespace qv {
namespace {

TEST(Variant, PathsAreBuiltFromTheRightDataDirectory) {
    EXPECT_EQ(variantB().normalSceneScript(), "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt");
    EXPECT_EQ(variantA().wideSceneScript(), "C:\\WINDOWS\\system32\\QUORvelkasrc\\wide\\scenescript.txt");
    EXPECT_EQ(variantC().sceneDirectory(true), "C:\\WINDOWS\\SYSTEM32\\QUORvelkcsrc\\wide\\");
    EXPECT_EQ(variantB().defaultStill(10), "C:\\WINDOWS\\system32\\QUORvelkbsrc\\still10.jpg");
    EXPECT_EQ(variantA().defaultStillUpper(3), "C:\\WINDOWS\\SYSTEM32\\QUORVELKASRC\\STILL3.JPG");
}

TEST(Variant, DifferencesBetweenTheThree) {
    // Screen layout code 2 is the one column where all three rows differ.
    EXPECT_EQ(variantA().cameraDistance[2], 204);
    EXPECT_EQ(variantB().cameraDistance[2], 202);
    EXPECT_EQ(variantC().cameraDistance[2], 206);
    EXPECT_EQ(variantA().lastDrawnLayer, 22);
    EXPECT_EQ(variantC().lastDrawnLayer, 21);
    EXPECT_EQ(variantA().messages.listFull, 139);
    EXPECT_EQ(variantB().messages.listFull, 142);
    EXPECT_EQ(variantB().dialogIds.enlarge, 1037);
    EXPECT_EQ(variantC().dialogIds.enlarge, 1036);
    // All three show the placeholder from the variant C directory.
    EXPECT_STREQ(variantA().placeholderBitmap, variantC().placeholderBitmap);
    EXPECT_EQ(findVariant('b'), &variantB());
    EXPECT_EQ(findVariant('D'), nullptr);
}

TEST(Variant, PictureBuffersHoldTheLargestCanvas) {
    EXPECT_EQ(kLargestCanvasBytes, 4380534u);
    EXPECT_GE(variantB().pictureBufferSize, kLargestCanvasBytes);
    EXPECT_GE(variantC().pictureBufferSize, kLargestCanvasBytes);
    // Variant A's largest canvas is 800 x 480.
    EXPECT_GE(variantA().pictureBufferSize, 54u + 800u * 3u * 480u);
}

TEST(AnsiText, CaseChangesOnlyAsciiLettersAndSkipsDoubleByteTrails) {
    EXPECT_EQ(upperAnsi("c:\\x\\a.txt"), "C:\\X\\A.TXT");
    setAnsiCodePage(932);
    // 0x83 0x61 is one katakana character whose trail byte looks like 'a'.
    const std::string kana = "\x83\x61";
    EXPECT_EQ(upperAnsi(kana + "a"), kana + "A");
    EXPECT_EQ(findAnsi(kana, "a"), std::string::npos);
    setAnsiCodePage(1252);
    EXPECT_EQ(upperAnsi(kana + "a"), "\x83\x41" "A");
}

}  // namespace
}  // namespace qv
