#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhotoTestSupport.h"
#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"
#include "variant/Variant.h"

namespace qv {
namespace {

const std::string kKeyB = "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver";
const std::string kFolder = "C:\\users\\me\\AppData\\Roaming\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";

std::vector<unsigned char> bytesOf(const std::string& text, bool withZero) {
    std::vector<unsigned char> v(text.begin(), text.end());
    if (withZero) v.push_back(0);
    return v;
}

TEST(SettingsStore, OpensTheVariantKeyAndClosesIt) {
    MemoryRegistry registry;
    {
        SettingsStore store(registry, variantB());
        EXPECT_TRUE(store.isOpen());
        EXPECT_EQ(store.keyPath(), kKeyB);
        EXPECT_EQ(registry.openHandles(), 1);
        store.WriteDword("background music", 0);
    }
    EXPECT_EQ(registry.openHandles(), 0);
    EXPECT_EQ(registry.dword(kKeyB, "background music"), 0u);
    {
        SettingsStore a(registry, variantA());
        a.WriteDword("trimming", 1);
    }
    EXPECT_EQ(registry.dword("Software\\Tarn Corporation\\QUOR VELK-A Screen Saver", "trimming"), 1u);
    EXPECT_FALSE(registry.has(kKeyB, "trimming"));
}

TEST(SettingsStore, ReadsWriteTheirDefaultBackOnlyWhenTheValueIsMissing) {
    MemoryRegistry registry;
    registry.putDword(kKeyB, "background music", 0);
    registry.putString(kKeyB, "photo1", "C:\\x\\photo1.bmp");
    SettingsStore store(registry, variantB());

    EXPECT_EQ(store.ReadDword("background music", 1), 0);
    EXPECT_EQ(store.ReadString("photo1", "default"), "C:\\x\\photo1.bmp");
    EXPECT_TRUE(registry.changes().empty());

    EXPECT_EQ(store.ReadDword("trimming", 1), 1);
    EXPECT_EQ(store.ReadString("photo2", "default"), "default");
    EXPECT_EQ(registry.dword(kKeyB, "trimming"), 1u);
    ASSERT_TRUE(registry.get(kKeyB, "photo2").has_value());
    EXPECT_EQ(registry.get(kKeyB, "photo2")->bytes, bytesOf("default", true));  // stored with its zero
    EXPECT_EQ(registry.get(kKeyB, "photo2")->type, kRegSz);

    // The show's form writes nothing.
    registry.clearChanges();
    EXPECT_EQ(store.ReadStringOrError("photo3"), "error");
    EXPECT_EQ(store.ReadStringOrError("photo1"), "C:\\x\\photo1.bmp");
    EXPECT_TRUE(registry.changes().empty());
    EXPECT_FALSE(registry.has(kKeyB, "photo3"));
}

TEST(SettingsStore, ValuesOfTheWrongTypeOrLengthReadAsTheyAre) {
    MemoryRegistry registry;
    // A string where a number belongs: its first bytes are the number.
    registry.put(kKeyB, "photo_num", kRegSz, bytesOf("7", true));
    // 259 characters and the zero fill the buffer exactly; one more does not fit.
    registry.putString(kKeyB, "photo1", std::string(259, 'a'));
    registry.putString(kKeyB, "photo2", std::string(260, 'b'));
    // Eight bytes do not fit the four of a number.
    registry.put(kKeyB, "trimming", kRegBinary, std::vector<unsigned char>(8, 1));
    // A string stored without its terminating zero still reads whole.
    registry.put(kKeyB, "photo3", kRegSz, bytesOf("C:\\p.jpg", false));
    SettingsStore store(registry, variantB());

    std::uint32_t number = 99;
    EXPECT_EQ(store.QueryDword("photo_num", number), kRegSuccess);
    EXPECT_EQ(number, 0x37u);  // '7', then the zero and the cleared rest
    EXPECT_EQ(store.ReadString("photo1", "default"), std::string(259, 'a'));
    std::string text = "untouched";
    EXPECT_EQ(store.QueryString("photo2", text), kRegMoreData);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(store.ReadStringOrError("photo2"), "error");
    // The failed read writes the default over the too-long value.
    EXPECT_EQ(store.ReadString("photo2", "default"), "default");
    EXPECT_EQ(registry.text(kKeyB, "photo2"), "default");
    EXPECT_EQ(store.ReadDword("trimming", 0), 0);
    EXPECT_EQ(registry.dword(kKeyB, "trimming"), 0u);
    EXPECT_EQ(store.ReadStringOrError("photo3"), "C:\\p.jpg");
}

TEST(SettingsStore, AKeyThatCannotBeOpenedGivesDefaultsAndWritesNothing) {
    MemoryRegistry registry;
    registry.failCreate(true);
    SettingsStore store(registry, variantB());
    EXPECT_FALSE(store.isOpen());
    EXPECT_EQ(store.ReadDword("background music", 1), 1);
    EXPECT_EQ(store.ReadString("photo1", "default"), "default");
    EXPECT_EQ(store.ReadStringOrError("photo1"), "error");
    EXPECT_NE(store.WriteDword("photo_num", 3), kRegSuccess);
    EXPECT_NE(store.DeleteValue("photo1"), kRegSuccess);
    EXPECT_TRUE(registry.changes().empty());
    EXPECT_EQ(registry.openHandles(), 0);
}

TEST(SettingsStore, PhotoNumIsHeldToTheTenSlots) {
    MemoryRegistry registry;
    SettingsStore store(registry, variantB());
    EXPECT_EQ(store.ReadPhotoNum(), 0);  // missing: 0, written back
    EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 0u);
    registry.putDword(kKeyB, "photo_num", 4);
    EXPECT_EQ(store.ReadPhotoNum(), 4);
    registry.putDword(kKeyB, "photo_num", 10);
    EXPECT_EQ(store.ReadPhotoNum(), 10);
    registry.putDword(kKeyB, "photo_num", 11);
    EXPECT_EQ(store.ReadPhotoNum(), 10);
    registry.putDword(kKeyB, "photo_num", 0xFFFFFFFFu);  // -1
    EXPECT_EQ(store.ReadPhotoNum(), 0);
    registry.putDword(kKeyB, "photo_num", 0x80000000u);
    EXPECT_EQ(store.ReadPhotoNum(), 0);
}

TEST(SettingsStore, TrimmingDefaultFollowsTheScreenShape) {
    EXPECT_EQ(defaultTrimming(1280, 800), 1);   // 0.625
    EXPECT_EQ(defaultTrimming(1600, 800), 0);   // exactly 0.5
    EXPECT_EQ(defaultTrimming(1280, 768), 1);   // 0.6
    EXPECT_EQ(defaultTrimming(1920, 1080), 1);  // 0.5625
    EXPECT_EQ(defaultTrimming(1024, 768), 0);   // exactly 0.75
    EXPECT_EQ(defaultTrimming(1280, 1024), 0);  // 0.8
    EXPECT_EQ(defaultTrimming(0, 768), 0);
}

TEST(SettingsStore, PerUserPictureFolder) {
    EXPECT_EQ(userPictureFolder("C:\\users\\me\\AppData\\Roaming", variantB()), kFolder);
    EXPECT_EQ(userPictureFolder("C:\\users\\me\\AppData\\Roaming\\", variantB()), kFolder);
    EXPECT_EQ(userPictureFolder("C:\\d", variantA()), "C:\\d\\Tarn Corporation\\QUOR VELK-A Screen Saver\\");
    EXPECT_EQ(userPictureFolder("C:\\d", variantC()), "C:\\d\\Tarn Corporation\\QUOR VELK-C Screen Saver\\");
    EXPECT_FALSE(userPictureFolder("", variantB()).has_value());
    EXPECT_EQ(photoValueName(10), "photo10");
    EXPECT_EQ(photoRealValueName(3), "photo3_real");
    EXPECT_EQ(photoFileName(7), "photo7.bmp");
}

// Five slots whose chosen pictures are C:\pics\1.jpg ... C:\pics\5.jpg.
void fiveSlots(MemoryRegistry& registry) {
    registry.putDword(kKeyB, "photo_num", 5);
    for (int n = 1; n <= 5; ++n) {
        registry.putString(kKeyB, photoValueName(n), kFolder + photoFileName(n));
        registry.putString(kKeyB, photoRealValueName(n), "C:\\pics\\" + std::to_string(n) + ".jpg");
    }
}

TEST(SettingsStore, RemovingSlotThreeOfFiveShiftsTheLaterSlotsDown) {
    MemoryRegistry registry;
    fiveSlots(registry);
    registry.putString(kKeyB, "photo1", "C:\\elsewhere\\kept.bmp");  // untouched values stay as they are
    SettingsStore store(registry, variantB());
    ASSERT_TRUE(store.RemovePicture("photo3", kFolder, 5, 3));

    EXPECT_EQ(registry.text(kKeyB, "photo1"), "C:\\elsewhere\\kept.bmp");
    EXPECT_EQ(registry.text(kKeyB, "photo1_real"), "C:\\pics\\1.jpg");
    EXPECT_EQ(registry.text(kKeyB, "photo2_real"), "C:\\pics\\2.jpg");
    EXPECT_EQ(registry.text(kKeyB, "photo3"), kFolder + "photo3.bmp");
    EXPECT_EQ(registry.text(kKeyB, "photo3_real"), "C:\\pics\\4.jpg");
    EXPECT_EQ(registry.text(kKeyB, "photo4"), kFolder + "photo4.bmp");
    EXPECT_EQ(registry.text(kKeyB, "photo4_real"), "C:\\pics\\5.jpg");
    EXPECT_FALSE(registry.has(kKeyB, "photo5"));
    EXPECT_FALSE(registry.has(kKeyB, "photo5_real"));
    EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 4u);
    // Shifted strings keep their terminating zero.
    EXPECT_EQ(registry.get(kKeyB, "photo3")->bytes, bytesOf(kFolder + "photo3.bmp", true));
    EXPECT_EQ(registry.get(kKeyB, "photo4_real")->bytes, bytesOf("C:\\pics\\5.jpg", true));

