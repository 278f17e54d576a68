// The settings dialog's logic over in-memory files, registry and list. The
// pictures are told apart by the size of their converted bitmaps on a
// 1024 x 768 screen (base height 491): an 80 x 60 still becomes 654 x 491,
// a 90 x 60 photo 818 x 545, 60 x 80 368 x 491, 70 x 60 572 x 491.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PhotoTestSupport.h"
#include "library/LibraryFile.h"
#include "platform/fake/FakeFolders.h"
#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "settings/DefaultPictures.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsDialog.h"
#include "variant/Variant.h"

namespace qv {
namespace {

const std::string kAppData = "C:\\users\\me\\AppData\\Roaming";
const std::string kFolder = kAppData + "\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";
const std::string kKey = "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver";
const std::string kNofile = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\nofile.bmp";
const std::string kWide = "D:\\p\\wide.jpg", kTall = "D:\\p\\tall.jpg", kSquare = "D:\\p\\square.jpg";
using Size = std::pair<int, int>;
const Size kStill{654, 491}, kWideSize{818, 545}, kTallSize{368, 491}, kSquareSize{572, 491}, kNone{0, 0};
// A folder of 3:2 pictures in three kinds, nested, named in several
// scripts: whichever comes first converts to 818 x 545.
const std::string kPhotos = "D:\\Fotos\\";
const std::vector<std::string> kPhotosListed = {"2020\\a.jpg", "b.png", "\xCE\x95\xCE\xBB\\c.bmp",
                                                "\xE5\x86\x99\xE7\x9C\x9F\\d.jpg"};

class FakeList : public PictureListPort {
public:
    std::vector<Image> items;
    std::vector<std::string> picks;  // answers of the file selection, first first; none: cancel
    std::vector<std::string> openedIn;
    int revealed = -1;
    bool canCreate = true;
    int waits = 0;
    bool createThumbnailList() override { return canCreate; }
    void deleteAllItems() override { items.clear(); }
    bool insertItem(int index, const Image& thumbnail, const std::string&) override {
        if (!canCreate || index < 0) return false;
        // As the list view does: an index past the end appends.
        items.insert(items.begin() + std::min(index, int(items.size())), thumbnail);
        return true;
    }
    std::optional<std::string> choosePicture(const std::string& initialFolder) override {
        openedIn.push_back(initialFolder);
        if (picks.empty()) return std::nullopt;
        std::string picked = picks.front();
        picks.erase(picks.begin());
        return picked;
    }
    std::optional<std::string> chooseFolder(const std::string& initialFolder) override {
        openedIn.push_back(initialFolder);
        if (folderPicks.empty()) return std::nullopt;
        std::string picked = folderPicks.front();
        folderPicks.erase(folderPicks.begin());
        return picked;
    }
    std::vector<std::string> folderPicks;  // answers of the folder picker
    void revealItem(int index) override { revealed = index; }
    void showWaitCursor() override { ++waits; }
    void showProgress(int current, int total) override { progress.emplace_back(current, total); }
    std::vector<std::pair<int, int>> progress;
};

// What a thumbnail shows, by its centre: a picture (the fake decoder's flat
// grey), the placeholder bitmap (blue), or the drawn card.
std::string shows(const Image& thumbnail) {
    if (thumbnail.width != 76 || thumbnail.height != 57) return "wrong size";
    const auto p = testing::pixel(thumbnail, 38, 20);
    if (p == std::array<unsigned char, 3>{128, 128, 128}) return "photo";
    if (p == std::array<unsigned char, 3>{200, 0, 0}) return "nofile";
    if (p[0] == 0xE4 && p[1] == 0xE4) return "card";
    return "?";
}

struct Desk {
    Desk() {
        decoder.jpegColour = nullptr;  // flat grey: quick
        for (int n = 1; n <= 10; ++n) files.addFile(variantB().defaultStill(n), testing::jpegBytes(80, 60));
        files.addFile(kWide, testing::jpegBytes(90, 60));
        files.addFile(kTall, testing::jpegBytes(60, 80));
        files.addFile(kSquare, testing::jpegBytes(70, 60));
        files.addFile(kNofile, encodeBmp24(testing::makeImage(8, 6, [](int, int) {
                          return std::array<unsigned char, 3>{200, 0, 0};
                      })));
    }
    SettingsDialog& open() {
        dialog.reset();
        list.items.clear();  // a new window's list
        list.openedIn.clear();
        dialog = std::make_unique<SettingsDialog>(variantB(), files, registry, decoder, messages, list, around);
        dialog->useLibrary(folders, pictures, 7);
        dialog->OnInitDialog();
        return *dialog;
    }
    std::string value(const std::string& name) const { return registry.text(kKey, name).value_or("-"); }
    // Values of the list that were set or deleted, leaving out the pending
    // list that every operation writes first and deletes at its end.
    std::vector<std::string> listChanges() const {
        std::vector<std::string> names;
        for (const auto& change : registry.changes())
            if (change.name != "pending list") names.push_back(change.name);
        return names;
    }
    // Every value of the list, to compare a whole store before and after.
    std::vector<std::string> listValues() const {
        std::vector<std::string> all{std::to_string(count())};
        for (int n = 1; n <= 10; ++n) {
            all.push_back(value("photo" + std::to_string(n)));
            all.push_back(value("photo" + std::to_string(n) + "_real"));
        }
        return all;
    }
    unsigned count() const { return registry.dword(kKey, "photo_num").value_or(99); }
    Size bitmap(int n) const {
        BmpInfo info;
        const std::string bytes = files.contents(kFolder + "photo" + std::to_string(n) + ".bmp");
        if (!readBmpInfo(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), info)) return kNone;
        return {info.width, info.height};
    }
    std::vector<Size> bitmaps() const {
        std::vector<Size> all;
        for (int n = 1; n <= 10; ++n) all.push_back(bitmap(n));
        return all;
    }
    std::vector<std::string> thumbnails() const {
        std::vector<std::string> all;
        for (const Image& t : list.items) all.push_back(shows(t));
        return all;
    }
    // A list of the given pictures with their bitmaps, as a dialog leaves
    // it, and the two switches as an opening leaves them.
    void store(const std::vector<std::string>& sources) {
        files.addFolder(kFolder);
        registry.putDword(kKey, "photo_num", static_cast<std::uint32_t>(sources.size()));
        registry.putDword(kKey, "background music", 1);
        registry.putDword(kKey, "trimming", 0);
        PhotoImport import(variantB(), files, decoder, messages, 768);
        import.setPictureDecoder(&pictures);
        import.setFolderPort(&folders, 7);
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const std::string n = std::to_string(i + 1);
            registry.putString(kKey, "photo" + n, kFolder + "photo" + n + ".bmp");
            registry.putString(kKey, "photo" + n + "_real", sources[i]);
            // Converted once per picture for all the tests.
            // A folder's order file with it.
            static std::map<std::string, std::pair<std::string, std::string>> made;
            const std::string bitmap = kFolder + "photo" + n + ".bmp";
            const std::string library = kFolder + libraryFileName(int(i) + 1);
            if (!made.count(sources[i])) {
                EXPECT_TRUE(import.ConvertPicture(sources[i], int(i) + 1, kFolder, false).written());
                made[sources[i]] = {files.contents(bitmap), files.exists(library) ? files.contents(library) : ""};
            }
            files.addFile(bitmap, made[sources[i]].first);
            if (!made[sources[i]].second.empty()) files.addFile(library, made[sources[i]].second);
        }
        messages.shown.clear();
        registry.clearChanges();
    }

