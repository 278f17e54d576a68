#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "scene/LineReader.h"
#include "scene/ScriptReader.h"

namespace qv {
namespace {

const char* const kScript = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt";
const char* const kLayers = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\layers.txt";

std::vector<std::string> allLines(const std::string& bytes, std::size_t chunk) {
    MemoryFiles files;
    files.addFile("C:\\t.txt", bytes);
    files.setReadChunk(chunk);
    LineReader reader(files.openRead("C:\\t.txt"));
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);) lines.push_back(line);
    return lines;
}

// A reader open on text, stored as the given file.
struct Fixture {
    MemoryFiles files;
    ScriptReader reader{files};
    Fixture(const std::string& text, const char* path = kLayers) {
        files.addFile(path, text);
        EXPECT_TRUE(reader.open(path));
    }
};

TEST(LineReader, LinesAsWindowsTextModeGivesThem) {
    for (std::size_t chunk : {0u, 1u, 2u, 3u}) {
        SCOPED_TRACE(chunk);
        // CR LF and LF end lines; the last line needs no line end.
        EXPECT_EQ(allLines("a\r\nb\n\nc", chunk), (std::vector<std::string>{"a", "b", "", "c"}));
        EXPECT_EQ(allLines("a\r\n", chunk), (std::vector<std::string>{"a"}));
        EXPECT_TRUE(allLines("", chunk).empty());
        // A CR without LF stays in the line, as text mode leaves it.
        EXPECT_EQ(allLines("a\rb\r\r\nc\r", chunk), (std::vector<std::string>{"a\rb\r", "c\r"}));
        // Ctrl-Z ends the file, even in the middle of a line.
        EXPECT_EQ(allLines("a\nb\x1A" "c\nd\n", chunk), (std::vector<std::string>{"a", "b"}));
        EXPECT_TRUE(allLines("\x1A" "a\n", chunk).empty());
        // A NUL ends the line's text; the next line starts after the line end.
        EXPECT_EQ(allLines(std::string("ab\0cd\r\nef", 10), chunk),
                  (std::vector<std::string>{"ab", "ef"}));
    }
}

TEST(LineReader, VeryLongLinesAndMissingFilesAreSafe) {
    const std::string longLine(100000, 'x');
    const auto lines = allLines(longLine + "\r\nend", 4096);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], longLine);
    EXPECT_EQ(lines[1], "end");
    LineReader none(nullptr);
    std::string line = "left";
    EXPECT_FALSE(none.next(line));
    EXPECT_FALSE(none.next(line));
}

