// Cost of preparing the show's pictures: variant B composing all ten canvases
// at show start (1920 x 1200 screen: 1228 x 768 canvases from converted
// 1024 x 768 photos), and variant C composing one 1560 x 936 canvas when a
// layer asks for it (2560 x 1440 screen) -- the pause a layer change costs.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/MemoryRegistry.h"
#include "render/ShowPictureMemory.h"
#include "image/BmpFile.h"
#include "variant/Variant.h"

namespace {

const std::string kAppData = "C:\\users\\me\\AppData\\Roaming";

qv::Image picture(int w, int h, int seed) {
    qv::Image image;
    image.width = w;
    image.height = h;
    image.bgr.resize(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            image.row(y)[x] = static_cast<unsigned char>((x * 7 + y * 3 + seed * 40) & 255);
    return image;
}

// Ten listed photos of w x h with their converted bitmaps in place.
void listPhotos(const qv::Variant& v, qv::MemoryFiles& files, qv::MemoryRegistry& registry, int w, int h) {
    const std::string key = v.settingsKey;
    const std::string folder = kAppData + v.userFolderSuffix;
    files.addFile(v.basePicture, qv::encodeBmp24(picture(640, 480, 0)));
    for (int n = 1; n <= 10; ++n) {
        const std::string name = "photo" + std::to_string(n);
        registry.putString(key, name, folder + name + ".bmp");
        files.addFile(folder + name + ".bmp", qv::encodeBmp24(picture(w, h, n)));
    }
    registry.putDword(key, "photo_num", 10);
}

void BM_PrepareTenCanvasesB(benchmark::State& state) {
    const qv::Variant& v = qv::variantB();
    qv::MemoryFiles files;
    qv::MemoryRegistry registry;
    qv::BmpFileDecoder decoder(files);
    listPhotos(v, files, registry, 1024, 768);
    for (auto _ : state) {
        qv::ShowPictureMemory memory(v);
        memory.preparePictures(files, decoder, registry, kAppData, 1920, 1200);
        benchmark::DoNotOptimize(memory.pictureImage(10).size);
    }
}
BENCHMARK(BM_PrepareTenCanvasesB)->Unit(benchmark::kMillisecond);

void BM_ComposeOnDemandC(benchmark::State& state) {
    const qv::Variant& v = qv::variantC();
    qv::MemoryFiles files;
    qv::MemoryRegistry registry;
    qv::BmpFileDecoder decoder(files);
    listPhotos(v, files, registry, 1248, 936);
    qv::ShowPictureMemory memory(v);
    memory.preparePictures(files, decoder, registry, kAppData, 2560, 1440);
    int n = 1;
    for (auto _ : state) {
        memory.composePicture(n);
        benchmark::DoNotOptimize(memory.pictureImage(n).size);
        n = n % 10 + 1;
    }
}
BENCHMARK(BM_ComposeOnDemandC)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
