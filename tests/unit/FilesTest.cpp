#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/host/HostFiles.h"
#include "platform/fake/MemoryFiles.h"
#include "text/Utf8Text.h"

namespace qv {
namespace {

std::string readStream(ByteStream& stream) {
    std::string out;
    char buffer[7];
    for (std::size_t n; (n = stream.read(buffer, sizeof buffer)) != 0;) out.append(buffer, n);
    return out;
}

std::vector<std::string> names(const std::vector<FoundEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.name + (e.directory ? "\\" : ""));
    return out;
}

TEST(MemoryFiles, PathsAreFoundWithoutRegardToCaseOrSeparatorKind) {
    MemoryFiles files;
    files.addFile("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt", "continue=a\n");
    auto stream = files.openRead("c:/windows/SYSTEM32/quorvelkbsrc\\NORMAL\\SceneScript.TXT");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readStream(*stream), "continue=a\n");
    EXPECT_TRUE(files.canOpen("C:\\Windows\\System32\\quorvelkbsrc\\\\normal\\scenescript.txt"));
    EXPECT_FALSE(files.canOpen("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal"));  // a folder
    EXPECT_EQ(files.openRead("C:\\nothing.txt"), nullptr);
    EXPECT_TRUE(files.folderExists("c:\\windows\\system32\\"));
    EXPECT_EQ(files.openLog().size(), 2u);
}

TEST(MemoryFiles, ReadAllRefusesFilesAboveTheLimitAndLeavesTheBufferEmpty) {
    MemoryFiles files;
    files.addFile("C:\\a.bin", std::string(10, 'x'));
    std::vector<unsigned char> bytes{1, 2, 3};
    EXPECT_FALSE(files.readAll("C:\\A.BIN", bytes, 9));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(files.readAll("C:\\A.BIN", bytes, 10));
    EXPECT_EQ(bytes.size(), 10u);
    EXPECT_FALSE(files.readAll("C:\\b.bin", bytes, 100));
    EXPECT_TRUE(bytes.empty());
}

TEST(MemoryFiles, WritingReplacesWholeNeedsTheFolderAndKeepsOldFilesOnFailure) {
    MemoryFiles files;
    const std::string text = "second";
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    // No folder yet: nothing is written.
    EXPECT_FALSE(files.writeAll("C:\\data\\photo1.bmp", data, text.size()));
    EXPECT_FALSE(files.exists("C:\\data\\photo1.bmp"));
    EXPECT_TRUE(files.makeDirectories("C:\\data\\sub\\ignored.txt"));
    EXPECT_TRUE(files.folderExists("C:\\DATA\\SUB"));
    EXPECT_FALSE(files.exists("C:\\data\\sub\\ignored.txt"));

    files.addFile("C:\\data\\photo1.bmp", "a much longer first content");
    EXPECT_TRUE(files.writeAll("C:\\DATA\\PHOTO1.BMP", data, text.size()));
    EXPECT_EQ(files.contents("c:\\data\\photo1.bmp"), "second");
    EXPECT_EQ(files.storedName("c:\\data\\photo1.bmp"), "C:\\data\\photo1.bmp");

    files.failWrites(true);
    EXPECT_FALSE(files.writeAll("C:\\data\\photo1.bmp", data, 2));
    EXPECT_EQ(files.contents("C:\\data\\photo1.bmp"), "second");
    files.failWrites(false);
    files.lock("C:\\data\\photo1.bmp");
    EXPECT_FALSE(files.writeAll("C:\\data\\photo1.bmp", data, 2));
    EXPECT_FALSE(files.remove("C:\\data\\photo1.bmp"));
    EXPECT_EQ(files.openRead("C:\\data\\photo1.bmp"), nullptr);
    files.lock("C:\\data\\photo1.bmp", false);
    EXPECT_TRUE(files.remove("C:\\data\\PHOTO1.bmp"));
    EXPECT_FALSE(files.remove("C:\\data\\photo1.bmp"));

    // A file in the way of a folder.
    files.addFile("C:\\blocker", "x");
    EXPECT_FALSE(files.makeDirectories("C:\\blocker\\inner\\"));
}

TEST(MemoryFiles, RenameNeverReplacesAnotherFile) {
    MemoryFiles files;
    files.addFile("C:\\d\\a.bmp", "A");
    files.addFile("C:\\d\\b.bmp", "B");
    EXPECT_FALSE(files.rename("C:\\d\\a.bmp", "C:\\d\\B.BMP"));
    EXPECT_EQ(files.contents("C:\\d\\b.bmp"), "B");
    EXPECT_TRUE(files.rename("C:\\d\\a.bmp", "C:\\d\\c.bmp"));
    EXPECT_FALSE(files.exists("C:\\d\\a.bmp"));
    EXPECT_EQ(files.contents("C:\\d\\c.bmp"), "A");
    EXPECT_FALSE(files.rename("C:\\d\\missing.bmp", "C:\\d\\e.bmp"));
    EXPECT_FALSE(files.rename("C:\\d\\c.bmp", "C:\\nofolder\\c.bmp"));
    EXPECT_TRUE(files.rename("C:\\d\\c.bmp", "C:\\d\\C.bmp"));  // case only
    EXPECT_EQ(files.storedName("C:\\d\\c.bmp"), "C:\\d\\C.bmp");
}

