#include "render/BitmapCache.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/fake/MemoryFiles.h"
#include "render/ShowPictureMemory.h"

namespace qv {
namespace {

const std::string kDirB = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\";

std::string bytesOf(const PictureImage& image) {
    return image.bytes ? std::string(reinterpret_cast<const char*>(image.bytes), image.size) : "";
}

TEST(BitmapCache, HoldsEveryBmpOfTheDirectoryExceptStillsAndFolders) {
    MemoryFiles files;
    files.addFile(kDirB + "base.bmp", "BASE");
    files.addFile(kDirB + "Logo_GB.BMP", "LOGO");
    files.addFile(kDirB + "still1.bmp", "S1");       // a still: left out
    files.addFile(kDirB + "mystill.bmp", "S2");      // STILL anywhere after the start
    files.addFile(kDirB + "still1.jpg", "JPEG");     // not a bitmap
    files.addFile(kDirB + "notes.txt", "TEXT");
    files.addFolder(kDirB + "folder.bmp");           // a folder named like one
    files.addFile(kDirB + "normal\\deep.bmp", "DEEP");  // subfolders are not searched
    files.addFile("C:\\WINDOWS\\system32\\QUORvelkcsrc\\nofile.bmp", "OTHER");

    BitmapCache cache;
    cache.fill(files, kDirB);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < cache.size(); ++i) names.push_back(cache.entry(i).name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP",
                                               "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO_GB.BMP"}));
    const auto base = cache.find("C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP", false);
    ASSERT_EQ(base.size(), 1u);
    EXPECT_EQ(std::string(cache.entry(base[0]).bytes.begin(), cache.entry(base[0]).bytes.end()), "BASE");
    // Names compare exactly: the lookup key is upper case already.
    EXPECT_TRUE(cache.find("C:\\WINDOWS\\system32\\QUORvelkbsrc\\base.bmp", false).empty());
}

TEST(BitmapCache, GrowsPastFourteenEntries) {
    MemoryFiles files;
    for (int i = 0; i < 20; ++i) files.addFile(kDirB + "logo" + std::to_string(i) + ".bmp", std::to_string(i));
    BitmapCache cache;
    cache.fill(files, kDirB);
    EXPECT_EQ(cache.size(), 20u);
    const auto last = cache.find("C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO19.BMP", true);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(std::string(cache.entry(last[0]).bytes.begin(), cache.entry(last[0]).bytes.end()), "19");
}

TEST(BitmapCache, UnreadableFilesAreLeftOutAndAMissingDirectoryGivesNothing) {
    MemoryFiles files;
    files.addFile(kDirB + "base.bmp", "BASE");
    files.addFile(kDirB + "locked.bmp", "LOCKED");
    files.lock(kDirB + "locked.bmp");
    BitmapCache cache;
    cache.fill(files, kDirB);
    ASSERT_EQ(cache.size(), 1u);
    EXPECT_EQ(cache.entry(0).name, "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\BASE.BMP");

    cache.fill(files, "C:\\nowhere\\");
    EXPECT_EQ(cache.size(), 0u);

    // A file over 64 MiB is no bitmap we would draw: it is not held for the
    // whole show.
    files.addFile(kDirB + "huge.bmp", std::string(64u * 1024u * 1024u + 1u, 'x'));
    cache.fill(files, kDirB);
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_TRUE(cache.find("C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\HUGE.BMP", false).empty());
}

TEST(ShowPictureMemory, FindsCachedBitmapsAndHasNoUserPicturesYet) {
    MemoryFiles files;
    files.addFile(kDirB + "base.bmp", "BASE");
    files.addFile(kDirB + "logo_gb.bmp", "LOGO");
    ShowPictureMemory memory(variantB());
    memory.fillCache(files);
    EXPECT_EQ(memory.photoCount(), 0);
    EXPECT_EQ(memory.cachedCount(), 2u);
    EXPECT_EQ(bytesOf(memory.findPicture("C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\LOGO_GB.BMP")), "LOGO");
    EXPECT_EQ(memory.findPicture("C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\NONE.BMP").size, 0u);
    for (int n : {0, 1, 10, 11, -1}) {
        EXPECT_TRUE(memory.pictureName(n).empty()) << n;
        EXPECT_EQ(memory.pictureImage(n).size, 0u) << n;
    }
    EXPECT_TRUE(memory.cachedName(2).empty());
    EXPECT_EQ(memory.cachedImage(2).size, 0u);
}

// A files port whose search reports the same file twice, as a second
// spelling of the data directory could: variants A and B take the last
// match, variant C the first.
class TwiceFiles : public MemoryFiles {
public:
    std::vector<FoundEntry> find(const std::string& pattern) override {
        auto found = MemoryFiles::find(pattern);
        auto twice = found;
        twice.insert(twice.end(), found.begin(), found.end());
        return twice;
    }
    bool readAll(const std::string& path, std::vector<unsigned char>& bytes, std::size_t max) override {
        const bool ok = MemoryFiles::readAll(path, bytes, max);
        if (ok) bytes.push_back(static_cast<unsigned char>('0' + reads_++));
        return ok;
    }

private:
    int reads_ = 0;
};

TEST(ShowPictureMemory, VariantCTakesTheFirstMatchTheOthersTheLast) {
    const std::string kDirC = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\";
    TwiceFiles filesC;
    filesC.addFile(kDirC + "base.bmp", "B");
    ShowPictureMemory c(variantC());
    c.fillCache(filesC);
    ASSERT_EQ(c.cachedCount(), 2u);
    EXPECT_EQ(bytesOf(c.findPicture("C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\BASE.BMP")), "B0");

    const std::string kDirA = "C:\\WINDOWS\\system32\\QUORvelkasrc\\";
    TwiceFiles filesA;
    filesA.addFile(kDirA + "base.bmp", "B");
    ShowPictureMemory a(variantA());
    a.fillCache(filesA);
    EXPECT_EQ(bytesOf(a.findPicture("C:\\WINDOWS\\SYSTEM32\\QUORVELKASRC\\BASE.BMP")), "B1");
}

}  // namespace
}  // namespace qv
