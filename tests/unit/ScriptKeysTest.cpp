// Every row of the key tables, as the show's reader and the script checker
// take it: the reader sets the row's field, the checker knows the key.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "scene/ScriptLint.h"
#include "scene/ScriptReader.h"
#include "variant/Variant.h"

namespace qv {
namespace {

// The row the reader matched on each line: its address and its key ("" when
// the line's key means nothing there).
struct RowRecorder : ScriptLineObserver {
    std::map<int, std::pair<const void*, std::string_view>> rows;
    void headerLine(int number, const std::string&, const HeaderKey* key) override {
        rows[number] = {key, key ? key->key : std::string_view()};
    }
    void blockLine(int number, const std::string&, const BlockKey* key) override {
        rows[number] = {key, key ? key->key : std::string_view()};
    }
    void randomName(int, const std::string&) override {}
};

struct KeyCase {
    bool block;        // a layer block's line, else a scene header's
    const char* line;  // the line as an author writes it (any case, blanks)
    const char* key;   // the row it matches; "" for none
    std::function<bool(const ScriptReader&)> read;  // what it leaves in the values
};

constexpr float kRadiansOf90 = 90 * 0.017453292f;

bool lintCallsUnknown(bool block, const std::string& line) {
    const Variant& b = variantB();
    MemoryFiles files;
    const std::string dir = std::string(b.dataDir) + "normal\\";
    // The line under test is line 2 of the header or of the layer file.
    files.addFile(dir + "scenescript.txt", block ? "script=.\\l.txt\nend\n" : "script=.\\l.txt\n" + line + "\nend\n");
    files.addFile(dir + "l.txt", block ? "set\n" + line + "\nlayer=1\nend\n" : "set\nlayer=1\nend\n");
    for (const LintFinding& finding : lintSceneScripts(b, files))
        if (finding.line == 2 && finding.text.find("unknown key") != std::string::npos) return true;
    return false;
}

TEST(ScriptKeys, EveryRowIsReadByTheReaderAndKnownToTheChecker) {
    const std::vector<KeyCase> cases = {
        {false, "SET", "SET", [](const ScriptReader& r) { return !r.header.chained; }},
        {false, "wait = 2.5", "WAIT", [](const ScriptReader& r) { return r.header.sceneTime == 2.5f; }},
        {false, "SceneTime=4", "SCENETIME", [](const ScriptReader& r) { return r.header.sceneTime == 4.0f; }},
        {false, "sx=-3", "SX", [](const ScriptReader& r) { return r.header.sx == -3.0f; }},
        {false, "sy=7", "SY", [](const ScriptReader& r) { return r.header.sy == 7.0f; }},
        {false, "time=1.25", "TIME", [](const ScriptReader& r) { return r.header.time == 1.25; }},
        {false, "effect=Movie", "EFFECT", [](const ScriptReader& r) { return r.header.effect == kEffectMovie; }},
        {false, "script=a.txt", "SCRIPT", [](const ScriptReader& r) { return r.header.layerFile == "a.txt"; }},
        {false, "continue=b.txt", "CONTINUE",
         [](const ScriptReader& r) { return r.header.chained && r.header.nextScript == "b.txt"; }},
        {false, "random\nc.txt", "RANDOM",
         [](const ScriptReader& r) { return r.header.chained && r.header.nextScript == "c.txt"; }},
        {false, "END", "END", [](const ScriptReader& r) { return r.lineNumber() == 1; }},
        {false, "source=x.bmp", "", [](const ScriptReader& r) { return r.header.layerFile.empty(); }},

        {true, "set", "SET", [](const ScriptReader& r) { return r.block.set; }},
        {true, "Source = p.bmp", "SOURCE", [](const ScriptReader& r) { return r.block.source == "p.bmp"; }},
        {true, "wait=2", "WAIT", [](const ScriptReader& r) { return r.block.wait == 2.0f; }},
        {true, "layer=3", "LAYER", [](const ScriptReader& r) { return r.block.layer == 3.0f; }},
        {true, "sx=5", "SX", [](const ScriptReader& r) { return r.block.sx == 5.0f && r.block.ex == 5.0f; }},
        {true, "sy=6", "SY", [](const ScriptReader& r) { return r.block.sy == 6.0f && r.block.ey == 6.0f; }},
        {true, "ex=7", "EX", [](const ScriptReader& r) { return r.block.ex == 7.0f && r.block.sx == 0.0f; }},
        {true, "ey=8", "EY", [](const ScriptReader& r) { return r.block.ey == 8.0f && r.block.sy == 0.0f; }},
        {true, "swidth=40", "SWIDTH",
         [](const ScriptReader& r) { return r.block.swidth == 40.0f && r.block.ewidth == 40.0f; }},
        {true, "sheight=30", "SHEIGHT",
         [](const ScriptReader& r) { return r.block.sheight == 30.0f && r.block.eheight == 30.0f; }},
        {true, "ewidth=41", "EWIDTH",
         [](const ScriptReader& r) { return r.block.ewidth == 41.0f && r.block.swidth == 10.0f; }},
        {true, "eheight=31", "EHEIGHT",
         [](const ScriptReader& r) { return r.block.eheight == 31.0f && r.block.sheight == 10.0f; }},
        {true, "time=6", "TIME", [](const ScriptReader& r) { return r.block.time == 6.0; }},
        {true, "salpha=0", "SALPHA",
         [](const ScriptReader& r) { return r.block.salpha == 0.0f && r.block.ealpha == 0.0f; }},
        {true, "ealpha=128", "EALPHA",
         [](const ScriptReader& r) { return r.block.ealpha == 128.0f && r.block.salpha == 255.0f; }},
        {true, "sred=1", "SRED", [](const ScriptReader& r) { return r.block.sred == 1.0f && r.block.ered == 1.0f; }},
        {true, "sgreen=2", "SGREEN",
         [](const ScriptReader& r) { return r.block.sgreen == 2.0f && r.block.egreen == 2.0f; }},
        {true, "sblue=3", "SBLUE", [](const ScriptReader& r) { return r.block.sblue == 3.0f && r.block.eblue == 3.0f; }},
        {true, "ered=4", "ERED", [](const ScriptReader& r) { return r.block.ered == 4.0f && r.block.sred == 255.0f; }},
        {true, "egreen=5", "EGREEN",
         [](const ScriptReader& r) { return r.block.egreen == 5.0f && r.block.sgreen == 255.0f; }},
        {true, "eblue=6", "EBLUE",
         [](const ScriptReader& r) { return r.block.eblue == 6.0f && r.block.sblue == 255.0f; }},
        {true, "srot=90", "SROT",
         [](const ScriptReader& r) { return r.block.srot == kRadiansOf90 && r.block.erot == kRadiansOf90; }},
        {true, "EROT=90", "EROT",
         [](const ScriptReader& r) { return r.block.erot == kRadiansOf90 && r.block.srot == 0.0f; }},
        {true, "tape=2", "TAPE", [](const ScriptReader& r) { return r.block.tape == 2.0f; }},
        {true, "still=3", "STILL", [](const ScriptReader& r) { return r.block.still == 3.0f; }},
        {true, "end", "END", [](const ScriptReader& r) { return r.lineNumber() == 2; }},
        {true, "scenetime=5", "", [](const ScriptReader& r) { return r.block.wait == 0.0f; }},
        // Only ASCII letters change case: a dotless i is no I.
        {true, "t\xFDme=5", "", [](const ScriptReader& r) { return r.block.time == 0.0; }},
    };

    std::set<const void*> rowsSeen;
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.line);
        MemoryFiles files;
        // A header's line comes first; a block's after its set, so that
        // the number of lines read shows where the reader stopped.
        files.addFile("C:\\k.txt", std::string(c.block ? "set\n" : "") + c.line + "\nend\nsx=99\n");
        ScriptReader reader(files);
        RowRecorder recorder;
        reader.observer = &recorder;
        reader.pickRandom = [](int) { return 0; };
        ASSERT_TRUE(reader.open("C:\\k.txt"));
        bool ranIntoEnd = true;
        float layer2Wait = 0;
        if (c.block)
            reader.readLayerBlock(layer2Wait, ranIntoEnd);
        else
            reader.readSceneHeader(ranIntoEnd);
        EXPECT_FALSE(ranIntoEnd);
        EXPECT_TRUE(c.read(reader));
        const auto& [row, key] = recorder.rows[c.block ? 2 : 1];
        EXPECT_EQ(key, c.key);
        if (row) rowsSeen.insert(row);
        const bool known = *c.key != '\0';
        EXPECT_EQ(lintCallsUnknown(c.block, c.line), !known);
    }
    for (const HeaderKey& row : kHeaderKeys) EXPECT_TRUE(rowsSeen.count(&row)) << "no case for header key " << row.key;
    for (const BlockKey& row : kBlockKeys) EXPECT_TRUE(rowsSeen.count(&row)) << "no case for block key " << row.key;
}

}  // namespace
}  // namespace qv
