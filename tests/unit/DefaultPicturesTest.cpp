// The first-run preparation of the user's pictures at the start of a show,
// over in-memory files and registry.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "PhotoTestSupport.h"
#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "settings/PhotoImport.h"
#include "settings/DefaultPictures.h"
#include "variant/Variant.h"

namespace qv {
namespace {

const std::string kAppData = "C:\\users\\me\\AppData\\Roaming";
const std::string kFolderB = kAppData + "\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";
const std::string kFolderA = kAppData + "\\Tarn Corporation\\QUOR VELK-A Screen Saver\\";
const std::string kKeyB = "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver";
const std::string kKeyA = "Software\\Tarn Corporation\\QUOR VELK-A Screen Saver";

// A show's surroundings: files, registry, decoder, messages, import.
struct Show {
    explicit Show(const Variant& v, int screenHeight = 768)
        : variant(v), decoder(files), import(v, files, decoder, messages, screenHeight) {}

    // Default stills of 800 x 600 for every slot but the ones left out.
    void installStills(const std::vector<int>& missing = {}) {
        for (int n = 1; n <= 10; ++n) {
            bool skip = false;
            for (int m : missing) skip = skip || (m == n);
            if (!skip) files.addFile(variant.defaultStill(n), testing::jpegBytes(800, 600));
        }
    }

    // As the show prepares them: each early end is counted, with the JPEGs
    // decoded and the messages shown by then.
    DefaultPictures prepare(const std::optional<std::string>& appData = kAppData) {
        return prepareDefaultPictures(variant, appData, files, registry, import, [this] {
            ++earlyEnds;
            decodedAtEnd = decoder.jpegCalls;
            messagesAtEnd = messages.shown.size();
        });
    }

    int earlyEnds = 0;
    int decodedAtEnd = -1;
    std::size_t messagesAtEnd = 0;

