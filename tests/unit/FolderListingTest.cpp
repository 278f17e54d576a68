#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/PictureExtensions.h"
#include "library/FolderListing.h"
#include "platform/fake/FakeFolders.h"

namespace qv {
namespace {

using Names = std::vector<std::string>;

TEST(FolderListing, PicturesUnderTheFolderByTheLibraryRules) {
    FakeFolders tree;
    tree.addFile("C:\\Photos\\b.JPG");
    tree.addFile("C:\\Photos\\a.png");
    tree.addFile("C:\\Photos\\notes.txt");
    tree.addFile("C:\\Photos\\Thumbs.db", FakeFolders::Hidden | FakeFolders::System);
    tree.addFile("C:\\Photos\\secret.jpg", FakeFolders::Hidden);
    tree.addFile("C:\\Photos\\desktop.gif", FakeFolders::System);
    tree.addFile("C:\\Photos\\.jpg");
    tree.addFile("C:\\Photos\\2020\\summer\\z.tiff");
    tree.addFile("C:\\Photos\\2020\\\xe6\x9d\xb1\xe4\xba\xac.gif");  // a name in Japanese
    tree.addFile("C:\\Photos\\2020\\archive.jpg.zip");
    tree.addFolder("C:\\Photos\\.cache", FakeFolders::Hidden);
    tree.addFile("C:\\Photos\\.cache\\thumb.jpg");
    tree.addFolder("C:\\Photos\\$RECYCLE.BIN", FakeFolders::Hidden | FakeFolders::System);
    tree.addFile("C:\\Photos\\$RECYCLE.BIN\\old.jpg");
    // A junction back up the tree and a link to a file: neither followed.
    tree.addFolder("C:\\Photos\\2020\\loop", FakeFolders::Link);
    tree.addFile("C:\\Photos\\2020\\loop\\b.JPG");
    tree.addFile("C:\\Photos\\shortcut.jpg", FakeFolders::Link);
    tree.addFolder("C:\\Photos\\empty");

    for (const std::string folder : {"C:\\Photos", "C:\\Photos\\"}) {
        const auto listing = listFolder(tree, folder, PictureExtensions::basic());
        EXPECT_TRUE(listing.reachable);
        EXPECT_EQ(listing.pictures, (Names{"2020\\summer\\z.tiff", "2020\\\xe6\x9d\xb1\xe4\xba\xac.gif",
                                           "a.png", "b.JPG"}))
            << folder;
    }
    for (const auto& listed : tree.listed) {
        EXPECT_EQ(listed.find("loop"), std::string::npos);
        EXPECT_EQ(listed.find("cache"), std::string::npos);
        EXPECT_EQ(listed.find("RECYCLE"), std::string::npos);
    }
}

TEST(FolderListing, VanishedAndUnreachableFoldersGiveWhatCanBeRead) {
    FakeFolders tree;
    tree.addFile("C:\\Photos\\a.jpg");
    tree.addFile("C:\\Photos\\gone\\b.jpg");
    tree.addFile("C:\\Photos\\kept\\c.bmp");
    tree.vanish("C:\\Photos\\gone");
    auto listing = listFolder(tree, "C:\\Photos", PictureExtensions::basic());
    EXPECT_TRUE(listing.reachable);
    EXPECT_EQ(listing.pictures, (Names{"a.jpg", "kept\\c.bmp"}));

    // The folder itself gone, never there, or no folder given: nothing, and
    // the caller told it could not be read.
    tree.vanish("C:\\Photos");
    for (const std::string folder : {"C:\\Photos", "\\\\server\\share\\photos\\", ""}) {
        listing = listFolder(tree, folder, PictureExtensions::basic());
        EXPECT_FALSE(listing.reachable) << folder;
        EXPECT_TRUE(listing.pictures.empty()) << folder;
    }

    // An empty folder is reachable and holds nothing.
    FakeFolders empty;
    empty.addFolder("D:\\Empty");
    listing = listFolder(empty, "D:\\Empty", PictureExtensions::basic());
    EXPECT_TRUE(listing.reachable);
    EXPECT_TRUE(listing.pictures.empty());
}

TEST(FolderListing, AListingStopsAtItsLargestSize) {
    FakeFolders tree;
    for (int i = 0; i < 10; ++i) tree.addFile("C:\\P\\" + std::to_string(i) + ".jpg");
    tree.addFile("C:\\P\\sub\\x.jpg");
    EXPECT_EQ(listFolder(tree, "C:\\P", PictureExtensions::basic(), 4).pictures.size(), 4u);
    EXPECT_EQ(listFolder(tree, "C:\\P", PictureExtensions::basic()).pictures.size(), 11u);
}

TEST(PictureExtensions, DecoderListsAndNames) {
    // As the system's decoders name them (Windows parts them by commas,
    // Wine by semicolons), with the odd blank and a bad item.
    const auto extensions = PictureExtensions::fromDecoderLists(
        {".bmp,.dib,.rle", " .JPG; .jpeg ;jfif", ".heic,.heif", ",,.a.b,*.x;.c d"});
    EXPECT_EQ(extensions.all().size(), 8u);
    EXPECT_EQ(extensions.pattern(), "*.bmp;*.dib;*.heic;*.heif;*.jfif;*.jpeg;*.jpg;*.rle");

    struct Case {
        const char* name;
        bool picture;
    };
    const Case cases[] = {
        {"IMG_0001.HEIC", true}, {"a.Jpeg", true}, {"x.y.bmp", true},     {"b.jpg.txt", false},
        {".jpg", false},         {"jpg", false},   {"a.b", false},        {"a.rle ", false},
        {"dir.jpg\\x", false},   {"a.", false},    {"sub\\.heic", false}, {"photo.dib", true},
    };
    for (const auto& c : cases) EXPECT_EQ(extensions.takes(c.name), c.picture) << c.name;

    // The set every system has.
    const auto basic = PictureExtensions::basic();
    for (const char* name : {"a.jpg", "a.jpeg", "a.png", "a.gif", "a.bmp", "a.tif", "a.tiff"})
        EXPECT_TRUE(basic.takes(name)) << name;
    EXPECT_FALSE(basic.takes("a.heic"));
    EXPECT_TRUE(PictureExtensions::fromDecoderLists({}).empty());
}

}  // namespace
}  // namespace qv