    // The folder of kPhotos, on disk and as the folder port lists it.
    void makePhotos() {
        files.addFile(kPhotos + kPhotosListed[0], testing::jpegBytes(90, 60));
        files.addFile(kPhotos + kPhotosListed[1], testing::pngBytes(90, 60));
        files.addFile(kPhotos + kPhotosListed[2], encodeBmp24(testing::makeImage(90, 60, testing::positionColour)));
        files.addFile(kPhotos + kPhotosListed[3], testing::jpegBytes(90, 60));
        files.addFile(kPhotos + "notes.txt", std::string("not a picture"));
        for (const std::string& name : kPhotosListed) folders.addFile(kPhotos + name);
        folders.addFile(kPhotos + "notes.txt");
        folders.addFile(kPhotos + "Thumbs.db", FakeFolders::Hidden | FakeFolders::System);
    }
    bool hasLibrary(int n) const { return files.exists(kFolder + libraryFileName(n)); }
    std::vector<bool> libraries() const {
        std::vector<bool> all;
        for (int n = 1; n <= 10; ++n) all.push_back(hasLibrary(n));
        return all;
    }

    MemoryFiles files;
    FakeFolders folders;
    MemoryRegistry registry;
    testing::FakeDecoder decoder{files};
    testing::FakePictureDecoder pictures{files};
    testing::RecordingMessages messages;
    FakeList list;
    DialogSurroundings around{kAppData, std::string("C:\\users\\me\\Pictures"), 1024, 768};
    std::unique_ptr<SettingsDialog> dialog;
};

TEST(SettingsDialog, FirstOpeningSeedsTheStillsAndReadsTheSwitchesWithTheirDefaults) {
    Desk desk;
    SettingsDialog& d = desk.open();
    EXPECT_EQ(d.pictureCount(), 10);
    EXPECT_EQ(desk.thumbnails(), std::vector<std::string>(10, "photo"));
    EXPECT_EQ(desk.bitmaps(), std::vector<Size>(10, kStill));
    EXPECT_EQ(d.ListedSources[9], variantB().defaultStill(10));
    EXPECT_EQ(desk.count(), 10u);
    // Each still is announced as it is converted; the list then takes the
    // bitmaps as they are.
    std::vector<std::pair<int, int>> announced;
    for (int n = 1; n <= 10; ++n) announced.emplace_back(n, 10);
    EXPECT_EQ(desk.list.progress, announced);
    // Music on; 1024 x 768 (exactly 0.75) is no wide screen: "Fit Screen".
    EXPECT_EQ(d.backgroundMusic(), 1);
    EXPECT_EQ(d.trimming(), 0);
    EXPECT_EQ(desk.registry.dword(kKey, "background music"), 1u);
    EXPECT_EQ(desk.registry.dword(kKey, "trimming"), 0u);
    EXPECT_TRUE(desk.messages.shown.empty());

    // OK stores the switches, music first; without OK they stay as stored.
    desk.registry.clearChanges();
    d.OnMusicOff();
    d.OnEnlarge();
    d.OnOK();
    EXPECT_EQ(desk.registry.setOrder(), (std::vector<std::string>{"background music", "trimming"}));
    d.OnMusicOn();
    d.OnFitScreen();
    SettingsDialog& again = desk.open();
    EXPECT_EQ(again.backgroundMusic(), 0);
    EXPECT_EQ(again.trimming(), 1);
}

