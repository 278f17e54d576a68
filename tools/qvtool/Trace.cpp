// qvtool trace: runs a variant data directory's show on a virtual clock, as
// the show window does, and prints the layer table after every tick.
//   qvtool trace --variant B --data DIR --screen 1024x768 --ticks N
//                [--photos K] [--pick N]
// The variant data directory (every spelling of it) is found in DIR, file
// names without regard to case. --photos K stands for K converted photos
// (0 to 10): picture buffer i is named after photo n, n running 1..K over the
// ten buffers. --pick N makes every `random` take name N (modulo the count;
// default 0), so a trace can be repeated.
//
// The clock: a tick every 50 ms (stepLayers, tick count + 1); the scene timer
// armed at the start with the next scene time, later with next scene time -
// trunc(scene time x 1000) when that is positive, where scene time = tick
// count x 0.05 in single precision. A timer shorter than 10 ms waits 10 ms,
// as window timers do. A timer due at the same millisecond as a tick fires
// after it. Each tick line shows the state at the end of its millisecond.
//
// Output, one JSON object a line:
//   {"start": {"result": R, "nextSceneTime": MS, "sceneDir": "...",
//              "layoutCode": C, "distance": D, "fov": RAD}}
//   {"tick": T, "sceneTime": S, "nextSceneTime": MS, "layers": [...]}
// with an entry for each record 1-29 in use or started:
//   {"i": I, "inUse": B, "started": B, "progress": P, "texture": "NAME",
//    "corners": [[x, y, z, "AARRGGBB", u, v] x 4]}
// "texture" is the name the layer's texture was made from, empty when it has
// none. Numbers print in their shortest exact form; a value that is not
// finite prints as null.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "text/AnsiText.h"
#include "platform/host/HostFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/PictureMemory.h"
#include "scene/SceneEngine.h"
#include "show/SceneClock.h"
#include "scene/ScreenLayout.h"
#include "tools/qvtool/Commands.h"
#include "tools/qvtool/Json.h"
#include "variant/Variant.h"

namespace qv::tool {
namespace {

constexpr std::int64_t kShortestTimer = 10;
constexpr std::size_t kLargestBitmap = std::size_t(64) * 1024 * 1024;

// A 1 x 1 24-bit BMP: what stands in for a prepared photo. The trace only
// needs a texture to be made; which photo it stands for is in its name.
std::vector<unsigned char> placeholderImage() {
    std::vector<unsigned char> bmp(58, 0);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bmp[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, 58);   // file size
    put32(10, 54);  // pixel offset
    put32(14, 40);  // info header size
    put32(18, 1);   // width
    put32(22, 1);   // height
    bmp[26] = 1;    // planes
    bmp[28] = 24;   // bits
    put32(34, 4);   // image size
    return bmp;
}

// The picture memory of a traced show: K photos named as the settings would
// name them, and the bitmaps of the data directory as they are on disk.
class TracePictureMemory : public PictureMemory {
public:
    TracePictureMemory(const Variant& variant, FilesPort& files, int photos)
        : variant_(variant), count_(photos), image_(placeholderImage()) {
        if (photos > 0) {
            const std::string folder = std::string("C:\\USERS\\QV\\APPDATA\\ROAMING\\TARN CORPORATION\\") +
                                       variant.productName + "\\";
            for (int i = 0; i < 10; ++i) {
                const int n = i % photos + 1;
                names_[static_cast<std::size_t>(i)] = upperAnsi(folder + "PHOTO" + std::to_string(n) + ".BMP");
            }
        }
        for (const FoundEntry& entry : files.find(std::string(variant.dataDir) + "*.bmp")) {
            if (entry.directory || entry.name == "." || entry.name == "..") continue;
            const std::string path = upperAnsi(std::string(variant.dataDir) + entry.name);
            if (findAnsi(path, "STILL", 1) != std::string::npos) continue;
            Cached cached{path, {}};
            if (!files.readAll(std::string(variant.dataDir) + entry.name, cached.bytes, kLargestBitmap))
                continue;
            cache_.push_back(std::move(cached));
        }
    }