    const Variant& variant;
    MemoryFiles files;
    MemoryRegistry registry;
    testing::FakeDecoder decoder;
    testing::RecordingMessages messages;
    PhotoImport import;
};

std::string stillB(int n) { return "C:\\WINDOWS\\system32\\QUORvelkbsrc\\still" + std::to_string(n) + ".jpg"; }

TEST(DefaultPictures, FirstShowSeedsTheTenStillsIntoANewFolder) {
    Show show(variantB());
    show.installStills();
    const DefaultPictures result = show.prepare();

    EXPECT_EQ(result.folder, kFolderB);
    EXPECT_TRUE(result.seeded);
    EXPECT_EQ(result.failedStills, 0);
    EXPECT_FALSE(result.endShowEarly);
    EXPECT_EQ(show.earlyEnds, 0);
    EXPECT_TRUE(show.files.folderExists(kFolderB));
    EXPECT_TRUE(show.messages.shown.empty());

    // 800 x 600 (4:3) on a 768-line screen becomes 654 x 491: rows of 1964
    // bytes, 964324 pixel bytes, 964378 bytes in all.
    for (int n = 1; n <= 10; ++n) {
        const std::string bmp = kFolderB + "photo" + std::to_string(n) + ".bmp";
        ASSERT_TRUE(show.files.exists(bmp)) << bmp;
        const std::string data = show.files.contents(bmp);
        EXPECT_EQ(data.size(), 964378u);
        Image decoded;
        ASSERT_TRUE(decodeBmp(reinterpret_cast<const unsigned char*>(data.data()), data.size(), decoded));
        EXPECT_EQ(decoded.width, 654);
        EXPECT_EQ(decoded.height, 491);
        EXPECT_EQ(show.registry.text(kKeyB, "photo" + std::to_string(n)), bmp);
        EXPECT_EQ(show.registry.text(kKeyB, "photo" + std::to_string(n) + "_real"), stillB(n));
    }
    EXPECT_EQ(show.registry.dword(kKeyB, "photo_num"), 10u);

    // The list it is going to leave, then "photo_num", then each slot's
    // bitmap path before its source; the pending list is gone at the end.
    std::vector<std::string> order = {"pending list", "photo_num"};
    for (int n = 1; n <= 10; ++n) {
        order.push_back("photo" + std::to_string(n));
        order.push_back("photo" + std::to_string(n) + "_real");
    }
    EXPECT_EQ(show.registry.setOrder(), order);
    EXPECT_FALSE(show.registry.has(kKeyB, "pending list"));
    EXPECT_EQ(show.registry.openHandles(), 0);  // the store was closed again
}

TEST(DefaultPictures, VariantAUsesItsOwnFolderKeyAndFixedSizes) {
    Show show(variantA(), 1080);
    show.installStills();
    const DefaultPictures result = show.prepare(kAppData + "\\");  // trailing backslash given

    EXPECT_EQ(result.folder, kFolderA);
    EXPECT_FALSE(result.endShowEarly);
    // 800 x 600 becomes 640 x 480 whatever the screen: 1920-byte rows.
    EXPECT_EQ(show.files.contents(kFolderA + "photo7.bmp").size(), 54u + 480u * 1920u);
    EXPECT_EQ(show.registry.dword(kKeyA, "photo_num"), 10u);
    EXPECT_EQ(show.registry.text(kKeyA, "photo7_real"),
              std::string("C:\\WINDOWS\\system32\\QUORvelkasrc\\still7.jpg"));
    EXPECT_EQ(show.registry.valueCount(kKeyB), 0u);
}

TEST(DefaultPictures, AMissingStillLeavesItsSlotEmptyAndEndsTheShow) {
    Show show(variantB());
    show.installStills({3});
    const DefaultPictures result = show.prepare();

    EXPECT_TRUE(result.seeded);
    EXPECT_EQ(result.failedStills, 1);
    EXPECT_TRUE(result.endShowEarly);
    EXPECT_EQ(show.earlyEnds, 1);
    for (int n : {1, 2, 4, 5, 6, 7, 8, 9, 10}) {
        EXPECT_TRUE(show.files.exists(kFolderB + "photo" + std::to_string(n) + ".bmp")) << n;
        EXPECT_EQ(show.registry.text(kKeyB, "photo" + std::to_string(n) + "_real"), stillB(n));
    }
    EXPECT_FALSE(show.files.exists(kFolderB + "photo3.bmp"));
    EXPECT_FALSE(show.registry.has(kKeyB, "photo3"));
    EXPECT_FALSE(show.registry.has(kKeyB, "photo3_real"));
    // The list still counts ten slots.
    EXPECT_EQ(show.registry.dword(kKeyB, "photo_num"), 10u);
    // A still that cannot even be opened fails without a message.
    EXPECT_TRUE(show.messages.shown.empty());
}

TEST(DefaultPictures, TheFirstUndecodableStillEndsTheShowAtOnceWithTheOnlyMessage) {
    Show show(variantB());
    show.installStills();
    show.files.addFile(stillB(5), "not a picture");
    show.files.addFile(stillB(8), testing::jpegBytes(60000, 60000));  // never decoded
    const DefaultPictures result = show.prepare();

    EXPECT_EQ(result.failedStills, 2);
    EXPECT_TRUE(result.endShowEarly);
    // The show ends at still 5, before still 6 is decoded (stills 1 to 4
    // were), after its message; still 8 fails without one.
    EXPECT_EQ(show.earlyEnds, 1);
    EXPECT_EQ(show.decodedAtEnd, 4);
    EXPECT_EQ(show.messagesAtEnd, 1u);
    EXPECT_EQ(show.messages.shown, (std::vector<MessageKind>{MessageKind::MsgUnsupportedFile}));
    EXPECT_TRUE(show.messages.cursorRestoredBeforeEachMessage);
    // The seeding goes on through all ten slots.
    EXPECT_FALSE(show.files.exists(kFolderB + "photo5.bmp"));
    EXPECT_FALSE(show.files.exists(kFolderB + "photo8.bmp"));
    EXPECT_TRUE(show.files.exists(kFolderB + "photo9.bmp"));
    EXPECT_EQ(show.registry.text(kKeyB, "photo10_real"), stillB(10));
    EXPECT_EQ(show.decoder.jpegCalls, 8);  // 10 stills, less the text and the 60000-pixel claim

    // Without an early end to call (the settings dialog's preparation),
    // every failed still shows its message.
    Show dialog(variantB());
    dialog.installStills();
    dialog.files.addFile(stillB(5), "not a picture");
    dialog.files.addFile(stillB(8), testing::jpegBytes(60000, 60000));
    EXPECT_EQ(prepareDefaultPictures(variantB(), kAppData, dialog.files, dialog.registry, dialog.import).failedStills, 2);
    EXPECT_EQ(dialog.messages.shown,
              (std::vector<MessageKind>{MessageKind::MsgUnsupportedFile, MessageKind::MsgOutOfMemory}));
}

TEST(DefaultPictures, AnExistingFolderCountsAsPreparedEvenWhenEmpty) {
    Show show(variantB());
    show.installStills();
    show.files.addFolder(kFolderB);
    show.registry.putDword(kKeyB, "photo_num", 2);
    show.registry.clearChanges();
    const DefaultPictures result = show.prepare();

    EXPECT_EQ(result.folder, kFolderB);
    EXPECT_FALSE(result.seeded);
    EXPECT_FALSE(result.endShowEarly);
    EXPECT_EQ(show.decoder.jpegCalls, 0);
    EXPECT_TRUE(show.registry.changes().empty());
    EXPECT_EQ(show.registry.dword(kKeyB, "photo_num"), 2u);
    EXPECT_FALSE(show.files.exists(kFolderB + "photo1.bmp"));
}

TEST(DefaultPictures, RunsOnceAndComesBackWhenTheFolderIsDeleted) {
    Show show(variantB());
    show.installStills();
    ASSERT_TRUE(show.prepare().seeded);

    // The user's own list since then.
    show.registry.putDword(kKeyB, "photo_num", 1);
    show.registry.putString(kKeyB, "photo1_real", "D:\\mine.jpg");
    show.registry.clearChanges();
    const int decodes = show.decoder.jpegCalls;
    const DefaultPictures second = show.prepare();
    EXPECT_FALSE(second.seeded);
    EXPECT_FALSE(second.endShowEarly);
    EXPECT_EQ(show.decoder.jpegCalls, decodes);
    EXPECT_TRUE(show.registry.changes().empty());

    // Without the folder, the list is overwritten with the ten stills again.
    MemoryFiles fresh;
    for (int n = 1; n <= 10; ++n) fresh.addFile(stillB(n), testing::jpegBytes(800, 600));
    testing::FakeDecoder decoder(fresh);
    PhotoImport import(variantB(), fresh, decoder, show.messages, 768);
    const DefaultPictures third = prepareDefaultPictures(variantB(), kAppData, fresh, show.registry, import);
    EXPECT_TRUE(third.seeded);
    EXPECT_EQ(show.registry.dword(kKeyB, "photo_num"), 10u);
    EXPECT_EQ(show.registry.text(kKeyB, "photo1_real"), stillB(1));
}

TEST(DefaultPictures, WithoutAnApplicationDataFolderNothingIsTouched) {
    for (const std::optional<std::string>& appData : {std::optional<std::string>(), std::optional<std::string>("")}) {
        Show show(variantB());
        show.installStills();
        const std::size_t filesBefore = show.files.allFiles().size();
        const DefaultPictures result = show.prepare(appData);

        EXPECT_TRUE(result.endShowEarly);
        EXPECT_EQ(show.earlyEnds, 1);
        EXPECT_TRUE(result.folder.empty());
        EXPECT_FALSE(result.seeded);
        EXPECT_EQ(show.files.allFiles().size(), filesBefore);
        EXPECT_TRUE(show.registry.changes().empty());
        EXPECT_EQ(show.decoder.jpegCalls, 0);
        EXPECT_TRUE(show.messages.shown.empty());
    }
}

TEST(DefaultPictures, AFolderThatCannotBeMadeFailsEveryStill) {
    Show show(variantB());
    show.installStills();
    show.files.failWrites(true);
    const DefaultPictures result = show.prepare();

    EXPECT_TRUE(result.seeded);
    EXPECT_EQ(result.failedStills, 10);
    EXPECT_TRUE(result.endShowEarly);
    EXPECT_EQ(show.registry.dword(kKeyB, "photo_num"), 10u);
    EXPECT_FALSE(show.registry.has(kKeyB, "photo1"));
}

}  // namespace
}  // namespace qv