TEST(ScriptReader, NumbersAreReadAsStrtodReadsThemInEveryLocale) {
    EXPECT_EQ(ScriptReader::readNumber("time=1.5s", "time"), 1.5);
    EXPECT_EQ(ScriptReader::readNumber("time=abc", "time"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("wait", "wait"), 0.0);  // no '='
    EXPECT_EQ(ScriptReader::readNumber("TIME=2", "time"), 2.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=-.5e1x", "sx"), -5.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=+7", "sx"), 7.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=1e", "sx"), 1.0);   // exponent without digits
    EXPECT_EQ(ScriptReader::readNumber("sx=2E+", "sx"), 2.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=25e-1", "sx"), 2.5);
    EXPECT_EQ(ScriptReader::readNumber("sx=1,5", "sx"), 1.0);  // never a decimal comma
    EXPECT_EQ(ScriptReader::readNumber("sx=.", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=-", "sx"), 0.0);
    // Decimal only: no hex, no words, on both platforms alike.
    EXPECT_EQ(ScriptReader::readNumber("sx=0x10", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=inf", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=nan", "sx"), 0.0);
    // The first key-length + 1 characters go, whatever they are.
    EXPECT_EQ(ScriptReader::readNumber("sx:12", "sx"), 12.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=12", "s"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("time=0.1", "time"), 0.1);
    // Out of range: infinity or zero, as strtod gives.
    EXPECT_EQ(ScriptReader::readNumber("sx=1e400", "sx"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ScriptReader::readNumber("sx=-1e400", "sx"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ScriptReader::readNumber("sx=1e-400", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=0.000e999999999999999999", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=1" + std::string(400, '0'), "sx"),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(ScriptReader::readNumber("sx=0." + std::string(400, '0') + "1", "sx"), 0.0);
    EXPECT_EQ(ScriptReader::readNumber("sx=0." + std::string(400, '0') + "1e420", "sx"), 1e19);
}

TEST(ScriptReader, SceneHeadersOfTheExampleScriptOneAtATime) {
    Fixture f(
        "# title at once, pictures after 6 s, fade at 20 s, then start again\r\n"
        "effect=photo\r\nscenetime=0\r\nscript=.\\title.txt\r\nend\r\n"
        "scenetime=6\r\nscript=.\\still_pictures.txt\r\nend\r\n"
        "effect=change\nscenetime=20\nscript=.\\fade.txt\nsx=3\nsy=-2.5\nend\n"
        "effect=photo\nscenetime=24\nscript=.\\none.txt      # nothing changes\nend\n"
        "continue=.\\scenescript.txt\nend\n",
        kScript);
    ScriptReader& r = f.reader;
    bool ranIntoEnd = true;
    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.header.sceneTime, 0.0f);
    EXPECT_EQ(r.header.layerFile, ".\\title.txt");
    EXPECT_EQ(r.header.effect, kEffectPhoto);

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.sceneTime, 6.0f);
    EXPECT_EQ(r.header.layerFile, ".\\still_pictures.txt");
    EXPECT_EQ(r.header.effect, kEffectPhoto);  // carried over

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.effect, kEffectChange);
    EXPECT_EQ(r.header.sceneTime, 20.0f);
    EXPECT_EQ(r.header.sx, 3.0f);
    EXPECT_EQ(r.header.sy, -2.5f);

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.layerFile, ".\\none.txt");
    EXPECT_EQ(r.header.effect, kEffectPhoto);
    EXPECT_EQ(r.header.sx, 0.0f);  // the offset is the header's own
    EXPECT_EQ(r.header.sy, 0.0f);

    EXPECT_TRUE(r.readSceneHeader(ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.header.chained, 1);
    EXPECT_EQ(r.header.nextScript, ".\\scenescript.txt");
    EXPECT_EQ(r.header.sceneTime, 24.0f);  // the engine resets it when it switches

    // Nothing left: an empty header that ran into the end.
    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_TRUE(ranIntoEnd);
    EXPECT_EQ(r.header.chained, 0);
    EXPECT_EQ(r.header.layerFile, ".\\scenescript.txt");
}

TEST(ScriptReader, HeaderLinesWithBlanksCaseCommentsAndSharedValues) {
    Fixture f(
        "Effect = CHANGE # fade\nS C E N E T I M E\t=\t7\nend\n"
        "wait\nEFFECT=Movie\nend\n"
        "effect=camera\ntime=1.5s\nend\n"
        "effect=slideshow\nscenetime=3\nwait=4\nset\nbogus=1\nend\n"
        "script=a.txt\ncontinue=b.txt\nscenetime=5\nend\n"
        "continue=c.txt\nscript=d.txt\n",
        kScript);
    ScriptReader& r = f.reader;
    bool ranIntoEnd = false;
    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.effect, kEffectChange);
    EXPECT_EQ(r.header.sceneTime, 7.0f);

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.sceneTime, 0.0f);  // "wait" without '=' reads as 0
    EXPECT_EQ(r.header.effect, kEffectMovie);

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.effect, kEffectCamera);
    EXPECT_EQ(r.header.time, 1.5);

    EXPECT_FALSE(r.readSceneHeader(ranIntoEnd));
    EXPECT_EQ(r.header.effect, kEffectPhoto);  // unknown words mean photo
    EXPECT_EQ(r.header.sceneTime, 4.0f);            // the later of scenetime and wait

    // continue replaces the script name and the header is still read to its end.
    EXPECT_TRUE(r.readSceneHeader(ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.header.nextScript, "b.txt");
    EXPECT_EQ(r.header.sceneTime, 5.0f);

    // The chained name wins over a script line after it too: the header hands
    // over to c.txt, never to a layer file. A chained header that runs into
    // the end of the file does not count as running into it.
    EXPECT_TRUE(r.readSceneHeader(ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.header.nextScript, "c.txt");
}

TEST(ScriptReader, RandomTakesUpToTenRawLines) {
    {
        Fixture f("random\na.txt\n  b.txt\nc.txt # x", kScript);
        int offered = 0;
        f.reader.pickRandom = [&](int count) {
            offered = count;
            return 1;
        };
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_FALSE(ranIntoEnd);
        EXPECT_EQ(offered, 3);
        EXPECT_EQ(f.reader.header.nextScript, "  b.txt");
    }
    {
        Fixture f("random\na.txt\n  b.txt\r\nc.txt # x\n", kScript);
        f.reader.pickRandom = [](int) { return 2; };
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_EQ(f.reader.header.nextScript, "c.txt # x");
    }
    {
        // Twelve names: the first ten are offered, the last two are header lines.
        std::string text = "script=x.txt\nrandom\n";
        for (int i = 1; i <= 10; ++i) text += "n" + std::to_string(i) + ".txt\n";
        text += "script=late.txt\nscenetime=7\nend\nscript=next.txt\nend\n";
        Fixture f(text, kScript);
        int offered = 0;
        f.reader.pickRandom = [&](int count) {
            offered = count;
            return 19;  // taken modulo the count
        };
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_EQ(offered, 10);
        EXPECT_EQ(f.reader.header.nextScript, "n10.txt");  // not the script line after the names
        EXPECT_EQ(f.reader.header.sceneTime, 7.0f);
        EXPECT_FALSE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_EQ(f.reader.header.layerFile, "next.txt");
    }
    {
        // random as the last line ends the script at once.
        Fixture f("script=x.txt\nscenetime=2\nrandom\r\n", kScript);
        bool called = false;
        f.reader.pickRandom = [&](int) {
            called = true;
            return 0;
        };
        bool ranIntoEnd = false;
        EXPECT_FALSE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_TRUE(ranIntoEnd);
        EXPECT_FALSE(called);
        EXPECT_EQ(f.reader.header.layerFile, "x.txt");
        EXPECT_EQ(f.reader.header.chained, 0);
    }
    {
        // Even after a continue, a random with nothing after it ends the
        // script: no chain, and the header ran into the end.
        Fixture f("continue=next.txt\nrandom\n", kScript);
        bool ranIntoEnd = false;
        EXPECT_FALSE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_TRUE(ranIntoEnd);
        EXPECT_EQ(f.reader.header.chained, 0);
    }
    {
        // The default generator picks one of the names offered.
        Fixture f("random\na.txt\nb.txt\nend\n", kScript);
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_TRUE(f.reader.header.nextScript == "a.txt" || f.reader.header.nextScript == "b.txt" || f.reader.header.nextScript == "end");
    }
}

TEST(ScriptReader, HeaderLineLimitIsThreeThousandLinesWithoutRandomNames) {
    {
        Fixture f(std::string(2999, '\n') + "end\nscript=b.txt\nend\n", kScript);
        bool ranIntoEnd = true;
        f.reader.readSceneHeader(ranIntoEnd);
        EXPECT_FALSE(ranIntoEnd);  // end is line 3000
        f.reader.readSceneHeader(ranIntoEnd);
        EXPECT_EQ(f.reader.header.layerFile, "b.txt");
    }
    {
        Fixture f(std::string(3000, '\n') + "scenetime=4\nend\n", kScript);
        bool ranIntoEnd = false;
        EXPECT_FALSE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_TRUE(ranIntoEnd);  // the limit counts as the end of the file
        // The next call reads on from line 3001.
        f.reader.readSceneHeader(ranIntoEnd);
        EXPECT_FALSE(ranIntoEnd);
        EXPECT_EQ(f.reader.header.sceneTime, 4.0f);
    }
    {
        // 2989 blank lines, random, ten names, 8 blank lines, scenetime, end:
        // 3000 counted lines, so scenetime and end are still read.
        std::string text = std::string(2989, '\n') + "random\n";
        for (int i = 0; i < 10; ++i) text += "name.txt\n";
        text += std::string(8, '\n') + "scenetime=9\nend\nscenetime=11\n";
        Fixture f(text, kScript);
        f.reader.pickRandom = [](int) { return 0; };
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readSceneHeader(ranIntoEnd));
        EXPECT_EQ(f.reader.header.sceneTime, 9.0f);
        f.reader.readSceneHeader(ranIntoEnd);
        EXPECT_TRUE(ranIntoEnd);
        EXPECT_EQ(f.reader.header.sceneTime, 11.0f);
    }
}

TEST(ScriptReader, TextModeLineEndsInScripts) {
    // A lone CR joins two lines into one: the number stops at the CR and
    // "end" is not seen.
    Fixture f(std::string("scenetime=5\rend\nscript=a.txt\0rest\r\nend\r\n\x1A" "scenetime=9\nend\n", 56),
              kScript);
    bool ranIntoEnd = false;
    f.reader.readSceneHeader(ranIntoEnd);
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(f.reader.header.sceneTime, 5.0f);
    EXPECT_EQ(f.reader.header.layerFile, "a.txt");
    f.reader.readSceneHeader(ranIntoEnd);
    EXPECT_TRUE(ranIntoEnd);  // Ctrl-Z ended the file
    EXPECT_EQ(f.reader.header.sceneTime, 5.0f);
}

TEST(ScriptReader, OpenFailureAndClosedReaderFindNoLines) {
    MemoryFiles files;
    ScriptReader reader(files);
    bool ranIntoEnd = false;
    float layer2 = 1;
    EXPECT_FALSE(reader.readSceneHeader(ranIntoEnd));
    EXPECT_TRUE(ranIntoEnd);
    EXPECT_FALSE(reader.open("C:\\missing.txt"));
    EXPECT_EQ(reader.path, "C:\\missing.txt");
    ranIntoEnd = false;
    EXPECT_FALSE(reader.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_TRUE(ranIntoEnd);
    files.addFile(kLayers, "set\nend\n");
    EXPECT_TRUE(reader.open(kLayers));
    reader.close();
    ranIntoEnd = false;
    EXPECT_FALSE(reader.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_TRUE(ranIntoEnd);
    EXPECT_EQ(layer2, 1.0f);
}

TEST(ScriptReader, NormalBlocksStartFromDefaultsAndStartKeysSetEndKeys) {
    Fixture f(
        "set\nlayer=3\nsource=.\\STILL1.JPG    # first placeholder picture\n"
        "sx=-40\nex=40\nswidth=120\nsheight=90\ntime=6\nwait=0.5\nend\n"
        "set\nex=20\nsx=5\nS W I D T H = 1 2 0\nsred=10\negreen=20\nsblue=30\nsalpha=0\n"
        "ealpha=128\nsrot=90\nLAYER=3.9\ntime=abc\ntape=2\nstill=3\nend\n"
        "layer=5\nsource=b.bmp\nend\n",
        kLayers);
    ScriptReader& r = f.reader;
    float layer2 = -7;
    bool ranIntoEnd = true;
    r.resetToDefaults();
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.block.layer, 3.0f);
    EXPECT_EQ(r.block.source, ".\\STILL1.JPG");
    EXPECT_EQ(r.block.sx, -40.0f);
    EXPECT_EQ(r.block.ex, 40.0f);
    EXPECT_EQ(r.block.sy, 0.0f);
    EXPECT_EQ(r.block.ey, 0.0f);
    EXPECT_EQ(r.block.swidth, 120.0f);
    EXPECT_EQ(r.block.ewidth, 120.0f);
    EXPECT_EQ(r.block.sheight, 90.0f);
    EXPECT_EQ(r.block.eheight, 90.0f);
    EXPECT_EQ(r.block.time, 6.0);
    EXPECT_EQ(r.block.wait, 0.5f);
    EXPECT_EQ(layer2, -7.0f);  // the wait came after set
    EXPECT_EQ(r.block.salpha, 255.0f);
    EXPECT_EQ(r.block.ered, 255.0f);
    EXPECT_EQ(r.block.srot, 0.0f);
    EXPECT_EQ(r.block.still, -1.0f);

    r.resetToDefaults();
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_EQ(r.block.sx, 5.0f);  // sx after ex wins for both
    EXPECT_EQ(r.block.ex, 5.0f);
    EXPECT_EQ(r.block.swidth, 120.0f);
    EXPECT_EQ(r.block.ewidth, 120.0f);
    EXPECT_EQ(r.block.sred, 10.0f);
    EXPECT_EQ(r.block.ered, 10.0f);
    EXPECT_EQ(r.block.sgreen, 255.0f);
    EXPECT_EQ(r.block.egreen, 20.0f);
    EXPECT_EQ(r.block.eblue, 30.0f);
    EXPECT_EQ(r.block.salpha, 0.0f);
    EXPECT_EQ(r.block.ealpha, 128.0f);
    // 90 degrees in single precision: 0.017453292f is 0.0174532924, times
    // 90 is 1.57079632, whose nearest float is 1.57079637 (in double
    // precision 1.57079628 would round to 1.57079625 instead).
    EXPECT_EQ(r.block.srot, 1.57079637f);
    EXPECT_EQ(r.block.erot, r.block.srot);
    EXPECT_EQ(r.block.layer, 3.9f);
    EXPECT_EQ(r.block.time, 0.0);
    EXPECT_EQ(r.block.tape, 2.0f);
    EXPECT_EQ(r.block.still, 3.0f);
    EXPECT_EQ(r.block.source, ".\\STILL1.JPG");  // a block without source keeps the name

    // Without set the block defines nothing but is read all the same.
    r.resetToDefaults();
    EXPECT_FALSE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.block.layer, 5.0f);
    EXPECT_EQ(r.block.source, "b.bmp");
    EXPECT_FALSE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_TRUE(ranIntoEnd);
}

TEST(ScriptReader, LogoNamesForceTheirSize) {
    Fixture f(
        "set\nswidth=100\nsource=.\\logo_gd.bmp\nsheight=50\nend\n"
        "set\nlayer=1\nsource=.\\logo_gb.bmp   # sizes forced\nsx=0\nsy=0\nswidth=1\nsheight=1\n"
        "salpha=0\nealpha=255\ntime=2\nend\n"
        "set\nsource=.\\logo_gd.bmp\newidth=50\neheight=40\nend\n"
        "set\nswidth=70\nend\n"
        "set\nsource=.\\LOGO_GD.bmp\nswidth=100\nend\n",
        kLayers);
    ScriptReader& r = f.reader;
    float layer2 = 0;
    bool ranIntoEnd = true;
    r.resetToDefaults();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_EQ(r.block.swidth, 100.0f);  // given before the source
    EXPECT_EQ(r.block.ewidth, 100.0f);
    EXPECT_EQ(r.block.sheight, 8.0f);
    EXPECT_EQ(r.block.eheight, 8.0f);

    r.resetToDefaults();
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_EQ(r.block.swidth, 37.6f);
    EXPECT_EQ(r.block.ewidth, 37.6f);
    EXPECT_EQ(r.block.sheight, 8.0f);
    EXPECT_EQ(r.block.eheight, 8.0f);
    EXPECT_EQ(r.block.salpha, 0.0f);
    EXPECT_EQ(r.block.ealpha, 255.0f);  // fades in
    EXPECT_EQ(r.block.time, 2.0);

    r.resetToDefaults();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_EQ(r.block.swidth, 10.0f);
    EXPECT_EQ(r.block.ewidth, 37.6f);
    EXPECT_EQ(r.block.eheight, 8.0f);

    // No resets touch the name: a block without source is still a logo.
    r.resetToDefaults();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_EQ(r.block.swidth, 37.6f);

    r.resetToDefaults();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_EQ(r.block.swidth, 100.0f);  // the name is compared with its case
}

TEST(ScriptReader, WaitBeforeSetReachesLayerTwoAndBlockLimitIsFortyLines) {
    {
        Fixture f("wait=2\nset\nwait=3\nend\nset\nwait=4\nend\n", kLayers);
        float layer2 = 0;
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_EQ(layer2, 2.0f);
        EXPECT_EQ(f.reader.block.wait, 3.0f);
        EXPECT_TRUE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_EQ(layer2, 2.0f);
    }
    {
        Fixture f("set\n" + std::string(38, '\n') + "end\nlayer=4\n", kLayers);
        float layer2 = 0;
        bool ranIntoEnd = true;
        EXPECT_TRUE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_FALSE(ranIntoEnd);  // end is line 40
    }
    {
        // A block that reaches 40 lines without end is still a block; it
        // counts as having run into the end.
        Fixture f("set\n#comment\n" + std::string(38, '\n') + "layer=9\nend\n", kLayers);
        float layer2 = 0;
        bool ranIntoEnd = false;
        EXPECT_TRUE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_TRUE(ranIntoEnd);
        EXPECT_EQ(f.reader.block.layer, 0.0f);
        f.reader.resetToDefaults();
        EXPECT_FALSE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_FALSE(ranIntoEnd);
        EXPECT_EQ(f.reader.block.layer, 9.0f);
    }
    {
        // Missing end: the set block is still a block, and the file is done.
        Fixture f("set\r\nlayer=2\r\nsx=1", kLayers);
        float layer2 = 0;
        bool ranIntoEnd = false;
        EXPECT_TRUE(f.reader.readLayerBlock(layer2, ranIntoEnd));
        EXPECT_TRUE(ranIntoEnd);
        EXPECT_EQ(f.reader.block.layer, 2.0f);
        EXPECT_EQ(f.reader.block.ex, 1.0f);
    }
}

TEST(ScriptReader, ChangeBlocksStartUnsetAndEndKeysStayUnset) {
    Fixture f(
        "set\nlayer=3\nstill=4\nsource=.\\a.bmp\nend\n"
        "set\nlayer=3\nealpha=0\ntime=3\nsx=5\nsrot=180\nsred=1\nend\n"
        "set\nsx=1e39\nsy=-1e39\nex=3.4028235e38\ntime=1e39\nealpha=3.4028234e38\nsalpha=3.40282e38\nend\n"
        "set\ntime=3.4028234e38\nend\n",
        kLayers);
    ScriptReader& r = f.reader;
    float layer2 = 0;
    bool ranIntoEnd = true;
    r.resetToDefaults();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_EQ(r.block.still, 4.0f);

    r.resetToUnset();
    EXPECT_EQ(r.header.effect, kEffectChange);
    EXPECT_EQ(r.block.still, 4.0f);  // left as it was
    EXPECT_EQ(r.block.source, ".\\a.bmp");
    EXPECT_TRUE(r.path.empty());
    EXPECT_TRUE(isUnset(r.block.tape));
    EXPECT_TRUE(isUnset(r.block.time));
    EXPECT_EQ(r.block.time, 3.4028234663852886e38);
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_EQ(r.block.layer, 3.0f);
    EXPECT_EQ(r.block.ealpha, 0.0f);
    EXPECT_TRUE(isUnset(r.block.salpha));
    EXPECT_EQ(r.block.time, 3.0);
    EXPECT_EQ(r.block.sx, 5.0f);
    EXPECT_TRUE(isUnset(r.block.ex));  // an unset end is not taken along
    EXPECT_NEAR(r.block.srot, 3.1415926f, 1e-6f);
    EXPECT_TRUE(isUnset(r.block.erot));
    EXPECT_EQ(r.block.sred, 1.0f);
    EXPECT_TRUE(isUnset(r.block.ered));
    EXPECT_TRUE(isUnset(r.block.wait));
    EXPECT_TRUE(isUnset(r.block.swidth) && isUnset(r.block.eheight) && isUnset(r.block.sy) && isUnset(r.block.ey));

    // Numbers beyond single precision: infinity counts as unset, minus
    // infinity does not; the largest float is UNSET itself.
    r.resetToUnset();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_TRUE(std::isinf(r.block.sx) && isUnset(r.block.sx));
    EXPECT_TRUE(std::isinf(r.block.sy) && r.block.sy < 0 && !isUnset(r.block.sy));
    EXPECT_EQ(r.block.ex, kUnset);
    EXPECT_TRUE(isUnset(r.block.time));
    // 3.4028234e38 rounds to the largest float (it is within half an ulp,
    // 1.0e31), 3.40282e38 does not.
    EXPECT_EQ(r.block.ealpha, kUnset);
    EXPECT_FALSE(isUnset(r.block.salpha));
    // time keeps double precision: 3.4028234e38 is below UNSET there.
    r.resetToUnset();
    r.readLayerBlock(layer2, ranIntoEnd);
    EXPECT_FALSE(isUnset(r.block.time));

    r.resetToDefaults();
    EXPECT_EQ(r.header.effect, kEffectPhoto);
    EXPECT_EQ(r.block.still, -1.0f);
    EXPECT_EQ(r.block.tape, 0.0f);
    EXPECT_EQ(r.block.layer, 0.0f);
    EXPECT_EQ(r.block.time, 0.0);
    EXPECT_EQ(r.block.swidth, 10.0f);
    EXPECT_EQ(r.block.ealpha, 255.0f);
    EXPECT_EQ(r.block.wait, 0.0f);
    EXPECT_EQ(r.block.source, ".\\a.bmp");
}

TEST(ScriptReader, ReadsTheSameThroughOneByteReads) {
    MemoryFiles files;
    files.setReadChunk(1);
    files.addFile(kLayers, "set\r\nlayer = 4\r\nsource=.\\pic.bmp\r\nsx=12.25\r\nend\r\nset\r\nlayer=30\r\nend");
    ScriptReader r(files);
    ASSERT_TRUE(r.open(kLayers));
    float layer2 = 0;
    bool ranIntoEnd = true;
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_EQ(r.block.layer, 4.0f);
    EXPECT_EQ(r.block.source, ".\\pic.bmp");
    EXPECT_EQ(r.block.ex, 12.25f);
    EXPECT_TRUE(r.readLayerBlock(layer2, ranIntoEnd));
    EXPECT_FALSE(ranIntoEnd);
    EXPECT_EQ(r.block.layer, 30.0f);
}

}  // namespace
}  // namespace qv
