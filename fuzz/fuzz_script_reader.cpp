// Arbitrary bytes as a scene script and as a layer file (normal and change
// blocks), and every name read resolved, as the scene engine would.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/fake/MemoryFiles.h"
#include "scene/ScriptPath.h"
#include "scene/ScriptReader.h"
#include "text/Utf8Text.h"
#include "variant/Variant.h"

namespace {

const qv::Variant& pickVariant(std::uint8_t b) {
    switch (b % 3) {
        case 0: return qv::variantA();
        case 1: return qv::variantB();
        default: return qv::variantC();
    }
}

void resolveAll(const qv::Variant& variant, const std::string& name) {
    static const std::string longDirectory = "C:\\" + std::string(254, 'd') + "\\";  // 259 bytes
    for (const std::string& dir : {variant.sceneDirectory(false), longDirectory, longDirectory + "x"}) {
        std::string path = name;
        if (qv::resolveScriptPath(variant, dir, path)) {
            if (qv::utf16Length(path) > qv::kMaxResolvedName) __builtin_trap();
        } else if (path != name) {
            __builtin_trap();  // a refused name must stay as it was
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const qv::Variant& variant = pickVariant(size ? data[0] : 0);
    qv::MemoryFiles files;
    files.addFile("C:\\s\\script.txt", text);
    files.setReadChunk(size % 7 == 0 ? 0 : size % 7);

    qv::ScriptReader scene(files);
    scene.pickRandom = [&](int count) { return size ? data[size - 1] % count : 0; };
    scene.resetToDefaults();
    scene.open("C:\\s\\script.txt");
    // Every call takes at least one line until the end, so size + 2 calls
    // always reach it; two headers in a row that ran into the end mean it
    // has been reached (or 6000 lines went by, enough for a fuzz run).
    bool endBefore = false;
    for (std::size_t calls = 0; calls < size + 2; ++calls) {
        bool ranIntoEnd = false;
        scene.readSceneHeader(ranIntoEnd);
        resolveAll(variant, scene.header.layerFile);  // holds a chained name too
        if (ranIntoEnd && endBefore) break;
        endBefore = ranIntoEnd;
    }
    scene.close();

    for (bool change : {false, true}) {
        qv::ScriptReader layers(files);
        if (!layers.open("C:\\s\\script.txt")) return 0;
        for (int block = 0; block < 30; ++block) {
            if (change)
                layers.resetToUnset();
            else
                layers.resetToDefaults();
            float layer2Wait = 0;
            bool ranIntoEnd = false;
            const bool set = layers.readLayerBlock(layer2Wait, ranIntoEnd);
            // The engine's own use of the layer number: only 0 to 29 become a record.
            if (set && layers.block.layer >= 0 && layers.block.layer < 30) {
                volatile int record = static_cast<int>(layers.block.layer);
                (void)record;
            }
            if (!layers.block.source.empty()) resolveAll(variant, layers.block.source);
            if (ranIntoEnd) break;
        }
    }
    volatile double n = qv::ScriptReader::readNumber(text, "x");
    (void)n;
    return 0;
}
