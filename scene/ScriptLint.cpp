#include "scene/ScriptLint.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "scene/PictureChoice.h"
#include "scene/SceneEngine.h"
#include "scene/ScriptPath.h"
#include "scene/ScriptReader.h"
#include "text/Utf8Text.h"

namespace qv {

namespace {

// One line as the reader took it: prepared for its key, or whole as one of
// random's names.
struct LineEvent {
    int number;
    std::string text;
    bool randomName;
    const HeaderKey* headerKey;  // the row of its key in a header, if any
    const BlockKey* blockKey;    // the row of its key in a block, if any
    bool known() const { return headerKey != nullptr || blockKey != nullptr; }
};

class Recorder : public ScriptLineObserver {
public:
    std::vector<LineEvent> events;
    void headerLine(int number, const std::string& prepared, const HeaderKey* key) override {
        events.push_back({number, prepared, false, key, nullptr});
    }
    void blockLine(int number, const std::string& prepared, const BlockKey* key) override {
        events.push_back({number, prepared, false, nullptr, key});
    }
    void randomName(int number, const std::string& name) override {
        events.push_back({number, name, true, nullptr, nullptr});
    }
};

std::string keyOf(const std::string& prepared) { return prepared.substr(0, prepared.find('=')); }

std::string valueOf(const std::string& prepared) {
    const auto eq = prepared.find('=');
    return eq == std::string::npos ? std::string() : prepared.substr(eq + 1);
}

// A random name read the way a header line would be: blanks gone, comment cut.
std::string asHeaderLine(const std::string& raw) {
    std::string out;
    for (char c : raw)
        if (c != ' ' && c != '\t') out.push_back(c);
    return out.substr(0, out.find('#'));
}

// The number of the first line that says anything, 0 when none does.
int firstMeaningful(const std::vector<LineEvent>& events) {
    for (const LineEvent& e : events)
        if (e.randomName || !e.text.empty()) return e.number;
    return 0;
}

// A name in quotes, control bytes escaped so a finding stays one line.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

std::string number(double value) {
    char text[32];
    const int written = std::snprintf(text, sizeof text, "%g", value);
    return written > 0 ? std::string(text) : std::string("?");
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The scene timer cannot wait longer than an int's milliseconds (24.8 days):
// the engine's next scene time saturates there, and a scene due later than
// that is never reached.
bool neverDue(float sceneTime) {
    return !std::isfinite(sceneTime) || static_cast<double>(sceneTime * 1000.0f) > static_cast<double>(INT_MAX);
}

class Lint {
public:
    Lint(const Variant& variant, FilesPort& files) : variant_(variant), files_(files) { collectPictures(); }

    std::vector<LintFinding> run() {
        for (const bool wide : {false, true}) {
            const std::string path = wide ? variant_.wideSceneScript() : variant_.normalSceneScript();
            if (!files_.canOpen(path)) {
                report(path, 0, "the first scene script does not exist: the show does not start on screens that use it");
                continue;
            }
            enqueue(path, variant_.sceneDirectory(wide), "");
        }
        while (!queue_.empty()) {
            const Pending next = queue_.front();
            queue_.pop_front();
            readSceneScript(next);
        }
        findTimelessLoops();
        // By file, keyed once each, then by line.
        std::stable_sort(findings_.begin(), findings_.end(), [](const Keyed& a, const Keyed& b) {
            return a.key != b.key ? a.key < b.key : a.finding.line < b.finding.line;
        });
        std::vector<LintFinding> sorted;
        sorted.reserve(findings_.size());
        for (Keyed& keyed : findings_) sorted.push_back(std::move(keyed.finding));
        return sorted;
    }

private:
    struct Edge {
        std::string target;  // its filePathKey
        std::string from;
        int line;
    };
    struct Script {
        std::string path;
        bool handsOverAtOnce = false;  // chains before any scene takes time
        std::vector<Edge> edges;
    };
    // A scene script to read: its path, the directory its names are taken
    // from, and the name it was handed over by.
    struct Pending {
        std::string path, directory, enteredName;
    };
    // A layer file being read, and how its sources are taken.
    struct LayerFile {
        const std::string& path;
        const std::string& sceneDirectory;
        bool asWritten;     // a movie or camera scene: names as written
        bool placeholders;  // a still_ file: sources name the user's pictures
    };

    // A finding for the file, whichever spelling reached it, is given once.
    void report(const std::string& path, int line, const std::string& text) {
        std::string key = filePathKey(path);
        if (seen_.insert({key, line, text}).second) findings_.push_back({std::move(key), {path, line, text}});
    }

    // The bitmaps the show keeps for layers to take: every .bmp at the top
    // of the data directory whose path holds no STILL after its first
    // character (those are the default stills' business).
    void collectPictures() {
        const std::string dir = variant_.dataDir;
        for (const FoundEntry& entry : files_.find(dir + "*.bmp")) {
            if (entry.directory || entry.name == "." || entry.name == "..") continue;
            const std::string name = upperPath(dir + entry.name);
            const std::size_t still = name.find("STILL");
            if (still != std::string::npos && still > 0) continue;
            pictures_.insert(name);
        }
    }

    // Each scene script is read once, by the first spelling that reaches it:
    // a name that adds a separator or a ".\" reaches the same file.
    void enqueue(const std::string& path, const std::string& directory, const std::string& enteredName) {
        const std::string key = filePathKey(path);
        if (scripts_.count(key)) return;
        scripts_[key].path = path;
        queue_.push_back({path, directory, enteredName});
    }

    // A scene script header by header, as the scene engine goes through it
    // once it has handed over to it.
    void readSceneScript(const Pending& next) {
        const std::string& path = next.path;
        const std::string& directory = next.directory;
        ScriptReader reader(files_);
        Recorder recorder;
        reader.observer = &recorder;
        reader.pickRandom = [](int) { return 0; };
        reader.resetToDefaults();
        reader.header.layerFile = next.enteredName;  // a hand-over leaves the chained name in place
        if (!reader.open(path)) return;
        Script& script = scripts_[filePathKey(path)];
        float due = 0.0f;  // when the last scene so far comes due
        int scriptLine = 0;
        for (;;) {
            recorder.events.clear();
            bool ranIntoEnd = false;
            const bool chained = reader.readSceneHeader(ranIntoEnd);
            const Header header = lookAtHeader(path, recorder.events);
            if (header.scriptLine != 0) scriptLine = header.scriptLine;
            const int first = firstMeaningful(recorder.events);
            if (chained) {
                script.handsOverAtOnce = 0.0 + 0.01 >= static_cast<double>(due);
                followHandOver(next, header);
                // The engine moves on at once: nothing after this header is read.
                recorder.events.clear();
                reader.readSceneHeader(ranIntoEnd);
                const int after = firstMeaningful(recorder.events);
                if (after != 0)
                    report(path, after, "this scene header is never read: the one before it hands over to another scene script");
                return;
            }
            if (ranIntoEnd) {
                if (header.emptyRandomLine != 0)
                    report(path, header.emptyRandomLine, "random is followed by no names: the scene script ends here");
                else if (first != 0)
                    report(path, first,
                           header.keyLines >= kHeaderLineLimit
                               ? "scene header has no end within 3000 lines: the scene script ends here"
                               : "scene header has no end: the scene script ends here");
                return;
            }
            if (neverDue(reader.header.sceneTime)) {
                report(path, header.timeLine != 0 ? header.timeLine : first,
                       "scene time " + number(reader.header.sceneTime) +
                           " s is past the 24.8 days the scene timer can wait: this scene never comes due");
                return;
            }
            due = std::max(due, reader.header.sceneTime);
            if (scriptLine == 0) {
                report(path, first, "scene header names no layer file: no script line comes before it in this scene script");
                continue;
            }
            std::string layerFile = reader.header.layerFile;
            if (!resolveScriptPath(variant_, directory, layerFile)) {
                report(path, scriptLine,
                       "layer file name " + quoted(reader.header.layerFile) +
                           " makes a path longer than 255 bytes: the show skips the scene");
                continue;
            }
            if (!files_.canOpen(layerFile)) {
                report(path, scriptLine, "layer file " + quoted(reader.header.layerFile) + " does not exist");
                continue;
            }
            readLayerFile(layerFile, directory, reader.header.effect);
        }
    }

    struct Header {
        int keyLines = 0;
        int scriptLine = 0;       // the script line that counts (none after a hand-over)
        int timeLine = 0;         // last scenetime or wait line
        int emptyRandomLine = 0;  // a random with no names after it
        bool fromRandom = false;
        std::vector<std::pair<int, std::string>> targets;  // line and name
    };

    // What a header's lines say, and the findings on single lines: unknown
    // keys and a random with more names than it offers.
    Header lookAtHeader(const std::string& path, const std::vector<LineEvent>& events) {
        Header h;
        bool chained = false;
        std::set<std::size_t> extraNames;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const LineEvent& e = events[i];
            if (e.randomName) continue;
            ++h.keyLines;
            const KeyRule rule = e.headerKey != nullptr ? e.headerKey->rule : KeyRule::Ignored;
            if (rule == KeyRule::LayerFile && !chained) {
                h.scriptLine = e.number;
            } else if (e.headerKey != nullptr && e.headerKey->field == &HeaderValues::sceneTime) {
                h.timeLine = e.number;
            } else if (rule == KeyRule::Continue) {
                chained = true;
                h.fromRandom = false;
                h.targets = {{e.number, valueOf(e.text)}};
            } else if (rule == KeyRule::Random) {
                std::vector<std::pair<int, std::string>> names;
                std::size_t j = i + 1;
                for (; j < events.size() && events[j].randomName; ++j) names.push_back({events[j].number, events[j].text});
                if (names.empty()) {
                    h.emptyRandomLine = e.number;
                } else {
                    chained = true;
                    h.fromRandom = true;
                    h.targets = names;
                }
                if (names.size() == static_cast<std::size_t>(kRandomNameLimit)) {
                    // Lines after the tenth name that look like names are
                    // read as header lines, and mean nothing there.
                    for (std::size_t k = j; k < events.size() && !events[k].randomName; ++k) {
                        const LineEvent& more = events[k];
                        if (more.text.empty()) continue;
                        if (more.known() || more.text.find('=') != std::string::npos) break;
                        if (extraNames.empty())
                            report(path, e.number,
                                   "random offers only its first 10 names: " + quoted(more.text) + " on line " +
                                       std::to_string(more.number) + " is read as a header line");
                        extraNames.insert(k);
                    }
                }
            }
            if (!e.known() && !e.text.empty() && !extraNames.count(i))
                report(path, e.number, "unknown key " + quoted(keyOf(e.text)) + " in a scene header: the show ignores this line");
        }
        return h;
    }

    void followHandOver(const Pending& from, const Header& header) {
        const std::string& path = from.path;
        const std::string& directory = from.directory;
        for (const auto& [line, name] : header.targets) {
            std::string target = name;
            if (!resolveScriptPath(variant_, directory, target)) {
                report(path, line,
                       "scene script name " + quoted(name) + " makes a path longer than 255 bytes: the show stops here");
                continue;
            }
            if (!files_.canOpen(target)) {
                const std::string asLine = asHeaderLine(name);
                if (header.fromRandom && !asLine.empty() && findHeaderKey(keyOf(asLine)) != nullptr)
                    report(path, line,
                           "random takes the next 10 lines whole: " + quoted(name) +
                               " is taken as a scene script name, and no such file exists");
                else
                    report(path, line, "scene script " + quoted(name) + " does not exist: the show stops here");
                continue;
            }
            scripts_[filePathKey(path)].edges.push_back({filePathKey(target), path, line});
            enqueue(target, directoryOf(target), name);
        }
    }

    // A layer file block by block, as buildScene applies it with the
    // header's effect; each file is read once per way of reading it.
    void readLayerFile(const std::string& path, const std::string& sceneDirectory, int effect) {
        const bool change = effect == kEffectChange;
        const bool asWritten = effect == kEffectMovie || effect == kEffectCamera;
        const int way = change ? 2 : asWritten ? 1 : 0;
        if (!layerFiles_.insert({filePathKey(path), filePathKey(sceneDirectory), way}).second) return;
        ScriptReader blocks(files_);
        Recorder recorder;
        blocks.observer = &recorder;
        if (!blocks.open(path)) return;
        const bool placeholders = path.find("still_", 1) != std::string::npos;
        int sourceLine = 0;  // the source carries over from block to block
        float layer2Wait = 0.0f;
        bool ranIntoEnd = false;
        int count = 0;
        for (; count < kLayerCount; ++count) {
            if (change)
                blocks.resetToUnset();
            else
                blocks.resetToDefaults();
            recorder.events.clear();
            const bool isSet = blocks.readLayerBlock(layer2Wait, ranIntoEnd);
            int setLine = 0, layerLine = 0, keyLines = 0;
            for (const LineEvent& e : recorder.events) {
                ++keyLines;
                if (e.blockKey != nullptr && e.blockKey->rule == KeyRule::Set) setLine = e.number;
                if (e.blockKey != nullptr && e.blockKey->field == &BlockValues::layer) layerLine = e.number;
                if (e.blockKey != nullptr && e.blockKey->rule == KeyRule::Source) sourceLine = e.number;
                if (!e.known() && !e.text.empty())
                    report(path, e.number, "unknown key " + quoted(keyOf(e.text)) + " in a layer block: the show ignores this line");
            }
            const int first = firstMeaningful(recorder.events);
            if (ranIntoEnd && first != 0)
                report(path, first,
                       keyLines >= kBlockLineLimit ? "layer block has no end within 40 lines: the rest of this file is not read"
                                                   : "layer block has no end");
            if (isSet) {
                const float n = blocks.block.layer;
                if (!(n >= 0.0f && n < static_cast<float>(kLayerCount))) {
                    if (layerLine == 0)
                        report(path, setLine, "change block gives no layer: it and the rest of this file are not applied");
                    else
                        report(path, layerLine,
                               "layer " + number(n) + " is outside 0-29: this block and the rest of the file are not applied");
                    return;
                }
                checkSource({path, sceneDirectory, asWritten, placeholders}, blocks.block.source,
                            sourceLine != 0 ? sourceLine : setLine);
            }
            if (ranIntoEnd) return;
        }
        // The engine reads 30 blocks at most.
        recorder.events.clear();
        blocks.resetToDefaults();
        blocks.readLayerBlock(layer2Wait, ranIntoEnd);
        const int after = firstMeaningful(recorder.events);
        if (after != 0) report(path, after, "this block comes after the 30th: from here on nothing of this file is read");
    }

    void checkSource(const LayerFile& file, const std::string& name, int line) {
        const std::string& path = file.path;
        const bool asWritten = file.asWritten;
        std::string source = name;
        if (!asWritten && !source.empty() && !resolveScriptPath(variant_, file.sceneDirectory, source)) {
            report(path, line, "picture name " + quoted(name) + " makes a path longer than 255 bytes: the show skips the layer");
            return;
        }
        const std::string key = upperPath(source);
        if (file.placeholders) {
            if (PictureChoice::placeholderNumber(key) == 0)
                report(path, line,
                       (name.empty() ? std::string("no source") : "source " + quoted(name)) +
                           " names none of the placeholders STILL1.JPG to STILL10.JPG: the layer gets none of the user's pictures");
            return;
        }
        if (source.empty() || pictures_.count(key)) return;
        if (!asWritten && files_.canOpen(source))
            report(path, line,
                   "picture " + quoted(name) +
                       " is not one the show keeps: it keeps the .bmp files at the top of the data directory without STILL in their names");
        else
            report(path, line,
                   "picture " + quoted(name) + " does not exist" +
                       (asWritten ? " (a movie or camera scene takes the name as written)" : ""));
    }

    // A name for messages: the path below the data directory.
    std::string shortName(const std::string& path) const {
        const std::string prefix = upperPath(variant_.dataDir);
        const std::string upper = upperPath(path);
        return upper.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : path;
    }

    // Scene scripts that hand over before any scene comes due, chained in a
    // circle: the engine goes round it without the scene time ever moving.
    void findTimelessLoops() {
        std::map<std::string, int> state;  // 1 on the path, 2 done
        std::vector<std::string> trail;
        std::set<std::pair<std::string, std::string>> closed;  // one finding per closing hand-over
        auto timeless = [&](const std::string& key) {
            const auto it = scripts_.find(key);
            return it != scripts_.end() && it->second.handsOverAtOnce;
        };
        std::function<void(const std::string&)> visit = [&](const std::string& key) {
            state[key] = 1;
            trail.push_back(key);
            for (const Edge& edge : scripts_[key].edges) {
                if (!timeless(edge.target)) continue;
                if (state[edge.target] == 1) {
                    if (!closed.insert({key, edge.target}).second) continue;
                    std::string chain;
                    const auto start = std::find(trail.begin(), trail.end(), edge.target);
                    for (auto it = start; it != trail.end(); ++it) chain += shortName(scripts_[*it].path) + " -> ";
                    chain += shortName(scripts_[edge.target].path);
                    report(edge.from, edge.line, "the chain " + chain + " loops without any scene taking time");
                } else if (state[edge.target] == 0) {
                    visit(edge.target);
                }
            }
            trail.pop_back();
            state[key] = 2;
        };
        for (const auto& [key, script] : scripts_)
            if (script.handsOverAtOnce && state[key] == 0) visit(key);
    }

    const Variant& variant_;
    FilesPort& files_;
    std::set<std::string> pictures_;
    std::map<std::string, Script> scripts_;  // by filePathKey
    std::deque<Pending> queue_;
    std::set<std::tuple<std::string, std::string, int>> layerFiles_;
    struct Keyed {
        std::string key;  // the file's filePathKey, for sorting
        LintFinding finding;
    };
    std::vector<Keyed> findings_;
    std::set<std::tuple<std::string, int, std::string>> seen_;  // key, line, text
};

}  // namespace

std::vector<LintFinding> lintSceneScripts(const Variant& variant, FilesPort& files) {
    return Lint(variant, files).run();
}

}  // namespace qv