TEST(SettingsDialog, OpeningShowsWhatTheStoreHolds) {
    Desk desk;
    desk.store({kWide, kTall, kSquare});
    // A bitmap that went missing is made again; one whose picture is gone
    // too shows the placeholder, without a message.
    desk.files.remove(kFolder + "photo2.bmp");
    desk.files.remove(kFolder + "photo3.bmp");
    desk.files.remove(kSquare);
    SettingsDialog& d = desk.open();
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo", "nofile"}));
    EXPECT_EQ(desk.bitmap(2), kTallSize);
    EXPECT_TRUE(desk.messages.shown.empty());
    EXPECT_EQ(d.ListedSources[2], kSquare);

    // Without nofile.bmp (variant C's directory) a drawn card stands in.
    desk.files.remove(kNofile);
    desk.open();
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo", "card"}));
    EXPECT_TRUE(desk.messages.shown.empty());

    // A bitmap that opens but is no picture: its message and the drawn
    // card, and every later slot is still shown, so item i stays slot i + 1.
    desk.files.addFile(kFolder + "photo2.bmp", std::string("BMxx"));
    SettingsDialog& cut = desk.open();
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "card", "card"}));
    EXPECT_EQ(desk.messages.shown, (std::vector<MessageKind>{MessageKind::MsgUnsupportedFile}));
    EXPECT_EQ(cut.ListedSources[2], kSquare);
    // An Add then lands at item 3, where Delete finds it as slot 4.
    desk.files.addFile(kNofile, encodeBmp24(testing::makeImage(8, 6, [](int, int) {
                           return std::array<unsigned char, 3>{200, 0, 0};
                       })));
    desk.files.addFile(kSquare, testing::jpegBytes(70, 60));
    desk.list.picks = {variantB().defaultStill(4)};
    cut.OnAdd();
    ASSERT_EQ(desk.thumbnails().size(), 4u);
    EXPECT_EQ(desk.list.revealed, 3);
    cut.OnDelete(3);
    EXPECT_EQ(desk.value("photo3_real"), kSquare);
    EXPECT_EQ(desk.value("photo4_real"), "-");

    // "photo_num" = 3 with no slot values: "default" written, three placeholders.
    Desk bare;
    bare.files.addFolder(kFolder);
    bare.registry.putDword(kKey, "photo_num", 3);
    bare.open();
    EXPECT_EQ(bare.thumbnails(), std::vector<std::string>(3, "nofile"));
    EXPECT_EQ(bare.value("photo3"), "default");
    EXPECT_EQ(bare.value("photo3_real"), "default");

    // A count past ten reads as ten.
    bare.registry.putDword(kKey, "photo_num", 12);
    EXPECT_EQ(bare.open().pictureCount(), 10);
}

TEST(SettingsDialog, WithoutAnApplicationDataFolderNothingIsListedOrMade) {
    Desk desk;
    desk.around.appDataFolder.reset();
    const auto before = desk.files.allFiles();
    SettingsDialog& d = desk.open();
    desk.list.picks = {kWide};
    d.OnAdd();
    d.OnInitialize();
    EXPECT_FALSE(d.hasPictureFolder());
    EXPECT_EQ(d.pictureCount(), 0);
    EXPECT_TRUE(desk.list.items.empty());
    EXPECT_TRUE(desk.list.openedIn.empty());
    EXPECT_EQ(desk.files.allFiles(), before);
    EXPECT_FALSE(desk.registry.has(kKey, "photo_num"));
    // OK stores the switches all the same (opening wrote their defaults:
    // only changed values show that OK wrote).
    desk.registry.clearChanges();
    d.OnMusicOff();
    d.OnEnlarge();
    d.OnOK();
    EXPECT_EQ(desk.registry.setOrder(), (std::vector<std::string>{"background music", "trimming"}));
    EXPECT_EQ(desk.registry.dword(kKey, "background music"), 0u);
    EXPECT_EQ(desk.registry.dword(kKey, "trimming"), 1u);
}

TEST(SettingsDialog, AddConvertsIntoTheNextSlotAndRefusesWhatItMust) {
    Desk desk;
    desk.store({kWide});
    SettingsDialog& d = desk.open();
    desk.list.picks = {kTall, kTall, "D:\\P\\TALL.JPG", "D:\\p\\bad.jpg"};
    d.OnAdd();
    EXPECT_EQ(desk.registry.setOrder(),
              (std::vector<std::string>{"pending list", "photo2", "photo_num", "photo2_real"}));
    EXPECT_FALSE(desk.registry.has(kKey, "pending list"));
    EXPECT_EQ(desk.value("photo2"), kFolder + "photo2.bmp");
    EXPECT_EQ(desk.value("photo2_real"), kTall);
    EXPECT_EQ(desk.bitmap(2), kTallSize);
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo"}));
    EXPECT_EQ(desk.list.revealed, 1);
    // The file selection opens where the last picture came from.
    EXPECT_EQ(desk.list.openedIn, (std::vector<std::string>{"C:\\users\\me\\Pictures"}));

    desk.registry.clearChanges();
    d.OnAdd();  // the same path again
    EXPECT_EQ(desk.messages.shown, (std::vector<MessageKind>{MessageKind::MsgAlreadyListed}));
    EXPECT_TRUE(desk.registry.changes().empty());
    d.OnAdd();  // the same file in other letter case is another entry
    EXPECT_EQ(d.pictureCount(), 3);
    EXPECT_EQ(desk.value("photo3_real"), "D:\\P\\TALL.JPG");
    EXPECT_EQ(desk.list.openedIn.back(), "D:\\p");

    // Rejected by the check (here: no such file): nothing stored, no bitmap.
    desk.registry.clearChanges();
    desk.messages.shown.clear();
    d.OnAdd();
    EXPECT_EQ(desk.messages.shown, (std::vector<MessageKind>{MessageKind::MsgUnsupportedFile}));
    EXPECT_TRUE(desk.registry.changes().empty());
    EXPECT_EQ(desk.bitmap(4), kNone);
    d.OnAdd();  // cancelled in the file selection
    EXPECT_EQ(d.pictureCount(), 3);

    // A full list says so before any file selection.
    desk.messages.shown.clear();
    desk.list.openedIn.clear();
    d.OnInitialize();
    d.OnAdd();
    EXPECT_EQ(desk.messages.shown.back(), MessageKind::MsgListFull);
    EXPECT_TRUE(desk.list.openedIn.empty());
}

