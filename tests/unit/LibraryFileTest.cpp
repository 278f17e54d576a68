#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "library/LibraryFile.h"
#include "platform/fake/MemoryFiles.h"

namespace qv {
namespace {

using Bytes = std::vector<unsigned char>;

LibraryState sample() {
    LibraryState state;
    state.folder = "D:\\Photos\\";
    state.round = {"a.jpg", "2020\\b.png"};
    state.position = 1;
    state.current = "a.jpg";
    return state;
}

bool decodes(const Bytes& bytes) {
    LibraryState out;
    return decodeLibrary(bytes.data(), bytes.size(), out);
}

TEST(LibraryFile, Crc32IsTheCommonOne) {
    // The check value every CRC-32 implementation quotes.
    const char* text = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const unsigned char*>(text), 9), 0xCBF43926u);
    EXPECT_EQ(crc32(nullptr, 0), 0u);
}

TEST(LibraryFile, AStateComesBackAsItWasWritten) {
    const auto bytes = encodeLibrary(sample());
    // 20 bytes of header; then each text its 4-byte length and its bytes:
    // folder 10, current 5; position and count 4 each; the names 5 and 10.
    EXPECT_EQ(bytes.size(), 20u + 14 + 9 + 4 + 4 + 9 + 14);
    EXPECT_EQ(std::memcmp(bytes.data(), "QVLIBRY\x1A", 8), 0);
    LibraryState back;
    ASSERT_TRUE(decodeLibrary(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back, sample());

    // Through the files port, for the folder it was made for (spelt in any
    // case, with or without its backslash), and no other.
    MemoryFiles files;
    const std::string user = "C:\\Users\\me\\AppData\\Roaming\\QV\\";
    files.addFolder(user);
    EXPECT_EQ(libraryFileName(3), "photo3.library");
    ASSERT_TRUE(writeLibraryFile(files, user, 3, sample()));
    EXPECT_TRUE(files.exists(user + "photo3.library"));
    for (const std::string folder : {"D:\\Photos\\", "d:\\PHOTOS"}) {
        ASSERT_TRUE(readLibraryFile(files, user, 3, folder, back)) << folder;
        EXPECT_EQ(back, sample());
    }
    EXPECT_FALSE(readLibraryFile(files, user, 3, "D:\\Other\\", back));
    EXPECT_EQ(back, LibraryState());
    EXPECT_FALSE(readLibraryFile(files, user, 4, "D:\\Photos\\", back));

    // A name in another script, an empty round, no current picture.
    LibraryState other;
    other.folder = "\\\\nas\\\xe5\x86\x99\xe7\x9c\x9f\\";
    other.round = {"\xed\x95\x9c.jpg"};
    ASSERT_TRUE(decodeLibrary(encodeLibrary(other).data(), encodeLibrary(other).size(), back));
    EXPECT_EQ(back, other);
    other.round.clear();
    ASSERT_TRUE(decodes(encodeLibrary(other)));
}

TEST(LibraryFile, DamagedFilesAreRefused) {
    const Bytes good = encodeLibrary(sample());
    ASSERT_TRUE(decodes(good));
    // Cut anywhere, or any byte changed: refused.
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(decodes(Bytes(good.begin(), good.begin() + static_cast<long>(size)))) << size;
    for (std::size_t at = 0; at < good.size(); ++at) {
        Bytes bad = good;
        bad[at] ^= 0x20;
        EXPECT_FALSE(decodes(bad)) << at;
    }
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes longer = good;
    longer.push_back(0);
    Bytes version2 = good;
    version2[8] = 2;
    Bytes foreign = good;
    std::memcpy(foreign.data(), "\x89PNG\r\n\x1A\n", 8);
    const Case cases[] = {
        {"a byte past the end", longer},
        {"another version", version2},
        {"another kind of file", foreign},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}},
    };
    for (const auto& c : cases) EXPECT_FALSE(decodes(c.bytes)) << c.what;
}

TEST(LibraryFile, WholeFilesWithUnsoundContentsAreRefused) {
    // Each is checksummed and whole: only its contents are wrong.
    struct Case {
        const char* what;
        void (*spoil)(LibraryState&);
    };
    const Case cases[] = {
        {"position past the round", [](LibraryState& s) { s.position = 3; }},
        {"a name twice", [](LibraryState& s) { s.round.push_back("a.jpg"); }},
        {"an empty name", [](LibraryState& s) { s.round.push_back(""); }},
        {"a step up", [](LibraryState& s) { s.round.push_back("..\\..\\Windows\\x.bmp"); }},
        {"a step up inside", [](LibraryState& s) { s.round.push_back("a\\..\\..\\x.bmp"); }},
        {"an absolute name", [](LibraryState& s) { s.round.push_back("C:\\x.jpg"); }},
        {"a rooted name", [](LibraryState& s) { s.round.push_back("\\x.jpg"); }},
        {"an empty part", [](LibraryState& s) { s.round.push_back("a\\\\x.jpg"); }},
        {"a stream name", [](LibraryState& s) { s.round.push_back("x.jpg:hidden"); }},
        {"a control character", [](LibraryState& s) { s.round.push_back("x\n.jpg"); }},
        {"not UTF-8", [](LibraryState& s) { s.round.push_back("\xff.jpg"); }},
        {"a cut UTF-8 sequence", [](LibraryState& s) { s.current = "\xe5\x86.jpg"; }},
        {"a current picture outside", [](LibraryState& s) { s.current = "..\\x.jpg"; }},
        {"no folder", [](LibraryState& s) { s.folder.clear(); }},
        {"a folder without its backslash", [](LibraryState& s) { s.folder = "D:\\Photos"; }},
        {"a path past the longest", [](LibraryState& s) { s.round.push_back(std::string(32768, 'x')); }},
    };
    for (const auto& c : cases) {
        LibraryState state = sample();
        c.spoil(state);
        const auto bytes = encodeLibrary(state);
        LibraryState out;
        EXPECT_FALSE(decodeLibrary(bytes.data(), bytes.size(), out)) << c.what;
        EXPECT_EQ(out, LibraryState()) << c.what;
    }
}

}  // namespace
}  // namespace qv