    int photoCount() const override { return count_; }
    const std::string& pictureName(int n) const override {
        static const std::string none;
        return n >= 1 && n <= 10 ? names_[static_cast<std::size_t>(n - 1)] : none;
    }
    PictureImage pictureImage(int n) override {
        if (n < 1 || n > 10) return {};
        const std::size_t size = variant_.picturesOnDemand
                                     ? sharedSizes_[static_cast<std::size_t>(n - 1)]
                                     : (pictureName(n).empty() ? 0 : image_.size());
        return {image_.data(), size};
    }
    std::size_t cachedCount() const override { return cache_.size(); }
    const std::string& cachedName(std::size_t index) const override { return cache_[index].name; }
    PictureImage cachedImage(std::size_t index) override {
        return {cache_[index].bytes.data(), cache_[index].bytes.size()};
    }
    void composePicture(int n) override {
        if (!variant_.picturesOnDemand || n < 1 || n > 10) return;
        sharedSizes_[static_cast<std::size_t>(n - 1)] = pictureName(n).empty() ? 0 : image_.size();
    }

private:
    struct Cached {
        std::string name;
        std::vector<unsigned char> bytes;
    };
    const Variant& variant_;
    int count_;
    std::array<std::string, 10> names_;
    std::array<std::size_t, 10> sharedSizes_{};
    std::vector<unsigned char> image_;
    std::vector<Cached> cache_;
};

// The shortest decimal that reads back as the same float.
std::string jsonFloat(float value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e9f);
    for (int digits = 1; digits <= 9; ++digits) {
        (void)std::snprintf(buffer, sizeof buffer, "%.*g", digits, static_cast<double>(value));  // at most 15
        // 20 is "20", not "2e+01": exponents only where plain digits won't do.
        if (plain && digits < 9 && std::strchr(buffer, 'e') != nullptr) continue;
        if (std::strtof(buffer, nullptr) == value) break;
    }
    return buffer;
}

const char* jsonBool(bool value) { return value ? "true" : "false"; }

std::string layerJson(int index, const SceneLayer& layer) {
    std::string out = "{\"i\": " + std::to_string(index) + ", \"inUse\": " + jsonBool(layer.inUse) +
                      ", \"started\": " + jsonBool(layer.started) +
                      ", \"progress\": " + jsonFloat(layer.progress) + ", \"texture\": " +
                      jsonString(layer.texture ? layer.sourceName : std::string()) + ", \"corners\": [";
    for (std::size_t c = 0; c < layer.corners.size(); ++c) {
        const LayerVertex& v = layer.corners[c];
        char colour[12];
        (void)std::snprintf(colour, sizeof colour, "\"%08X\"", static_cast<unsigned>(v.colour));  // 10 characters
        out += (c ? ", [" : "[") + jsonFloat(v.x) + ", " + jsonFloat(v.y) + ", " + jsonFloat(v.z) + ", " +
               colour + ", " + jsonFloat(v.u) + ", " + jsonFloat(v.v) + "]";
    }
    return out + "]}";
}

struct Options {
    const Variant* variant = nullptr;
    std::string data;
    int width = 0, height = 0;
    long long ticks = -1;
    int photos = 0;
    int pick = 0;
};

int usage() {
    complain("usage: qvtool trace --variant A|B|C --data DIR --screen WxH --ticks N [--photos K] "
             "[--pick N]\n");
    return 2;
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        char* end = nullptr;
        if (arg == "--variant") {
            o.variant = variantArgument(value);
            if (o.variant == nullptr) return false;
        } else if (arg == "--data") {
            o.data = value;
        } else if (arg == "--screen") {
            const long w = std::strtol(value, &end, 10);
            if (end == value || (*end != 'x' && *end != 'X')) return false;
            const char* rest = end + 1;
            const long h = std::strtol(rest, &end, 10);
            if (end == rest || *end != '\0' || w <= 0 || h <= 0 || w > 100000 || h > 100000) return false;
            o.width = static_cast<int>(w);
            o.height = static_cast<int>(h);
        } else if (arg == "--ticks") {
            o.ticks = std::strtoll(value, &end, 10);
            if (end == value || *end != '\0' || o.ticks < 0) return false;
        } else if (arg == "--photos") {
            const long k = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || k < 0 || k > 10) return false;
            o.photos = static_cast<int>(k);
        } else if (arg == "--pick") {
            const long p = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || p < 0) return false;
            o.pick = static_cast<int>(p);
        } else {
            return false;
        }
    }
    return o.variant != nullptr && !o.data.empty() && o.width > 0 && o.ticks >= 0;
}