    // In this order: the two deletions, the count, each slot's pair, the last slot's deletions.
    std::vector<std::string> order;
    for (const auto& change : registry.changes())
        order.push_back((change.kind == MemoryRegistry::Change::Delete ? "-" : "+") + change.name);
    EXPECT_EQ(order, (std::vector<std::string>{"-photo3", "-photo3_real", "+photo_num", "+photo3", "+photo3_real",
                                               "+photo4", "+photo4_real", "-photo5", "-photo5_real"}));
}

TEST(SettingsStore, RemovingTheLastSlotShiftsNothing) {
    MemoryRegistry registry;
    fiveSlots(registry);
    SettingsStore store(registry, variantB());
    ASSERT_TRUE(store.RemovePicture("photo5", kFolder, 5, 5));
    EXPECT_EQ(registry.setOrder(), std::vector<std::string>{"photo_num"});
    EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 4u);
    EXPECT_FALSE(registry.has(kKeyB, "photo5"));
    EXPECT_FALSE(registry.has(kKeyB, "photo5_real"));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(registry.text(kKeyB, photoRealValueName(n)), "C:\\pics\\" + std::to_string(n) + ".jpg");
}

TEST(SettingsStore, AMissingSuccessorGivesNoData) {
    MemoryRegistry fresh;
    fiveSlots(fresh);
    // Slot 3's successor has no "_real" value.
    SettingsStore store(fresh, variantB());
    ASSERT_EQ(store.DeleteValue("photo4_real"), kRegSuccess);
    ASSERT_TRUE(store.RemovePicture("photo2", kFolder, 5, 2));
    EXPECT_EQ(fresh.text(kKeyB, "photo2_real"), "C:\\pics\\3.jpg");
    EXPECT_EQ(fresh.text(kKeyB, "photo3_real"), "no data");
    EXPECT_EQ(fresh.text(kKeyB, "photo4_real"), "C:\\pics\\5.jpg");
    EXPECT_EQ(fresh.get(kKeyB, "photo3_real")->bytes, bytesOf("no data", true));
    EXPECT_EQ(fresh.dword(kKeyB, "photo_num"), 4u);
}

