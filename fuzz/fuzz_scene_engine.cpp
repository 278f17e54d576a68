// Arbitrary bytes as a data directory's scene script and layer files, run
// through the scene engine for a few seconds of show: start, due scenes,
// hand-overs, ticks and drawing must never crash, overrun or hang. The same
// files then go through the script checker, which must give every finding
// as one line of text, whatever the bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/PictureMemory.h"
#include "scene/SceneEngine.h"
#include "scene/ScriptLint.h"
#include "variant/Variant.h"

namespace {

// Two user pictures in ten buffers and one bitmap of the data directory.
class SmallMemory : public qv::PictureMemory {
public:
    explicit SmallMemory(const qv::Variant& variant, int count) : count_(count) {
        image_.assign(64, 0);
        image_[0] = 'B';
        image_[1] = 'M';
        for (int i = 0; i < 10 && count > 0; ++i)
            names_[static_cast<std::size_t>(i)] = "C:\\P\\PHOTO" + std::to_string(i % count + 1) + ".BMP";
        base_ = std::string(variant.dataDirUpper) + "BASE.BMP";
    }
    int photoCount() const override { return count_; }
    const std::string& pictureName(int n) const override {
        return n >= 1 && n <= 10 ? names_[static_cast<std::size_t>(n - 1)] : none_;
    }
    qv::PictureImage pictureImage(int n) override {
        if (n < 1 || n > 10) return {};
        return {image_.data(), names_[static_cast<std::size_t>(n - 1)].empty() ? 0 : image_.size()};
    }
    std::size_t cachedCount() const override { return 1; }
    const std::string& cachedName(std::size_t) const override { return base_; }
    qv::PictureImage cachedImage(std::size_t) override { return {image_.data(), image_.size()}; }
    void composePicture(int) override {}

private:
    int count_;
    std::array<std::string, 10> names_;
    std::string base_, none_;
    std::vector<unsigned char> image_;
};

const qv::Variant& pickVariant(std::uint8_t b) {
    switch (b % 3) {
        case 0: return qv::variantA();
        case 1: return qv::variantB();
        default: return qv::variantC();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const qv::Variant& variant = pickVariant(data[0]);
    const int photos = (data[0] / 3) % 4;  // 0 to 3
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // The parts, split at lines "~~": the scene script, then the layer files
    // a.txt, still_b.txt and c.txt of the normal folder.
    const char* names[] = {"scenescript.txt", "a.txt", "still_b.txt", "c.txt"};
    qv::MemoryFiles files;
    const std::string folder = std::string(variant.dataDir) + "normal\\";
    std::size_t from = 0;
    for (const char* name : names) {
        const std::size_t cut = text.find("\n~~\n", from);
        const std::string part = text.substr(from, cut == std::string::npos ? std::string::npos : cut - from);
        files.addFile(folder + name, part);
        if (cut == std::string::npos) break;
        from = cut + 4;
    }

    for (const qv::LintFinding& finding : qv::lintSceneScripts(variant, files)) {
        if (finding.line < 0) __builtin_trap();
        for (const char c : finding.text)
            if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
    }

    qv::RecordingDevice device;
    device.recordDraws(false);
    SmallMemory memory(variant, photos);
    qv::SceneEngine engine(variant, files, device, memory, qv::ScreenFacts{1024, 768, 1024, 768});
    engine.sceneReader().pickRandom = [&](int count) { return data[size - 1] % count; };
    if (engine.startShow(0) != 0) return 0;

    // Ten seconds of show: ticks, and the scene timer as the show window
    // arms it (at the start, then only for a delay ahead of the clock).
    std::uint64_t ticks = 0;
    std::int64_t now = 0;
    std::int64_t due = engine.nextSceneTime();
    bool armed = true;
    for (int tick = 0; tick < 200; ++tick) {
        now += 50;
        engine.stepLayers();
        engine.drawLayers();
        ++ticks;
        if (armed && due <= now) {
            armed = false;
            double sceneTime = static_cast<float>(ticks) * 0.05f;
            engine.advanceScenes(sceneTime);
            if (sceneTime == 0.0) ticks = 0;
            const std::int64_t delay = static_cast<std::int64_t>(engine.nextSceneTime()) -
                                       static_cast<std::int64_t>(sceneTime * 1000.0);
            if (delay > 0) {
                armed = true;
                due = now + delay;
            }
        }
    }
    for (const qv::SceneLayer& layer : engine.layers())
        if (layer.corners.size() != 4) __builtin_trap();
    return 0;
}
