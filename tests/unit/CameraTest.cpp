// The fixed camera: distances, field of view, and the matrices startShow sets.
#include <gtest/gtest.h>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/Camera.h"
#include "scene/SceneEngine.h"
#include "tests/unit/SceneTestSupport.h"
#include "variant/Variant.h"

namespace qv {
namespace {

void expectMatrix(const Matrix4& m, const float (&expected)[4][4], float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.m[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)], expected[r][c],
                        tolerance)
                << "row " << r << " column " << c;
}

TEST(Camera, DistanceByVariantAndLayoutCode) {
    EXPECT_EQ(cameraDistance(variantA(), 2), 204);
    EXPECT_EQ(cameraDistance(variantB(), 2), 202);
    EXPECT_EQ(cameraDistance(variantC(), 2), 206);
    EXPECT_EQ(cameraDistance(variantA(), 4), 260);
    EXPECT_EQ(cameraDistance(variantB(), 4), 251);
    EXPECT_EQ(cameraDistance(variantA(), 8), 213);
    EXPECT_EQ(cameraDistance(variantC(), 14), 202);
    // Any code outside the table: 230.
    EXPECT_EQ(cameraDistance(variantB(), 15), 230);
    EXPECT_EQ(cameraDistance(variantB(), -1), 230);
    EXPECT_EQ(cameraDistance(variantA(), 1000000), 230);
}

TEST(Camera, FieldOfViewAndUpByScreenShape) {
    EXPECT_FLOAT_EQ(fieldOfView(1024, 768), 0.785398163f);
    EXPECT_FLOAT_EQ(fieldOfView(1000, 1000), 0.785398163f);
    EXPECT_FLOAT_EQ(fieldOfView(768, 1024), 0.99483770f);   // W / H = 0.75
    EXPECT_FLOAT_EQ(fieldOfView(600, 1024), 1.18682396f);   // 0.586
    EXPECT_EQ(cameraUp(1024, 768).y, 1.0f);
    EXPECT_EQ(cameraUp(768, 1024).x, -1.0f);
    EXPECT_EQ(cameraUp(768, 1024).y, 0.0f);
}

TEST(Camera, LookAtFromTheFrontOfALandscapeScreen) {
    const Matrix4 view = lookAtRH({0, 0, 251}, {0, 0, 0}, {0, 1, 0});
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, -251, 1}};
    expectMatrix(view, expected, 1e-6f);
}

TEST(Camera, LookAtOnAnUprightScreenTurnsAQuarter) {
    // z = (0, 0, 1); x = up x z = (0, 1, 0); y = z x x = (-1, 0, 0).
    const Matrix4 view = lookAtRH({0, 0, 206}, {0, 0, 0}, {-1, 0, 0});
    const float expected[4][4] = {{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, -206, 1}};
    expectMatrix(view, expected, 1e-6f);
}

TEST(Camera, PerspectiveByFieldOfView) {
    // y scale = cot(pi / 8) = 2.4142136; x scale = y scale / (4 / 3).
    const Matrix4 p = perspectiveFovRH(0.785398163f, 4.0f / 3.0f, 10, 1000);
    const float expected[4][4] = {{1.8106602f, 0, 0, 0},
                                  {0, 2.4142136f, 0, 0},
                                  {0, 0, -1.0101010f, -1},
                                  {0, 0, -10.101010f, 0}};
    expectMatrix(p, expected, 1e-5f);
}

TEST(Camera, StartShowSetsTheThreeTransformsFirst) {
    MemoryFiles files;
    files.addFile(test::kSceneScriptB, "scenetime=1\nend\n");
    RecordingDevice device;
    test::FakePictureMemory memory;
    // Screen 1280 x 1024 (code 4), shown in a 1280 x 720 client area.
    SceneEngine engine(variantB(), files, device, memory, ScreenFacts{1280, 1024, 1280, 720});
    ASSERT_EQ(engine.startShow(4), 0);
    ASSERT_EQ(device.transforms.size(), 3u);
    EXPECT_EQ(device.transforms[0].kind, TransformKind::World);
    const float identity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    expectMatrix(device.transforms[0].matrix, identity, 0);
    EXPECT_EQ(device.transforms[1].kind, TransformKind::View);
    EXPECT_FLOAT_EQ(device.transforms[1].matrix.m[3][2], -251.0f);  // B, code 4
    EXPECT_EQ(device.transforms[2].kind, TransformKind::Projection);
    // Aspect from the client area: 16 / 9.
    EXPECT_NEAR(device.transforms[2].matrix.m[0][0], 2.4142136f * 9 / 16, 1e-5);
    EXPECT_EQ(engine.distance(), 251);
    EXPECT_FLOAT_EQ(engine.fov(), 0.785398163f);
}

TEST(Camera, PreviewOfAnUprightScreenKeepsTheScreensScriptsAndAWindowCamera) {
    // Screen 600 x 1024 (r = 1.71: the wide scripts), preview 152 x 112:
    // layout code 9 (no pair; 112 / 152 = 0.74 < 0.75), distance 206 for B.
    const std::string wide = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\scenescript.txt";
    for (bool cameraForClient : {true, false}) {
        MemoryFiles files;
        files.addFile(wide, "scenetime=1\nend\n");
        RecordingDevice device;
        test::FakePictureMemory memory;
        SceneEngine engine(variantB(), files, device, memory,
                           ScreenFacts{600, 1024, 152, 112, cameraForClient});
        ASSERT_EQ(engine.startShow(9), 0);
        ASSERT_EQ(device.transforms.size(), 3u);
        EXPECT_EQ(files.openLog().front(), wide);
        EXPECT_FLOAT_EQ(device.transforms[1].matrix.m[3][2], -206.0f);
        // The preview stands upright in its landscape window (x stays x);
        // the show turns the picture a quarter for the upright screen with
        // 68 degrees (600 / 1024 < 0.75).
        const Matrix4& view = device.transforms[1].matrix;
        EXPECT_FLOAT_EQ(view.m[0][0], cameraForClient ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(view.m[1][0], cameraForClient ? 0.0f : 1.0f);
        EXPECT_FLOAT_EQ(engine.fov(), cameraForClient ? 0.785398163f : 1.18682396f);
        // Aspect 152 / 112 either way: x scale = cot(fov / 2) x 112 / 152.
        const float yScale = cameraForClient ? 2.4142136f : 1.4825610f;  // cot(34 deg)
        EXPECT_NEAR(device.transforms[2].matrix.m[1][1], yScale, 1e-5);
        EXPECT_NEAR(device.transforms[2].matrix.m[0][0], yScale * 112 / 152, 1e-5);
    }
}

TEST(Camera, FailingTransformIsReturnedBeforeTheScriptIsRead) {
    const long invalidCall = static_cast<long>(static_cast<int>(0x8876086Cu));
    for (TransformKind kind : {TransformKind::World, TransformKind::View, TransformKind::Projection}) {
        MemoryFiles files;
        files.addFile(test::kSceneScriptB, "script=.\\a.txt\nend\n");
        RecordingDevice device;
        device.failTransform(kind, invalidCall);
        test::FakePictureMemory memory;
        SceneEngine engine(variantB(), files, device, memory, ScreenFacts{});
        EXPECT_EQ(engine.startShow(0), invalidCall);
        EXPECT_EQ(device.transforms.size(), static_cast<std::size_t>(kind) + 1);  // none after it
        EXPECT_TRUE(files.openLog().empty());
    }
}

}  // namespace
}  // namespace qv