TEST(SettingsStore, RemovalStopsAtTheFirstFailedDeletion) {
    {
        MemoryRegistry registry;
        fiveSlots(registry);
        SettingsStore store(registry, variantB());
        // The slot's own value is missing: nothing changes.
        ASSERT_EQ(store.DeleteValue("photo2"), kRegSuccess);
        registry.clearChanges();
        EXPECT_FALSE(store.RemovePicture("photo2", kFolder, 5, 2));
        EXPECT_TRUE(registry.changes().empty());
        EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 5u);
    }
    {
        MemoryRegistry registry;
        fiveSlots(registry);
        registry.failDeleteOf("photo2_real");
        SettingsStore store(registry, variantB());
        EXPECT_FALSE(store.RemovePicture("photo2", kFolder, 5, 2));
        // photo2 went, the rest stayed, and the count kept its value.
        EXPECT_FALSE(registry.has(kKeyB, "photo2"));
        EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 5u);
        EXPECT_EQ(registry.text(kKeyB, "photo3_real"), "C:\\pics\\3.jpg");
        EXPECT_TRUE(registry.has(kKeyB, "photo5"));
    }
    {
        // A slot outside the list is refused before anything is touched.
        MemoryRegistry registry;
        fiveSlots(registry);
        SettingsStore store(registry, variantB());
        EXPECT_FALSE(store.RemovePicture("photo6", kFolder, 5, 6));
        EXPECT_FALSE(store.RemovePicture("photo0", kFolder, 5, 0));
        EXPECT_TRUE(registry.changes().empty());
    }
}

