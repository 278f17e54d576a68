// Cost of one tick of the scene engine with 29 layers that move, turn and
// change colour, and of drawing them; and proof that neither allocates.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/SceneEngine.h"
#include "variant/Variant.h"

// Every allocation of the process is counted. (GCC takes free() after a
// replaced operator new for a mismatch; here both sides are malloc's.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class NoPictures : public qv::PictureMemory {
public:
    int photoCount() const override { return 0; }
    const std::string& pictureName(int) const override { return none_; }
    qv::PictureImage pictureImage(int) override { return {}; }
    std::size_t cachedCount() const override { return 0; }
    const std::string& cachedName(std::size_t) const override { return none_; }
    qv::PictureImage cachedImage(std::size_t) override { return {}; }
    void composePicture(int) override {}

private:
    std::string none_;
};

// A show whose first scene places layers 1-29, each moving across the
// screen for 10 minutes while it turns and changes colour and alpha.
struct Show {
    qv::MemoryFiles files;
    qv::RecordingDevice device;
    NoPictures memory;
    qv::SceneEngine engine{qv::variantB(), files, device, memory, qv::ScreenFacts{}};

    Show() {
        std::string layers;
        for (int i = 1; i <= 29; ++i) {
            layers += "set\nlayer=" + std::to_string(i) + "\nsx=-" + std::to_string(i) + "\nex=" +
                      std::to_string(2 * i) + "\nsy=3\ney=-3\nsrot=" + std::to_string(i) +
                      "\nerot=" + std::to_string(360 - i) +
                      "\nsred=0\nered=255\nsgreen=40\negreen=90\nsalpha=10\nealpha=250"
                      "\nswidth=30\newidth=60\ntime=600\nend\n";
        }
        files.addFile(std::string(qv::variantB().dataDir) + "normal\\scenescript.txt",
                      "script=.\\all.txt\nend\nscenetime=9999\nend\n");
        files.addFile(std::string(qv::variantB().dataDir) + "normal\\all.txt", layers);
        device.recordDraws(false);
        if (engine.startShow(0) != 0) std::abort();
    }
};

void BM_StepLayers(benchmark::State& state) {
    Show show;
    show.engine.stepLayers();  // every layer started
    const long before = gAllocations.load();
    for (auto _ : state) {
        show.engine.stepLayers();
        benchmark::DoNotOptimize(show.engine.layers()[29].corners[0].x);
    }
    state.counters["allocations"] = static_cast<double>(gAllocations.load() - before);
    state.counters["layers"] = 29;
}
BENCHMARK(BM_StepLayers);

void BM_DrawLayers(benchmark::State& state) {
    Show show;
    show.engine.stepLayers();
    const long before = gAllocations.load();
    for (auto _ : state) {
        show.engine.drawLayers();
        benchmark::ClobberMemory();
    }
    state.counters["allocations"] = static_cast<double>(gAllocations.load() - before);
}
BENCHMARK(BM_DrawLayers);

// 10 minutes of show, stepped and drawn tick by tick: no allocation at all.
bool stepAndDrawAllocateNothing() {
    Show show;
    const long before = gAllocations.load();
    for (int tick = 0; tick < 12000; ++tick) {
        show.engine.stepLayers();
        show.engine.drawLayers();
    }
    const long made = gAllocations.load() - before;
    std::printf("allocations in 12000 ticks of stepLayers + drawLayers (29 layers): %ld\n", made);
    return made == 0 && show.device.drawCount == 12000 * 21;
}

}  // namespace

int main(int argc, char** argv) {
    if (!stepAndDrawAllocateNothing()) {
        std::fprintf(stderr, "step or draw allocated memory (or drew the wrong layers)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
