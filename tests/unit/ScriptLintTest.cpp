// The script checker reads each file once and gives each finding once,
// however many spellings of its path a chain of hand-overs reaches it by.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "scene/ScriptLint.h"
#include "text/Utf8Text.h"
#include "variant/Variant.h"

namespace qv {
namespace {

TEST(ScriptLint, OneFileBySeveralSpellingsIsReadOnceAndReportedOnce) {
    // a.txt hands over to itself under the name of each row, without any
    // scene taking time; its one scene applies l.txt, which holds an unknown
    // key. Most names spell a.txt longer on every round (a separator more, a
    // ".\" or "sub\.." more), until the path passes 255 bytes.
    const std::vector<const char*> names = {
        ".\\\\a.txt",       // normal\\a.txt, then normal\\\a.txt, ...
        "\\a.txt",          // the same without the leading dot
        ".\\.\\a.txt",      // normal\.\a.txt, normal\.\.\a.txt, ...
        "sub\\..\\a.txt",   // normal\sub\..\a.txt, normal\sub\..\sub\..\a.txt, ...
        "A.TXT",            // letter case only
    };
    const Variant& b = variantB();
    const std::string dir = std::string(b.dataDir) + "normal\\";
    for (const char* name : names) {
        SCOPED_TRACE(name);
        MemoryFiles files;
        files.addFile(dir + "scenescript.txt", "continue=.\\a.txt\nend\n");
        files.addFile(dir + "a.txt", std::string("script=.\\l.txt\nend\ncontinue=") + name + "\nend\n");
        files.addFile(dir + "l.txt", "set\nlayer=1\nbogus=1\nend\n");

        std::vector<std::string> found;  // below the data directory, line, text
        for (const LintFinding& f : lintSceneScripts(b, files)) {
            const std::string below = upperPath(f.path).rfind(upperPath(b.dataDir), 0) == 0
                                          ? f.path.substr(std::string(b.dataDir).size())
                                          : f.path;
            found.push_back(below + ":" + std::to_string(f.line) + ": " + f.text);
        }
        const std::vector<std::string> expected = {
            "normal\\a.txt:3: the chain normal\\a.txt -> normal\\a.txt loops without any scene taking time",
            "normal\\l.txt:3: unknown key \"bogus\" in a layer block: the show ignores this line",
            "wide\\scenescript.txt:0: the first scene script does not exist: the show does not start on screens "
            "that use it",
        };
        EXPECT_EQ(found, expected);

        std::map<std::string, int> reads;  // by the file the port took each name as
        for (const std::string& opened : files.openLog()) ++reads[MemoryFiles::key(opened)];
        const std::map<std::string, int> once = {
            {MemoryFiles::key(dir + "scenescript.txt"), 1},
            {MemoryFiles::key(dir + "a.txt"), 1},
            {MemoryFiles::key(dir + "l.txt"), 1},
        };
        EXPECT_EQ(reads, once);
    }
}

}  // namespace
}  // namespace qv