// The show window's two timers on a virtual clock.
class VirtualShow {
public:
    explicit VirtualShow(SceneEngine& engine) : engine_(engine) {}

    void start() {
        // The scene timer is started with the next scene time as it stands.
        arm(0, engine_.nextSceneTime());
    }

    // Runs everything due up to and including the next tick's millisecond.
    void nextTick() {
        const std::int64_t tickAt = now_ + SceneClock::kTickMilliseconds;
        while (sceneDue_ >= 0 && sceneDue_ < tickAt) fireScene(sceneDue_);
        clock_.tick();
        ++tickNumber_;
        engine_.stepLayers();
        while (sceneDue_ == tickAt) fireScene(tickAt);
        now_ = tickAt;
    }

    double sceneTime() const { return clock_.sceneTime(); }
    std::uint64_t tickNumber() const { return tickNumber_; }

private:
    void arm(std::int64_t at, std::int64_t delay) {
        sceneDue_ = at + (delay < kShortestTimer ? kShortestTimer : delay);
    }

    void fireScene(std::int64_t at) {
        sceneDue_ = kNotArmed;
        const double before = clock_.sceneTime();
        double time = before;
        engine_.advanceScenes(time);
        if (time != before && time == 0.0) clock_.restart();
        const std::int64_t delay = clock_.delayUntil(engine_.nextSceneTime());
        if (delay > 0) arm(at, delay);
    }

    SceneEngine& engine_;
    std::int64_t now_ = 0;
    SceneClock clock_;              // ticks since the current scene script began
    std::uint64_t tickNumber_ = 0;  // since the show began
    static constexpr std::int64_t kNotArmed = -1;
    std::int64_t sceneDue_ = kNotArmed;  // virtual millisecond the scene timer fires
};

int traceCommand(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) return usage();
    const Variant& variant = *o.variant;

    HostFiles files;
    files.mapFolder(variant.dataDir, o.data);
    TracePictureMemory memory(variant, files, o.photos);
    RecordingDevice device;
    device.recordDraws(false);
    const ScreenFacts screen{o.width, o.height, o.width, o.height};
    SceneEngine engine(variant, files, device, memory, screen);
    const int pick = o.pick;
    engine.sceneReader().pickRandom = [pick](int count) { return pick % count; };

    const int layoutCode = screenLayoutCode(o.width, o.height);
    const long result = engine.startShow(layoutCode);
    std::printf("{\"start\": {\"result\": %ld, \"nextSceneTime\": %d, \"sceneDir\": %s, \"layoutCode\": %d, "
                "\"distance\": %d, \"fov\": %s}}\n",
                result, engine.nextSceneTime(), jsonString(engine.currentSceneDirectory()).c_str(), layoutCode,
                engine.distance(), jsonFloat(engine.fov()).c_str());
    // A show that cannot start closes at once.
    if (result != 0) return 0;

    VirtualShow show(engine);
    show.start();
    for (long long t = 0; t < o.ticks; ++t) {
        show.nextTick();
        std::string line = "{\"tick\": " + std::to_string(show.tickNumber()) +
                           ", \"sceneTime\": " + jsonFloat(static_cast<float>(show.sceneTime())) +
                           ", \"nextSceneTime\": " + std::to_string(engine.nextSceneTime()) + ", \"layers\": [";
        bool first = true;
        for (int i = 1; i < kLayerCount; ++i) {
            const SceneLayer& layer = engine.layers()[static_cast<std::size_t>(i)];
            if (!layer.inUse && !layer.started) continue;
            if (!first) line += ", ";
            first = false;
            line += layerJson(i, layer);
        }
        line += "]}\n";
        (void)std::fputs(line.c_str(), stdout);  // checked once at the end
    }
    return 0;
}

CommandRegistrar reg("trace", &traceCommand);

}  // namespace
}  // namespace qv::tool
