#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MemoryFiles.h"

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
    EXPECT_TRUE(MemoryFiles::wildcardMatch("*a*b?", "xxAyyBz"));
    EXPECT_FALSE(MemoryFiles::wildcardMatch("*a*b?", "xxAyyB"));
    EXPECT_TRUE(MemoryFiles::wildcardMatch("*", ""));
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

}  // namespace
}  // namespace qv
