// qvtool parse: what the screen savers read from a scene script or a layer
// file, one JSON object a line.
//   qvtool parse [--variant B] [--dir 'C:\x\'] [--pick N] --scene FILE
//   qvtool parse [--variant B] [--dir 'C:\x\'] --layer FILE [--change]
// Scene scripts are read header by header as the scene engine reads them
// (values reset to the defaults before the first header only); layer files
// block by block with the values reset before each block, up to 30 blocks.
// `name` is the name as read; `resolved` is that name resolved against --dir
// (null when the name is refused as too long). Unset values print as
// "unset". Control bytes and bytes of 0x7F and above in names print as
// \u00XX escapes, one a byte, so the output is plain ASCII whatever the
// script's code page.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/host/HostFiles.h"
#include "scene/ScriptPath.h"
#include "scene/ScriptReader.h"
#include "text/Utf8Text.h"
#include "tools/qvtool/Commands.h"
#include "tools/qvtool/Json.h"
#include "variant/Variant.h"

namespace qv::tool {
namespace {

constexpr int kMaxBlocks = 30;
const char* const kToolFolder = "Q:\\qvtool\\";

// Numbers round-trip: 9 significant digits for a float, 17 for a double.
std::string jsonNumber(double value, bool isDouble) {
    if (isUnset(value)) return "\"unset\"";
    if (std::isnan(value)) return "\"nan\"";
    if (std::isinf(value)) return "\"-inf\"";
    char buffer[40];
    (void)std::snprintf(buffer, sizeof buffer, isDouble ? "%.17g" : "%.9g", value);  // at most 24 characters
    return buffer;
}

std::string jsonFloat(float value) { return jsonNumber(value, false); }

// A files port that notes when its file has been read to the end, so the
// scene loop stops once the file is exhausted.
class WatchedFiles : public HostFiles {
public:
    bool ended = false;
    std::unique_ptr<ByteStream> openRead(const std::string& path) override {
        auto inner = HostFiles::openRead(path);
        if (!inner) return nullptr;
        return std::make_unique<Watched>(std::move(inner), ended);
    }

private:
    class Watched : public ByteStream {
    public:
        Watched(std::unique_ptr<ByteStream> inner, bool& ended) : inner_(std::move(inner)), ended_(ended) {}
        // A Ctrl-Z ends a text file: the stream ends there too, so the
        // reader asks for more and the end is noticed.
        std::size_t read(void* buffer, std::size_t size) override {
            if (stopped_) {
                ended_ = true;
                return 0;
            }
            std::size_t n = inner_->read(buffer, size);
            const void* ctrlZ = std::memchr(buffer, 0x1A, n);
            if (ctrlZ) {
                n = static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - static_cast<const char*>(buffer));
                stopped_ = true;
            }
            if (n == 0) ended_ = true;
            return n;
        }

