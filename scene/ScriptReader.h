#pragma once
// Reads scene scripts header by header and layer files block by block, each
// into its values. One reader stays open on the current scene script for
// the whole show; each applied layer file gets a short-lived one of its own.
#include <functional>
#include <memory>
#include <string>

#include "ports/FilesPort.h"
#include "scene/ScriptKeys.h"
#include "scene/ScriptValues.h"

namespace qv {

// Lines a scene header and a layer block are read for at most, and the
// names a random offers at most.
constexpr int kHeaderLineLimit = 3000;
constexpr int kBlockLineLimit = 40;
constexpr int kRandomNameLimit = 10;

class LineReader;

// Hears every line a reader takes, for the tools that check scripts; the
// show leaves it unset.
class ScriptLineObserver {
public:
    virtual ~ScriptLineObserver() = default;
    // A line read for its key, prepared (blanks and comment gone), with the
    // row of its key; null when the key means nothing where it stands.
    virtual void headerLine(int number, const std::string& prepared, const HeaderKey* key) = 0;
    virtual void blockLine(int number, const std::string& prepared, const BlockKey* key) = 0;
    // A line taken whole as one of random's names.
    virtual void randomName(int number, const std::string& name) = 0;
};

class ScriptReader {
public:
    explicit ScriptReader(FilesPort& files);
    virtual ~ScriptReader();
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    // True when the file could be opened for reading; path is kept either way.
    bool open(const std::string& path);
    void close();

    void resetToDefaults();  // normal blocks and headers
    void resetToUnset();     // change blocks

    // Reads one scene header into header; true when it chained (continue
    // or random).
    bool readSceneHeader(bool& ranIntoEnd);
    // Reads one layer block into block; true when it held a set line. A
    // wait line before set also goes to layer2Wait (layer record 2's wait).
    bool readLayerBlock(float& layer2Wait, bool& ranIntoEnd);

    // The number after "key=" in a prepared line, as strtod reads it (0 if none).
    static double readNumber(const std::string& line, const std::string& key);

    // Number of the line read last in the open file (0 before the first).
    int lineNumber() const;
    // Reads on without looking at the lines until count lines of the open
    // file have been read; false when the file ends first.
    bool skipTo(int count);

    ScriptLineObserver* observer = nullptr;

    // How random picks one of count names (count >= 1). By default the C
    // library's generator seeded with the time in seconds; tools and tests
    // put a fixed choice here.
    std::function<int(int count)> pickRandom;

    // What the last header and the last block said. The resets set both
    // (defaults for normal blocks and headers, unset for change blocks)
    // but leave the names as they were; a change block's reset leaves still.
    HeaderValues header;
    BlockValues block;
    std::string path;      // path given to the last open

private:
    // The header hands over to name, which also stands as its layer file.
    void handOver(const std::string& name);

    FilesPort& files_;
    std::unique_ptr<LineReader> lines_;
};

}  // namespace qv