TEST(SettingsDialog, OpeningMakesAMissingFolderBitmapFromItsKeptOrder) {
    // Slot 2 holds D:\Album\ with a.png (90 x 60: 818 x 545), b.png (60 x 80:
    // 368 x 491), c.png (70 x 60: 572 x 491); z.png is no picture. Kept: the
    // round of the library file, b on screen.
    const std::string album = "D:\\Album\\";
    const std::map<char, Size> sizes = {{'a', kWideSize}, {'b', kTallSize}, {'c', kSquareSize}};
    struct Row {
        const char* what;
        const char* folder;  // its pictures by letter; "-": gone
        const char* kept;    // "" none, "!" damaged
        bool bitmap;         // photo2.bmp there at the opening
        char made;           // the picture written ('*': a new order's first; 0: nothing written)
        std::size_t position;
        std::vector<MessageKind> said;
    } const rows[] = {
        {"kept order: the one after the picture shown", "abc", "bca", false, 'c', 2, {}},
        {"the next one broken: passed over", "abcz", "bza", false, 'a', 3, {}},
        {"damaged library file: a new order's first", "abc", "!", false, '*', 1, {}},
        {"folder gone: the placeholder, silently, as for a picture gone", "-", "bca", false, 0, 0, {}},
        {"nothing usable: said, placeholder", "z", "", false, 0, 0, {MessageKind::MsgFolderWithoutPictures}},
        {"bitmap there: left as it is", "abc", "bca", true, 0, 0, {}},
    };
    for (const Row& row : rows) {
        Desk desk;
        desk.store({kWide});
        desk.registry.putDword(kKey, "photo_num", 2);
        desk.registry.putString(kKey, "photo2", kFolder + "photo2.bmp");
        desk.registry.putString(kKey, "photo2_real", album);
        const std::string bitmapBefore = row.bitmap ? desk.files.contents(kFolder + "photo1.bmp") : "";
        if (row.bitmap) desk.files.addFile(kFolder + "photo2.bmp", bitmapBefore);
        const Size stored[] = {{90, 60}, {60, 80}, {70, 60}};
        for (const char* c = row.folder; *c && *c != '-'; ++c) {
            const std::string name = album + *c + ".png";
            const std::vector<unsigned char> garbage = {'n', 'o'};
            desk.files.addFile(
                name,
                *c == 'z' ? garbage : testing::pngBytes(stored[*c - 'a'].first, stored[*c - 'a'].second));
            desk.folders.addFile(name);
        }
        std::vector<std::string> round;
        for (const char* c = row.kept; *c && *c != '!'; ++c) round.push_back(std::string(1, *c) + ".png");
        const std::string library = kFolder + libraryFileName(2);
        if (!round.empty()) {
            ASSERT_TRUE(writeLibraryFile(desk.files, kFolder, 2, {album, round, 1, "b.png"}));
        }
        if (*row.kept == '!') desk.files.addFile(library, std::string("QVLB damaged"));
        const std::string libraryBefore = desk.files.contents(library);

        desk.open();
        EXPECT_EQ(desk.messages.shown, row.said) << row.what;
        EXPECT_EQ(desk.thumbnails(),
                  (std::vector<std::string>{"photo", row.made || row.bitmap ? "photo" : "nofile"}))
            << row.what;
        // The same progress line as for a picture's bitmap made again.
        EXPECT_EQ(desk.list.progress.size(), row.bitmap ? 0u : 1u) << row.what;
        if (row.made == 0) {
            EXPECT_EQ(desk.files.contents(kFolder + "photo2.bmp"), bitmapBefore) << row.what;
            EXPECT_EQ(desk.files.contents(library), libraryBefore) << row.what;
            continue;
        }
        LibraryState state;
        ASSERT_TRUE(readLibraryFile(desk.files, kFolder, 2, album, state)) << row.what;
        EXPECT_EQ(state.current, row.made == '*' ? state.round.front() : std::string(1, row.made) + ".png")
            << row.what;
        EXPECT_EQ(state.position, row.position) << row.what;
        EXPECT_EQ(desk.bitmap(2), sizes.at(state.current[0])) << row.what;
    }
}

