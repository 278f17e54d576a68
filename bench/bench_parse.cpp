// Reading a layer file of 30 blocks, as buildScene does for one scene.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fake/MemoryFiles.h"
#include "scene/ScriptReader.h"

namespace {

std::string layerFile() {
    std::string text = "# thirty layers\r\n";
    for (int i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        text += "set\r\nlayer = " + std::to_string(i % 29 + 1) + "\r\nsource=.\\still" + n +
                ".bmp   # picture\r\nwait=0." + n + "\r\ntime=6\r\nsx=-40.5\r\nex=40.25\r\nsy=" + n +
                "\r\nswidth=120\r\nsheight=90\r\nsalpha=0\r\nealpha=255\r\nsrot=-15\r\nerot=15\r\nend\r\n";
    }
    return text;
}

void BM_ParseThirtyBlockLayerFile(benchmark::State& state) {
    qv::MemoryFiles files;
    const std::string text = layerFile();
    files.addFile("C:\\data\\normal\\layers.txt", text);
    for (auto _ : state) {
        qv::ScriptReader reader(files);
        reader.open("C:\\data\\normal\\layers.txt");
        float layer2Wait = 0;
        int blocks = 0;
        for (int i = 0; i < 30; ++i) {
            reader.resetToDefaults();
            bool ranIntoEnd = false;
            blocks += reader.readLayerBlock(layer2Wait, ranIntoEnd);
            if (ranIntoEnd) break;
        }
        reader.close();
        benchmark::DoNotOptimize(blocks);
        benchmark::DoNotOptimize(reader.block.erot);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseThirtyBlockLayerFile);

}  // namespace

BENCHMARK_MAIN();
