// A folder slot of 100,000 pictures in 1,000 folders: the new listing taken
// into the order (every picture new, then one listing later with a hundred
// changed), and the slot's library file written and read back.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/FolderOrder.h"
#include "library/LibraryFile.h"

namespace {

std::vector<std::string> listing(int renamed) {
    std::vector<std::string> names;
    names.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        const std::string name = "2019\\folder " + std::to_string(i / 100) + "\\IMG_" + std::to_string(20190000 + i);
        names.push_back(name + (i < renamed ? "_edit.jpg" : ".jpg"));
    }
    return names;
}

void BM_OrderTakesAFirstListing(benchmark::State& state) {
    const auto names = listing(0);
    for (auto _ : state) {
        qv::SeededRandom random(1);
        qv::FolderOrder order;
        order.update(names, random);
        benchmark::DoNotOptimize(order.round().data());
    }
}
BENCHMARK(BM_OrderTakesAFirstListing)->Unit(benchmark::kMillisecond);

void BM_OrderTakesALaterListing(benchmark::State& state) {
    const auto before = listing(0), after = listing(100);
    qv::SeededRandom random(1);
    for (auto _ : state) {
        state.PauseTiming();
        qv::FolderOrder order;
        order.update(before, random);
        state.ResumeTiming();
        order.update(after, random);
        benchmark::DoNotOptimize(order.round().data());
    }
}
BENCHMARK(BM_OrderTakesALaterListing)->Unit(benchmark::kMillisecond);

void BM_LibraryFileWrittenAndRead(benchmark::State& state) {
    qv::SeededRandom random(1);
    qv::FolderOrder order;
    order.update(listing(0), random);
    const auto stored = qv::libraryStateOf("D:\\Pictures\\", order);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto file = qv::encodeLibrary(stored);
        qv::LibraryState back;
        benchmark::DoNotOptimize(qv::decodeLibrary(file.data(), file.size(), back));
        bytes = file.size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_LibraryFileWrittenAndRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