TEST(SettingsDialog, AddFolderStoresTheFolderItsFirstPictureAndItsOrder) {
    using Colour = std::array<unsigned char, 3>;
    Desk desk;
    desk.makePhotos();
    desk.store({kWide});
    SettingsDialog& d = desk.open();
    desk.list.progress.clear();
    desk.list.folderPicks = {"D:\\Fotos"};  // the picker gives no closing backslash
    d.OnAddFolder();
    EXPECT_TRUE(desk.messages.shown.empty());
    EXPECT_EQ(desk.listChanges(), (std::vector<std::string>{"photo2", "photo_num", "photo2_real"}));
    EXPECT_EQ(desk.value("photo2_real"), kPhotos);
    EXPECT_EQ(desk.value("photo2"), kFolder + "photo2.bmp");
    EXPECT_EQ(desk.bitmap(2), kWideSize);
    // The order of every picture, subfolders too, the text file and the
    // hidden one left out; the first of it is on show.
    LibraryState state;
    ASSERT_TRUE(readLibraryFile(desk.files, kFolder, 2, kPhotos, state));
    std::vector<std::string> round = state.round;
    std::sort(round.begin(), round.end());
    std::vector<std::string> listed = kPhotosListed;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(round, listed);
    EXPECT_EQ(state.position, 1u);
    EXPECT_EQ(state.current, state.round.front());
    // Listed with its thumbnail, which alone carries the folder mark.
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo"}));
    EXPECT_EQ(testing::pixel(desk.list.items[1], 5, 39), (Colour{0x40, 0xC8, 0xF0}));
    EXPECT_EQ(testing::pixel(desk.list.items[0], 5, 39), (Colour{128, 128, 128}));
    EXPECT_EQ(desk.list.revealed, 1);
    EXPECT_EQ(desk.list.progress, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(d.initialFolder(), "D:\\Fotos");

    // Refusals store nothing and leave no file of slot 3.
    desk.folders.addFolder("D:\\Empty");
    desk.folders.addFile("D:\\Empty\\readme.txt");
    desk.files.addFile("D:\\Broken\\x.jpg", std::string("garbage"));
    desk.folders.addFile("D:\\Broken\\x.jpg");
    const std::pair<std::optional<std::string>, std::vector<MessageKind>> refusals[] = {
        {kPhotos, {MessageKind::MsgAlreadyListed}},
        {std::string("D:\\Empty\\"), {MessageKind::MsgFolderWithoutPictures}},
        {std::string("D:\\Broken"), {MessageKind::MsgFolderWithoutPictures}},
        {std::string("D:\\Gone"), {MessageKind::MsgFolderWithoutPictures}},
        {std::nullopt, {}},  // cancelled in the picker
    };
    for (const auto& [pick, said] : refusals) {
        SCOPED_TRACE(pick.value_or("(cancelled)"));
        desk.registry.clearChanges();
        desk.messages.shown.clear();
        desk.list.folderPicks.clear();
        if (pick) desk.list.folderPicks.push_back(*pick);
        d.OnAddFolder();
        EXPECT_EQ(desk.messages.shown, said);
        EXPECT_TRUE(desk.listChanges().empty());
        EXPECT_EQ(d.pictureCount(), 2);
        EXPECT_EQ(desk.bitmap(3), kNone);
        EXPECT_FALSE(desk.hasLibrary(3));
    }
}

TEST(SettingsDialog, ExchangeDeleteAndInitializeCarryOrDropAFolderSlotsLibraryFile) {
    Desk desk;
    desk.makePhotos();
    desk.store({kWide, kPhotos, kTall});
    SettingsDialog& d = desk.open();
    const std::string order = desk.files.contents(kFolder + libraryFileName(2));
    ASSERT_FALSE(order.empty());
    std::vector<bool> only(10, false);

    d.OnDelete(0);  // the folder slot moves down to slot 1 with its order
    EXPECT_EQ(desk.value("photo1_real"), kPhotos);
    EXPECT_EQ(desk.files.contents(kFolder + libraryFileName(1)), order);
    only[0] = true;
    EXPECT_EQ(desk.libraries(), only);
    EXPECT_EQ(desk.bitmap(1), kWideSize);
    EXPECT_EQ(desk.bitmap(2), kTallSize);

    desk.list.picks = {kSquare};
    d.OnExchange(0);  // a picture in its place: no order to keep
    EXPECT_EQ(desk.value("photo1_real"), kSquare);
    EXPECT_EQ(desk.bitmap(1), kSquareSize);
    EXPECT_EQ(desk.libraries(), std::vector<bool>(10, false));

    desk.list.folderPicks = {kPhotos};
    d.OnAddFolder();
    EXPECT_TRUE(desk.hasLibrary(3));
    d.OnInitialize();
    EXPECT_EQ(desk.libraries(), std::vector<bool>(10, false));
}

TEST(SettingsDialog, AnAddWhoseStoreWriteFailsTakesBackTheOthersAndItsBitmap) {
    // Whichever of the three writes fails, nothing of the slot stays: no
    // stray photo2 past the count, no bitmap, the list as it was.
    for (const char* failing : {"photo2", "photo_num", "photo2_real"}) {
        SCOPED_TRACE(failing);
        Desk desk;
        desk.store({kWide});
        SettingsDialog& d = desk.open();
        desk.registry.failSetOf(failing);
        desk.list.picks = {kTall};
        d.OnAdd();
        EXPECT_EQ(desk.count(), 1u);
        EXPECT_EQ(desk.value("photo2"), "-");
        EXPECT_EQ(desk.value("photo2_real"), "-");
        EXPECT_EQ(desk.bitmap(2), kNone);
        EXPECT_EQ(d.pictureCount(), 1);
        EXPECT_EQ(desk.thumbnails().size(), 1u);
        EXPECT_FALSE(desk.registry.has(kKey, "pending list"));
    }
}

TEST(SettingsDialog, ABitmapThatCannotBeSavedLeavesTheListAsItWasAndSaysSo) {
    // A full disk fails every write; a bitmap held open fails one slot's,
    // half-way through Initialize (slots 1 and 2 already hold stills).
    struct Case {
        const char* what;
        std::function<void(Desk&)> fault;
        std::function<void(SettingsDialog&, Desk&)> run;
    };
    const auto diskFull = [](Desk& desk) { desk.files.failWrites(true); };
    const Case cases[] = {
        {"add", diskFull,
         [](SettingsDialog& d, Desk& desk) { desk.list.picks = {variantB().defaultStill(5)}; d.OnAdd(); }},
        {"exchange", diskFull,
         [](SettingsDialog& d, Desk& desk) { desk.list.picks = {variantB().defaultStill(5)}; d.OnExchange(0); }},
        {"initialize", diskFull, [](SettingsDialog& d, Desk&) { d.OnInitialize(); }},
        {"initialize, photo3.bmp held open", [](Desk& desk) { desk.files.pin(kFolder + "photo3.bmp"); },
         [](SettingsDialog& d, Desk&) { d.OnInitialize(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        desk.store({kWide, kTall, kSquare});
        desk.files.remove(kSquare);  // the third picture is gone: its bitmap must stay all the same
        SettingsDialog& d = desk.open();
        const auto values = desk.listValues();
        const auto bitmaps = desk.bitmaps();
        desk.messages.shown.clear();
        c.fault(desk);
        c.run(d, desk);
        desk.files.failWrites(false);
        EXPECT_EQ(desk.messages.shown.back(), MessageKind::MsgCannotSavePicture);
        EXPECT_EQ(desk.listValues(), values);
        EXPECT_EQ(desk.bitmaps(), bitmaps);
        EXPECT_EQ(d.pictureCount(), 3);
        EXPECT_EQ(desk.thumbnails(), std::vector<std::string>(3, "photo"));
        EXPECT_FALSE(desk.registry.has(kKey, "pending list"));
    }
}

TEST(SettingsDialog, ADeleteWhoseBitmapsCannotMoveChangesNothingAndSaysSo) {
    // Deleting slot 2 of 3 removes photo2.bmp and moves photo3.bmp: either
    // held open (readable, not removable) stops it; photo1.bmp does not.
    struct Case {
        int pinned;
        bool refused;
    };
    for (const Case c : {Case{2, true}, Case{3, true}, Case{1, false}}) {
        SCOPED_TRACE(c.pinned);
        Desk desk;
        desk.store({kWide, kTall, kSquare});
        SettingsDialog& d = desk.open();
        const auto values = desk.listValues();
        desk.files.pin(kFolder + "photo" + std::to_string(c.pinned) + ".bmp");
        d.OnDelete(1);
        if (c.refused) {
            EXPECT_EQ(desk.messages.shown.back(), MessageKind::MsgCannotSavePicture);
            EXPECT_EQ(desk.listValues(), values);
            EXPECT_EQ(desk.bitmaps()[1], kTallSize);
            EXPECT_EQ(desk.bitmaps()[2], kSquareSize);
            EXPECT_EQ(d.pictureCount(), 3);
        } else {
            EXPECT_EQ(desk.value("photo2_real"), kSquare);
            EXPECT_EQ(desk.bitmaps()[1], kSquareSize);
            EXPECT_EQ(desk.bitmap(3), kNone);
            EXPECT_EQ(d.pictureCount(), 2);
        }
        EXPECT_EQ(desk.bitmaps()[0], kWideSize);
    }
}

TEST(SettingsDialog, DeleteMovesTheLaterBitmapsDownWithTheStore) {
    Desk desk;
    desk.store({kWide, kTall, kSquare, variantB().defaultStill(1)});
    SettingsDialog& d = desk.open();
    desk.messages.answer = kMsgSecondButton;  // Escape on the confirmation
    d.OnDelete(1);
    EXPECT_EQ(d.pictureCount(), 4);
    EXPECT_TRUE(desk.registry.changes().empty());

    desk.messages.answer = kMsgFirstButton;
    // The last slot's picture is gone, so its bitmap can only arrive in slot
    // 3 by being moved there, not by being made again at the refill.
    desk.files.remove(variantB().defaultStill(1));
    d.OnDelete(1);  // slot 2 of 4
    desk.files.addFile(variantB().defaultStill(1), testing::jpegBytes(80, 60));
    EXPECT_EQ(desk.bitmaps(), (std::vector<Size>{kWideSize, kSquareSize, kStill, kNone, kNone, kNone, kNone,
                                                 kNone, kNone, kNone}));
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo", "photo"}));
    EXPECT_EQ(desk.value("photo2_real"), kSquare);
    EXPECT_EQ(desk.value("photo3_real"), variantB().defaultStill(1));
    EXPECT_EQ(desk.value("photo4"), "-");
    EXPECT_EQ(desk.count(), 3u);
    EXPECT_EQ(desk.thumbnails().size(), 3u);
    EXPECT_EQ(d.ListedSources[1], kSquare);

    // A bitmap that cannot be moved is made from the slot's picture.
    desk.files.remove(kFolder + "photo3.bmp");
    d.OnDelete(0);
    EXPECT_EQ(desk.bitmaps()[0], kSquareSize);
    EXPECT_EQ(desk.bitmaps()[1], kStill);
    d.OnDelete(0);
    desk.messages.shown.clear();
    d.OnDelete(0);  // the last one
    EXPECT_EQ(desk.messages.shown, (std::vector<MessageKind>{MessageKind::MsgCannotDeleteAll}));
    EXPECT_EQ(desk.count(), 1u);
}

TEST(SettingsDialog, ADeleteThatFailsHalfWayStillLeavesStoreAndBitmapsAgreeing) {
    // Slot 2's bitmap is gone and so is its picture: it cannot be moved or
    // made. It keeps no bitmap; the later slots still move; the list and
    // the count follow the store.
    Desk desk;
    desk.store({kWide, kTall, kSquare, variantB().defaultStill(1)});
    SettingsDialog& d = desk.open();
    desk.files.remove(kFolder + "photo2.bmp");
    desk.files.remove(kTall);
    d.OnDelete(0);
    EXPECT_EQ(desk.count(), 3u);
    EXPECT_EQ(d.pictureCount(), 3);
    EXPECT_EQ(desk.value("photo1_real"), kTall);
    EXPECT_EQ(desk.bitmaps(), (std::vector<Size>{kNone, kSquareSize, kStill, kNone, kNone, kNone, kNone, kNone,
                                                 kNone, kNone}));
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"nofile", "photo", "photo"}));

    // A deletion the store refuses changes nothing, neither files nor list.
    desk.registry.failDeleteOf("photo2_real");
    d.OnDelete(1);
    EXPECT_EQ(desk.count(), 3u);
    EXPECT_EQ(desk.value("photo2"), kFolder + "photo2.bmp");
    EXPECT_EQ(desk.bitmap(2), kSquareSize);
    EXPECT_EQ(d.pictureCount(), 3);
}

TEST(SettingsDialog, ExchangeMakesItsOwnSlotAndInitializeEverySlot) {
    Desk desk;
    desk.store({kWide, kTall});
    SettingsDialog& d = desk.open();
    desk.list.picks = {kTall, kSquare};
    d.OnExchange(1);  // its own picture counts as listed
    EXPECT_EQ(desk.messages.shown, (std::vector<MessageKind>{MessageKind::MsgAlreadyListed}));
    // One decoding for the picked picture; slot 1's bitmap is left as it is.
    const std::string first = desk.files.contents(kFolder + "photo1.bmp");
    desk.decoder.jpegCalls = 0;
    d.OnExchange(1);
    EXPECT_EQ(desk.decoder.jpegCalls, 1);
    EXPECT_EQ(desk.files.contents(kFolder + "photo1.bmp"), first);
    EXPECT_EQ(desk.registry.setOrder(), (std::vector<std::string>{"pending list", "photo2", "photo2_real"}));
    EXPECT_EQ(desk.bitmaps()[0], kWideSize);
    EXPECT_EQ(desk.bitmaps()[1], kSquareSize);
    EXPECT_EQ(d.ListedSources[1], kSquare);
    EXPECT_EQ(desk.list.revealed, 1);

    // A conversion that fails changes nothing.
    desk.registry.clearChanges();
    desk.files.failWrites(true);
    desk.list.picks = {kTall};
    d.OnExchange(0);
    desk.files.failWrites(false);
    EXPECT_TRUE(desk.listChanges().empty());
    EXPECT_EQ(desk.bitmaps()[0], kWideSize);

    // A slot's bitmap that cannot be written again keeps the one it has
    // (the same picture's) when another slot is exchanged.
    desk.files.pin(kFolder + "photo1.bmp");
    desk.list.picks = {kTall};
    d.OnExchange(1);
    desk.files.pin(kFolder + "photo1.bmp", false);
    EXPECT_EQ(desk.bitmaps()[0], kWideSize);
    EXPECT_EQ(desk.bitmaps()[1], kTallSize);
    EXPECT_EQ(desk.thumbnails(), (std::vector<std::string>{"photo", "photo"}));

    // Escape on the confirmation: nothing. Then the ten stills, once each;
    // still 3 is gone, so slot 3 keeps no bitmap of the earlier list.
    desk.messages.answer = kMsgSecondButton;
    d.OnInitialize();
    EXPECT_EQ(d.pictureCount(), 2);
    desk.messages.answer = kMsgFirstButton;
    desk.files.remove(variantB().defaultStill(3));
    desk.files.addFile(kFolder + "photo3.bmp", desk.files.contents(kFolder + "photo1.bmp"));
    desk.registry.clearChanges();
    desk.decoder.jpegCalls = 0;
    d.OnInitialize();
    const auto order = desk.registry.setOrder();
    ASSERT_EQ(order.size(), 22u);
    EXPECT_EQ(order[0], "pending list");
    EXPECT_EQ(order[1], "photo_num");
    EXPECT_EQ(order[2], "photo1");
    EXPECT_EQ(order[12], "photo1_real");
    EXPECT_EQ(order[21], "photo10_real");
    EXPECT_EQ(desk.decoder.jpegCalls, 9);
    EXPECT_EQ(desk.bitmap(3), kNone);
    EXPECT_EQ(desk.bitmap(10), kStill);
    EXPECT_EQ(desk.thumbnails()[2], "nofile");
    EXPECT_EQ(desk.thumbnails().size(), 10u);
}

// Each operation is ended by a kill after its k-th write, for every k; the
// next start (the show's preparation or the dialog) must find the list as it
// was before or as the operation leaves it, each listed slot's bitmap made
// from its own picture, and nothing past the list.
TEST(SettingsDialog, AnOperationKilledAfterAnyWriteIsDoneOrNotDoneAtTheNextStart) {
    const std::string still5 = variantB().defaultStill(5);
    std::vector<std::string> stills;
    for (int n = 1; n <= 10; ++n) stills.push_back(variantB().defaultStill(n));
    struct Case {
        const char* what;
        std::function<void(Desk&)> setUp;  // the dialog is open at its end, unless opening is the operation
        std::function<void(Desk&)> run;
        std::vector<std::string> before, after;
    };
    const auto openDialog = [](Desk& desk) { desk.open(); };
    const Case cases[] = {
        {"add", [](Desk& desk) { desk.store({kWide, kTall}); desk.open(); desk.list.picks = {kSquare}; },
         [](Desk& desk) { desk.dialog->OnAdd(); }, {kWide, kTall}, {kWide, kTall, kSquare}},
        {"exchange", [&](Desk& desk) { desk.store({kWide, kTall, kSquare}); desk.open(); desk.list.picks = {still5}; },
         [](Desk& desk) { desk.dialog->OnExchange(1); }, {kWide, kTall, kSquare}, {kWide, still5, kSquare}},
        {"delete", [](Desk& desk) { desk.store({kWide, kTall, kSquare}); desk.open(); },
         [](Desk& desk) { desk.dialog->OnDelete(0); }, {kWide, kTall, kSquare}, {kTall, kSquare}},
        {"initialize", [](Desk& desk) { desk.store({kWide, kTall}); desk.open(); },
         [](Desk& desk) { desk.dialog->OnInitialize(); }, {kWide, kTall}, stills},
        {"rebuild at opening",
         [](Desk& desk) {
             desk.store({kWide, kTall, kSquare});
             desk.files.remove(kFolder + "photo1.bmp");
             desk.files.remove(kFolder + "photo3.bmp");
         },
         openDialog, {kWide, kTall, kSquare}, {kWide, kTall, kSquare}},
        {"first-run stills", [](Desk&) {}, openDialog, {}, stills},
        {"add folder",
         [](Desk& desk) { desk.makePhotos(); desk.store({kWide, kTall}); desk.open(); desk.list.folderPicks = {kPhotos}; },
         [](Desk& desk) { desk.dialog->OnAddFolder(); }, {kWide, kTall}, {kWide, kTall, kPhotos}},
        {"delete before a folder slot",
         [](Desk& desk) { desk.makePhotos(); desk.store({kWide, kPhotos, kTall}); desk.open(); },
         [](Desk& desk) { desk.dialog->OnDelete(0); }, {kWide, kPhotos, kTall}, {kPhotos, kTall}},
        {"exchange a folder slot",
         [](Desk& desk) { desk.makePhotos(); desk.store({kWide, kPhotos}); desk.open(); desk.list.picks = {kSquare}; },
         [](Desk& desk) { desk.dialog->OnExchange(1); }, {kWide, kPhotos}, {kWide, kSquare}},
    };
    const std::map<std::string, Size> sizes = {
        {kWide, kWideSize}, {kTall, kTallSize}, {kSquare, kSquareSize}, {kPhotos, kWideSize}};
    const auto sizeOf = [&](const std::string& source) {
        const auto it = sizes.find(source);
        return it == sizes.end() ? kStill : it->second;
    };

    int crashPoints = 0;
    for (const Case& c : cases) {
        // A run to the end counts the operation's writes.
        WriteBudget budget;
        int writes = 0;
        {
            Desk desk;
            c.setUp(desk);
            desk.files.setWriteBudget(&budget);
            desk.registry.setWriteBudget(&budget);
            c.run(desk);
            writes = budget.done();
        }
        std::printf("%s: %d crash points\n", c.what, writes);
        // Each case writes at least two things (two bitmaps at the least):
        // none may be left untried.
        EXPECT_GE(writes, 2) << c.what;
        for (int k = 0; k < writes; ++k, ++crashPoints) {
            SCOPED_TRACE(std::string(c.what) + ", killed after write " + std::to_string(k));
            Desk desk;
            c.setUp(desk);
            desk.files.setWriteBudget(&budget);
            desk.registry.setWriteBudget(&budget);
            budget.allow(k);
            EXPECT_THROW(c.run(desk), ProcessKilled);
            budget.allow(-1);
            desk.dialog.reset();
            if (k % 2 == 1) {  // the show starts first
                SilentMessages silent;
                PhotoImport import(variantB(), desk.files, desk.decoder, silent, 768);
                prepareDefaultPictures(variantB(), kAppData, desk.files, desk.registry, import);
            }
            SettingsDialog& d = desk.open();

            const int count = static_cast<int>(desk.count());
            std::vector<std::string> listed;
            for (int n = 1; n <= count; ++n) listed.push_back(desk.value("photo" + std::to_string(n) + "_real"));
            EXPECT_TRUE(listed == c.before || listed == c.after) << ::testing::PrintToString(listed);
            EXPECT_EQ(d.pictureCount(), count);
            EXPECT_EQ(desk.thumbnails(), std::vector<std::string>(count, "photo"));
            for (int n = 1; n <= 10; ++n) {
                const std::string slot = "photo" + std::to_string(n);
                if (n <= count) {
                    EXPECT_EQ(desk.value(slot), kFolder + slot + ".bmp");
                    EXPECT_EQ(desk.bitmap(n), sizeOf(listed[n - 1])) << slot;
                    // A folder slot has its order beside its bitmap; no other slot has one.
                    EXPECT_EQ(desk.hasLibrary(n), isFolderSource(listed[n - 1])) << slot;
                } else {
                    EXPECT_EQ(desk.value(slot), "-");
                    EXPECT_EQ(desk.value(slot + "_real"), "-");
                    EXPECT_EQ(desk.bitmap(n), kNone) << slot;
                    EXPECT_FALSE(desk.hasLibrary(n)) << slot;
                }
            }
            EXPECT_FALSE(desk.registry.has(kKey, "pending list"));
        }
    }
    std::printf("crash points tried: %d\n", crashPoints);
}

TEST(SettingsDialog, TheFileSelectionOpensInTheSharedFolderOnlyWhereItExists) {
    Desk desk;
    SettingsDialog& d = desk.open();
    EXPECT_EQ(d.initialFolder(), "C:\\users\\me\\Pictures");
    desk.files.addFolder(kSharedPicturesFolder);
    EXPECT_EQ(d.initialFolder(), kSharedPicturesFolder);
    // A pick from a drive's root opens the next selection in the root, not
    // in the drive's current folder ("E:").
    desk.files.addFile("E:\\x.jpg", testing::jpegBytes(90, 60));
    desk.list.picks = {"E:\\x.jpg"};
    d.OnDelete(0);
    d.OnAdd();
    EXPECT_EQ(desk.value("photo10_real"), "E:\\x.jpg");
    EXPECT_EQ(d.initialFolder(), "E:\\");
    desk.around.picturesFolder.reset();
    desk.files = MemoryFiles();
    EXPECT_EQ(desk.open().initialFolder(), "");
}

}  // namespace
}  // namespace qv
