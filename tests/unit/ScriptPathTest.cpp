#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "text/AnsiText.h"
#include "text/Utf8Text.h"
#include "platform/fake/MemoryFiles.h"
#include "scene/ScriptPath.h"
#include "scene/ScriptReader.h"

namespace qv {
namespace {

std::string resolved(const Variant& v, const std::string& dir, std::string name) {
    EXPECT_TRUE(resolveScriptPath(v, dir, name)) << name;
    return name;
}

TEST(ScriptPath, NameFormsResolveAsScriptsExpect) {
    const Variant& b = variantB();
    EXPECT_EQ(resolved(b, "C:\\x\\", ".\\A.TXT"), "c:\\x\\a.txt");
    EXPECT_EQ(resolved(b, "C:\\x\\", "pic.bmp"), "C:\\x\\pic.bmp");
    EXPECT_EQ(resolved(b, "C:\\x\\", "D:\\y.bmp"), "D:\\y.bmp");
    EXPECT_EQ(resolved(b, "C:\\x\\", "D:relative.TXT"), "D:relative.TXT");
    // Pictures go to the variant data directory, lower-cased.
    EXPECT_EQ(resolved(b, "C:\\x\\", ".\\Base.BMP"), "c:\\windows\\system32\\quorvelkbsrc\\base.bmp");
    EXPECT_EQ(resolved(variantA(), "C:\\x\\", ".\\STILL1.JPG"),
              "c:\\windows\\system32\\quorvelkasrc\\still1.jpg");
    EXPECT_EQ(resolved(variantC(), "C:\\x\\", ".\\Photo.Jpeg"),
              "c:\\windows\\system32\\quorvelkcsrc\\photo.jpeg");
    // The extension counts anywhere after the first character.
    EXPECT_EQ(resolved(b, "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\normal\\", ".\\Sub\\Fade.txt.old"),
              "c:\\windows\\system32\\quorvelkbsrc\\normal\\sub\\fade.txt.old");
    EXPECT_EQ(resolved(b, "C:\\x\\", ".\\a.bmp.txt"), "c:\\x\\a.bmp.txt");  // .TXT is asked first
    // Two leading characters go, whatever they are.
    EXPECT_EQ(resolved(b, "C:\\x\\", "..\\Wide\\Scene.TXT"), "c:\\x\\\\wide\\scene.txt");
    // Other names starting with a dot are only lower-cased.
    EXPECT_EQ(resolved(b, "C:\\x\\", ".\\Movie.AVI"), ".\\movie.avi");
    EXPECT_EQ(resolved(b, "C:\\x\\", ".TXT"), ".txt");  // extension at the first character
    EXPECT_EQ(resolved(b, "C:\\x\\", "."), ".");
    // Anything else goes into the directory with its case.
    EXPECT_EQ(resolved(b, "C:\\x\\", "Sub\\Pic.JPG"), "C:\\x\\Sub\\Pic.JPG");
    EXPECT_EQ(resolved(b, "C:\\x\\", "Z"), "C:\\x\\Z");
    EXPECT_EQ(resolved(b, "C:\\x\\", ""), "C:\\x\\");
}

// Code page 932 as far as this test needs it: 0x83 0x41 is katakana A.
std::string shiftJis(const std::string& ansi) {
    std::string out = ansi;
    const auto at = out.find("\x83\x41");
    if (at != std::string::npos) out.replace(at, 2, "\xE3\x82\xA2");
    return out;
}

TEST(ScriptPath, CaseChangesFollowTheCodePageAndTheNameLeavesInUtf8) {
    // 0x83 0x41 is one double-byte character in code page 932 whose trail
    // byte looks like 'A'; in 1252 they are two characters, the first one
    // U+0192. The limit counts the name as written, not its UTF-8.
    const std::string name = ".\\\x83\x41.TXT";
    setAnsiCodePage(932);
    setAnsiDecoder(shiftJis);
    EXPECT_EQ(resolved(variantB(), "C:\\x\\", name), "c:\\x\\\xE3\x82\xA2.txt");
    std::string atLimit = std::string(248, 'n') + "\x83\x41";  // 5 + 250 bytes as written
    EXPECT_TRUE(resolveScriptPath(variantB(), "C:\\x\\", atLimit));
    EXPECT_EQ(atLimit, "C:\\x\\" + std::string(248, 'n') + "\xE3\x82\xA2");
    setAnsiCodePage(1252);
    setAnsiDecoder(nullptr);
    EXPECT_EQ(resolved(variantB(), "C:\\x\\", name), "c:\\x\\\xC6\x92" "a.txt");
}

TEST(ScriptPath, OverLongNamesAndDirectoriesAreRefusedNotCut) {
    const Variant& b = variantB();
    const std::string dir259 = "C:\\" + std::string(255, 'd') + "\\";
    ASSERT_EQ(dir259.size(), 259u);
    std::string name = "E:\\short.bmp";
    EXPECT_TRUE(resolveScriptPath(b, dir259, name));  // directory at its limit, not used
    name = "E:\\short.bmp";
    EXPECT_FALSE(resolveScriptPath(b, dir259 + "x", name));
    EXPECT_EQ(name, "E:\\short.bmp");

    // "C:\x\" is 5 bytes: a 250-byte name makes 255 and is kept, 251 is refused.
    name = std::string(250, 'n');
    EXPECT_TRUE(resolveScriptPath(b, "C:\\x\\", name));
    EXPECT_EQ(name.size(), 255u);
    name = std::string(251, 'n');
    EXPECT_FALSE(resolveScriptPath(b, "C:\\x\\", name));
    EXPECT_EQ(name, std::string(251, 'n'));

    // The data directory "C:\WINDOWS\SYSTEM32\QUORvelkbsrc\" is 33 bytes, so
    // ".\" + 218 bytes + ".bmp" (224 bytes) resolves to 33 + 222 = 255.
    ASSERT_EQ(std::strlen(b.dataDirMixed), 33u);
    name = ".\\" + std::string(218, 'p') + ".bmp";
    EXPECT_TRUE(resolveScriptPath(b, "C:\\x\\", name));
    EXPECT_EQ(name.size(), 255u);
    name = ".\\" + std::string(219, 'p') + ".bmp";
    const std::string before = name;
    EXPECT_FALSE(resolveScriptPath(b, "C:\\x\\", name));
    EXPECT_EQ(name, before);
}

TEST(ScriptPath, TheReaderKeepsA300ByteNameWholeAndResolutionRefusesIt) {
    MemoryFiles files;
    const std::string longName = std::string(296, 'q') + ".bmp";
    files.addFile("C:\\l.txt", "set\nlayer=1\nsource=" + longName + "\nend\n");
    ScriptReader reader(files);
    ASSERT_TRUE(reader.open("C:\\l.txt"));
    float layer2 = 0;
    bool ranIntoEnd = true;
    EXPECT_TRUE(reader.readLayerBlock(layer2, ranIntoEnd));
    ASSERT_EQ(reader.block.source.size(), 300u);
    EXPECT_EQ(reader.block.source, longName);
    std::string name = reader.block.source;
    EXPECT_FALSE(resolveScriptPath(variantB(), "C:\\x\\", name));  // the layer is skipped
    EXPECT_EQ(name, longName);
}

TEST(ScriptPath, SpellingsOfOneFileShareItsKey) {
    const struct {
        const char* path;
        const char* key;
    } cases[] = {
        {"c:/Win\\\\x\\a.txt", "C:\\WIN\\X\\A.TXT"},  // '/', repeated separators, case
        {"C:\\x\\.\\.\\a.txt", "C:\\X\\A.TXT"},
        {"C:\\x\\sub\\..\\a.txt", "C:\\X\\A.TXT"},
        {"C:\\..\\..\\a.txt", "C:\\A.TXT"},  // never above the drive
        {"C:\\x\\a.txt. .", "C:\\X\\A.TXT"},
        {"C:\\x\\..", "C:"},
    };
    for (const auto& c : cases) EXPECT_EQ(filePathKey(c.path), c.key) << c.path;
}

}  // namespace
}  // namespace qv