// Stills for the seeding: BMP bytes under .jpg names would not decode, so the
// fake decoder makes every JPEG a 640 x 480 picture from its header.
void addStills(MemoryFiles& files, const Variant& variant, int missing = 0) {
    for (int n = 1; n <= 10; ++n)
        if (n != missing) files.addFile(variant.defaultStill(n), testing::asString(testing::jpegBytes(640, 480)));
}

TEST(SettingsStore, SeedingWritesTheCountFirstThenEachSlotPair) {
    MemoryRegistry registry;
    MemoryFiles files;
    addStills(files, variantB());
    testing::FakeDecoder decoder(files);
    testing::RecordingMessages messages;
    PhotoImport import(variantB(), files, decoder, messages, 768);
    SettingsStore store(registry, variantB());

    EXPECT_EQ(store.SeedDefaultPictures(kFolder, files, import), 0);
    EXPECT_TRUE(files.folderExists(kFolder));
    std::vector<std::string> expected = {"pending list", "photo_num"};
    for (int n = 1; n <= 10; ++n) {
        expected.push_back(photoValueName(n));
        expected.push_back(photoRealValueName(n));
    }
    EXPECT_EQ(registry.setOrder(), expected);
    EXPECT_FALSE(registry.has(kKeyB, "pending list"));
    EXPECT_EQ(registry.dword(kKeyB, "photo_num"), 10u);
    EXPECT_EQ(registry.text(kKeyB, "photo1"), kFolder + "photo1.bmp");
    EXPECT_EQ(registry.text(kKeyB, "photo10_real"), "C:\\WINDOWS\\system32\\QUORvelkbsrc\\still10.jpg");
    for (int n = 1; n <= 10; ++n) {
        // 640 x 480 on a 768-high screen: 654 x 491.
        ASSERT_TRUE(files.exists(kFolder + photoFileName(n))) << n;
        EXPECT_EQ(files.contents(kFolder + photoFileName(n)).size(), 964378u);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SettingsStore, SeedingGoesOnPastAMissingStill) {
    MemoryRegistry registry;
    MemoryFiles files;
    addStills(files, variantA(), 3);
    testing::FakeDecoder decoder(files);
    testing::RecordingMessages messages;
    PhotoImport import(variantA(), files, decoder, messages, 768);
    const std::string folder = "C:\\ad\\Tarn Corporation\\QUOR VELK-A Screen Saver\\";
    const std::string key = variantA().settingsKey;
    {
        SettingsStore store(registry, variantA());
        EXPECT_EQ(store.SeedDefaultPictures(folder, files, import), 1);
    }
    EXPECT_EQ(registry.dword(key, "photo_num"), 10u);
    EXPECT_FALSE(registry.has(key, "photo3"));
    EXPECT_FALSE(registry.has(key, "photo3_real"));
    EXPECT_FALSE(files.exists(folder + "photo3.bmp"));
    for (int n : {1, 2, 4, 10}) {
        EXPECT_EQ(registry.text(key, photoRealValueName(n)), variantA().defaultStill(n));
        // Variant A: 640 x 480 stays 640 x 480: rows of 1920 bytes.
        EXPECT_EQ(files.contents(folder + photoFileName(n)).size(), 54u + 1920u * 480u);
    }
    // A missing source fails without a message.
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(registry.openHandles(), 0);
}

}  // namespace
}  // namespace qv