TEST(MemoryFiles, FindMatchesWildcardsLikeWindows) {
    MemoryFiles files;
    files.addFile("C:\\p\\photo1.bmp", "1");
    files.addFile("C:\\p\\Photo2.BMP", "2");
    files.addFile("C:\\p\\photo10.bmp", "3");
    files.addFile("C:\\p\\readme", "4");
    files.addFile("C:\\p\\sub\\inner.bmp", "5");
    EXPECT_EQ(names(files.find("c:\\P\\photo?.bmp")),
              (std::vector<std::string>{"photo1.bmp", "Photo2.BMP"}));
    EXPECT_EQ(names(files.find("C:\\p\\*.bmp")),
              (std::vector<std::string>{"photo1.bmp", "photo10.bmp", "Photo2.BMP"}));
    // "*.*" finds everything, names without a dot and the two dot entries too.
    EXPECT_EQ(names(files.find("C:\\p\\*.*")),
              (std::vector<std::string>{".\\", "..\\", "photo1.bmp", "photo10.bmp", "Photo2.BMP",
                                        "readme", "sub\\"}));
    EXPECT_TRUE(files.find("C:\\missing\\*.*").empty());
    EXPECT_TRUE(files.find("C:\\p\\*.jpg").empty());
    EXPECT_TRUE(wildcardMatch("*a*b?", "xxAyyBz"));
    EXPECT_FALSE(wildcardMatch("*a*b?", "xxAyyB"));
    EXPECT_TRUE(wildcardMatch("*", ""));
}

TEST(MemoryFiles, StreamsCanBeLimitedToSmallReads) {
    MemoryFiles files;
    files.addFile("C:\\s.txt", "abcdefghij");
    files.setReadChunk(3);
    auto stream = files.openRead("C:\\s.txt");
    char buffer[16];
    EXPECT_EQ(stream->read(buffer, sizeof buffer), 3u);
    EXPECT_EQ(readStream(*stream), "defghij");
    EXPECT_EQ(stream->read(buffer, sizeof buffer), 0u);
}

namespace fs = std::filesystem;

