#pragma once
// Reads scene scripts header by header and layer files block by block into
// one set of values. One reader stays open on the current scene script for
// the whole show; each applied layer file gets a short-lived one of its own.
#include <functional>
#include <memory>
#include <string>

#include "ports/FilesPort.h"

namespace qv {

// Marks a value that a change block does not give: the largest finite float.
constexpr float kUnset = 3.4028235e38f;
constexpr double kUnsetDouble = 3.4028234663852886e38;
inline bool isUnset(double value) { return value >= kUnsetDouble; }

// Lines a scene header and a layer block are read for at most, and the
// names a random offers at most.
constexpr int kHeaderLineLimit = 3000;
constexpr int kBlockLineLimit = 40;
constexpr int kRandomNameLimit = 10;

// Scene effects of a header.
enum SceneEffect { kEffectPhoto = 1, kEffectMovie = 2, kEffectCamera = 3, kEffectChange = 4 };

class LineReader;

// Hears every line a reader takes, for the tools that check scripts; the
// show leaves it unset.
class ScriptLineObserver {
public:
    virtual ~ScriptLineObserver() = default;
    // A line read for its key, prepared (blanks and comment gone); known is
    // false when its key means nothing where it stands (header or block).
    virtual void keyLine(int number, const std::string& prepared, bool known) = 0;
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

    // Reads one scene header; true when it chained (continue or random).
    bool readSceneHeader(bool& ranIntoEnd);
    // Reads one layer block; true when it held a set line. A wait line
    // before set also goes to layer2Wait (layer record 2's wait).
    bool readLayerBlock(float& layer2Wait, bool& ranIntoEnd);

    // The number after "key=" in a prepared line, as strtod reads it (0 if none).
    static double readNumber(const std::string& line, const std::string& key);

    // Whether an upper-cased key means something in a scene header, or in
    // a layer block.
    static bool isHeaderKey(const std::string& upperKey);
    static bool isBlockKey(const std::string& upperKey);

    // Number of the line read last in the open file (0 before the first).
    int lineNumber() const;

    ScriptLineObserver* observer = nullptr;

    // How random picks one of count names (count >= 1). By default the C
    // library's generator seeded with the time in seconds; tools and tests
    // put a fixed choice here.
    std::function<int(int count)> pickRandom;

    // Values, named after the keys they hold (rotation in radians).
    float still = -1, tape = 0;
    float erot = 0, srot = 0;
    float sblue = 255, sgreen = 255, sred = 255;
    float eblue = 255, egreen = 255, ered = 255;
    float ealpha = 255;
    float eheight = 10, ewidth = 10;
    int effect = kEffectPhoto;
    float salpha = 255;
    float layer = 0;
    double time = 0;
    float sheight = 10, swidth = 10;
    float ey = 0, ex = 0, sy = 0, sx = 0;
    float wait = 0;        // block: start delay; header: scene time
    std::string name;      // block: source; header: script, or the chained name
    int flag = 0;          // block: set seen; header: chained
    std::string path;      // path given to the last open

private:
    FilesPort& files_;
    std::unique_ptr<LineReader> lines_;
};

}  // namespace qv