    private:
        std::unique_ptr<ByteStream> inner_;
        bool& ended_;
        bool stopped_ = false;
    };
};

struct Options {
    const Variant* variant = &variantB();
    std::string directory;
    bool haveDirectory = false;
    std::string file;
    bool scene = false;
    bool change = false;
    int pick = 0;
};

int usage() {
    complain("usage: qvtool parse [--variant A|B|C] [--dir SCENE_DIRECTORY] [--pick N] --scene FILE\n"
             "       qvtool parse [--variant A|B|C] [--dir SCENE_DIRECTORY] --layer FILE [--change]\n");
    return 2;
}

std::string resolvedJson(const Options& o, const std::string& name) {
    std::string path = name;
    if (!resolveScriptPath(*o.variant, o.directory, path)) return "null";
    return jsonString(path);
}

void parseScene(ScriptReader& reader, const WatchedFiles& files, const Options& o) {
    reader.pickRandom = [&](int count) { return o.pick % count; };
    reader.resetToDefaults();
    // Every call consumes at least one line until the file is exhausted.
    for (;;) {
        bool ranIntoEnd = false;
        const bool chained = reader.readSceneHeader(ranIntoEnd);
        const HeaderValues& h = reader.header;
        // The scene script handed over to, or else the layer file.
        const std::string& name = h.chained ? h.nextScript : h.layerFile;
        std::printf("{\"chained\":%s,\"ranIntoEnd\":%s,\"wait\":%s,\"time\":%s,\"name\":%s,\"resolved\":%s,"
                    "\"effect\":%d,\"sx\":%s,\"sy\":%s}\n",
                    chained ? "true" : "false", ranIntoEnd ? "true" : "false", jsonFloat(h.sceneTime).c_str(),
                    jsonNumber(h.time, true).c_str(), jsonString(ansiToUtf8(name)).c_str(),
                    resolvedJson(o, name).c_str(), h.effect, jsonFloat(h.sx).c_str(), jsonFloat(h.sy).c_str());
        if (files.ended) break;
    }
}

void parseLayers(ScriptReader& reader, const Options& o) {
    for (int block = 0; block < kMaxBlocks; ++block) {
        if (o.change)
            reader.resetToUnset();
        else
            reader.resetToDefaults();
        float layer2Wait = std::nanf("");  // no number read from a script is NaN
        bool ranIntoEnd = false;
        const bool set = reader.readLayerBlock(layer2Wait, ranIntoEnd);
        const std::string layer2 = std::isnan(layer2Wait) ? "null" : jsonFloat(layer2Wait);
        const BlockValues& r = reader.block;
        std::string line = "{\"set\":" + std::string(set ? "true" : "false") +
                           ",\"ranIntoEnd\":" + (ranIntoEnd ? "true" : "false") + ",\"layer\":" + jsonFloat(r.layer) +
                           ",\"name\":" + jsonString(ansiToUtf8(r.source)) +
                           ",\"resolved\":" + (r.source.empty() ? std::string("\"\"") : resolvedJson(o, r.source)) +
                           ",\"wait\":" + jsonFloat(r.wait) + ",\"time\":" + jsonNumber(r.time, true);
        const std::pair<const char*, float> values[] = {
            {"sx", r.sx},           {"sy", r.sy},         {"ex", r.ex},         {"ey", r.ey},
            {"swidth", r.swidth},   {"sheight", r.sheight}, {"ewidth", r.ewidth}, {"eheight", r.eheight},
            {"salpha", r.salpha},   {"ealpha", r.ealpha}, {"sred", r.sred},     {"sgreen", r.sgreen},
            {"sblue", r.sblue},     {"ered", r.ered},     {"egreen", r.egreen}, {"eblue", r.eblue},
            {"srot", r.srot},       {"erot", r.erot}};
        for (const auto& v : values) line += std::string(",\"") + v.first + "\":" + jsonFloat(v.second);
        line += ",\"layer2wait\":" + layer2 + "}";
        std::printf("%s\n", line.c_str());
        // As the scene engine: a layer outside the table ends the file.
        if (set && (r.layer >= 30 || r.layer < 0)) break;
        if (ranIntoEnd) break;
    }
}

int parseCommand(int argc, char** argv) {
    Options o;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--variant" && hasValue) {
            o.variant = variantArgument(argv[++i]);
            if (!o.variant) return usage();
        } else if (arg == "--dir" && hasValue) {
            o.directory = argv[++i];
            o.haveDirectory = true;
        } else if ((arg == "--scene" || arg == "--layer") && hasValue && !haveFile) {
            o.scene = arg == "--scene";
            o.file = argv[++i];
            haveFile = true;
        } else if (arg == "--change") {
            o.change = true;
        } else if (arg == "--pick" && hasValue) {
            // A whole number 0 or more, nothing else: "--pick x" is a slip.
            const char* value = argv[++i];
            char* end = nullptr;
            const long pick = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || pick < 0 || pick > INT_MAX) return usage();
            o.pick = static_cast<int>(pick);
        } else {
            return usage();
        }
    }
    if (!haveFile || (o.scene && o.change)) return usage();
    if (!o.haveDirectory) o.directory = o.variant->sceneDirectory(false);

    // The file's own folder stands in as a Windows folder.
    const std::filesystem::path host(o.file);
    WatchedFiles files;
    const auto folder = host.has_parent_path() ? host.parent_path() : std::filesystem::path(".");
    files.mapFolder(kToolFolder, folder.string());
    ScriptReader reader(files);
    if (!reader.open(kToolFolder + host.filename().string())) {
        complain("qvtool parse: cannot open %s\n", o.file.c_str());
        return 1;
    }
    if (o.scene)
        parseScene(reader, files, o);
    else
        parseLayers(reader, o);
    reader.close();
    return 0;
}

CommandRegistrar reg("parse", &parseCommand);

}  // namespace
}  // namespace qv::tool