// A fresh host folder for one test, removed afterwards. Its name is unique
// to the run, since several test runs may share one temporary folder.
struct HostFolder {
    fs::path root;
    explicit HostFolder(const char* name) {
        std::random_device random;
        root = fs::temp_directory_path() /
               (std::string("qv-files-") + name + "-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(root);
    }
    ~HostFolder() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void put(const fs::path& relative, const std::string& text) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << text;
    }
    std::vector<std::string> listing(const fs::path& relative) const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(root / relative)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

std::string readAllText(FilesPort& files, const std::string& path) {
    std::vector<unsigned char> bytes;
    if (!files.readAll(path, bytes, 1 << 20)) return "<none>";
    return std::string(bytes.begin(), bytes.end());
}

TEST(HostFiles, WindowsPathsReachMappedFoldersWithoutRegardToCase) {
    HostFolder host("map");
    host.put("b/Normal/SceneScript.TXT", "end\n");
    host.put("special/still_x.txt", "set\n");
    HostFiles files;
    files.mapFolder("C:\\WINDOWS\\system32\\QUORvelkbsrc\\", (host.root / "b").string());
    files.mapFolder("c:/windows/system32/quorvelkbsrc/normal/special", (host.root / "special").string());
    EXPECT_EQ(readAllText(files, "c:\\windows\\SYSTEM32\\quorvelkbsrc\\normal\\scenescript.txt"), "end\n");
    EXPECT_EQ(readAllText(files, "C:\\WINDOWS\\system32\\QUORvelkbsrc\\wide\\..\\NORMAL\\.\\scenescript.txt"),
              "end\n");
    // The longer prefix wins.
    EXPECT_EQ(readAllText(files, "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\Special\\STILL_X.txt"), "set\n");
    // Paths outside every mapping, missing files and folders cannot be read.
    EXPECT_EQ(files.openRead("C:\\WINDOWS\\system32\\other.txt"), nullptr);
    EXPECT_EQ(files.openRead("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\missing.txt"), nullptr);
    EXPECT_FALSE(files.canOpen("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal"));
    EXPECT_TRUE(files.canOpen("C:\\WINDOWS\\system32\\QUORvelkbsrc\\NORMAL\\SCENESCRIPT.TXT"));
    std::vector<unsigned char> bytes;
    EXPECT_FALSE(files.readAll("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt", bytes, 3));
    EXPECT_TRUE(bytes.empty());

    auto stream = files.openRead("C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readStream(*stream), "end\n");
}

TEST(HostFiles, WritingMakesFilesWithTheCaseGivenAndReplacesWhole) {
    HostFolder host("write");
    host.put("data/Old.BMP", "old content that is long");
    HostFiles files;
    files.mapFolder("C:\\Users\\me\\AppData\\", host.root.string());
    const std::string text = "new";
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    EXPECT_FALSE(files.writeAll("C:\\Users\\me\\AppData\\Tarn\\photo1.bmp", data, 3));  // no folder
    EXPECT_TRUE(files.makeDirectories("C:\\Users\\me\\AppData\\Tarn\\QUOR\\"));
    EXPECT_TRUE(files.makeDirectories("c:\\users\\me\\appdata\\TARN\\quor\\x.bmp"));  // exists already
    EXPECT_EQ(host.listing(""), (std::vector<std::string>{"Tarn", "data"}));
    EXPECT_TRUE(files.writeAll("C:\\Users\\me\\AppData\\tarn\\quor\\Photo1.bmp", data, 3));
    EXPECT_EQ(host.listing("Tarn/QUOR"), (std::vector<std::string>{"Photo1.bmp"}));
    // An existing file is replaced whole and keeps its spelling.
    EXPECT_TRUE(files.writeAll("C:\\Users\\me\\AppData\\DATA\\old.bmp", data, 3));
    EXPECT_EQ(host.listing("data"), (std::vector<std::string>{"Old.BMP"}));
    EXPECT_EQ(readAllText(files, "C:\\Users\\me\\AppData\\data\\Old.BMP"), "new");
    // Rename never replaces; remove takes files only.
    EXPECT_FALSE(files.rename("C:\\Users\\me\\AppData\\data\\old.bmp",
                              "C:\\Users\\me\\AppData\\Tarn\\Quor\\photo1.BMP"));
    EXPECT_TRUE(files.rename("C:\\Users\\me\\AppData\\data\\old.bmp",
                             "C:\\Users\\me\\AppData\\Tarn\\Quor\\photo2.bmp"));
    EXPECT_EQ(host.listing("Tarn/QUOR"), (std::vector<std::string>{"Photo1.bmp", "photo2.bmp"}));
    EXPECT_FALSE(files.remove("C:\\Users\\me\\AppData\\Tarn"));
    EXPECT_TRUE(files.remove("C:\\Users\\me\\AppData\\Tarn\\Quor\\PHOTO2.BMP"));
    EXPECT_FALSE(files.remove("C:\\Users\\me\\AppData\\Tarn\\Quor\\PHOTO2.BMP"));
    // A file in the way of a folder.
    EXPECT_FALSE(files.makeDirectories("C:\\Users\\me\\AppData\\Tarn\\QUOR\\Photo1.bmp\\x\\"));
    EXPECT_FALSE(files.writeAll("C:\\Elsewhere\\a.bmp", data, 3));
}

TEST(HostFiles, FindListsMatchesWithDotEntries) {
    HostFolder host("find");
    host.put("p/photo1.bmp", "1");
    host.put("p/Photo2.BMP", "2");
    host.put("p/notes.txt", "3");
    host.put("p/sub/inner.bmp", "4");
    HostFiles files;
    files.mapFolder("C:\\P\\", (host.root / "p").string());
    files.mapFolder("D:\\", (host.root / "p").string());
    EXPECT_EQ(names(files.find("c:\\p\\*.bmp")), (std::vector<std::string>{"photo1.bmp", "Photo2.BMP"}));
    EXPECT_EQ(names(files.find("C:\\p\\*.*")),
              (std::vector<std::string>{".\\", "..\\", "notes.txt", "photo1.bmp", "Photo2.BMP", "sub\\"}));
    EXPECT_EQ(names(files.find("D:\\*.txt")), (std::vector<std::string>{"notes.txt"}));
    EXPECT_EQ(names(files.find("D:\\*")).front(), "notes.txt");  // a drive root has no dot entries
    EXPECT_TRUE(files.find("C:\\p\\missing\\*.*").empty());
    EXPECT_TRUE(files.find("E:\\*.*").empty());
}

TEST(HostFiles, ExactSpellingIsPreferredOverOtherCases) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows file system cannot hold two names differing only in case";
#else
    HostFolder host("exact");
    host.put("x/a.txt", "lower");
    host.put("x/A.txt", "upper");
    HostFiles files;
    files.mapFolder("C:\\x\\", (host.root / "x").string());
    EXPECT_EQ(readAllText(files, "C:\\x\\A.txt"), "upper");
    EXPECT_EQ(readAllText(files, "C:\\x\\a.txt"), "lower");
#endif
}

}  // namespace
}  // namespace qv
