// Speed and quality of the photo conversion: our resampler against
// stb_image_resize on the same 6000 x 4000 -> 818 x 545 shrink (the slot size
// of a 3:2 photo on a 768-high screen), a JPEG decode of that size, and the
// whole conversion. Quality is the PSNR of each result against an exact area
// average computed in double precision; nearest-pixel stretching (what the
// platform's stretch does) is printed beside it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

#include "platform/fake/MemoryFiles.h"
#include "image/BmpFile.h"
#include "image/JpegDecoder.h"
#include "settings/PhotoImport.h"
#include "image/Resampler.h"
#include "variant/Variant.h"

namespace {

constexpr int kSrcW = 6000, kSrcH = 4000;
constexpr int kDstW = 818, kDstH = 545;

// Photo-like: broad gradients, a few hard edges, fine texture and a little
// noise, so that both smooth areas and detail finer than the output pixels
// are present.
const qv::Image& sourcePicture() {
    static const qv::Image picture = [] {
        qv::Image image;
        image.width = kSrcW;
        image.height = kSrcH;
        image.bgr.resize(std::size_t(kSrcW) * kSrcH * 3);
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> noise(-6, 6);
        for (int y = 0; y < kSrcH; ++y) {
            unsigned char* row = image.row(y);
            for (int x = 0; x < kSrcW; ++x) {
                const double fx = double(x) / kSrcW, fy = double(y) / kSrcH;
                double b = 40 + 150 * fy;                       // sky to ground
                double g = 60 + 120 * fx * (1 - fy);
                double r = 90 + 80 * std::sin(6.0 * fx + 3.0 * fy);
                if ((x / 700 + y / 500) % 5 == 0) { r += 60; g -= 30; }  // blocks with hard edges
                const double texture = 25 * std::sin(x * 0.9) * std::sin(y * 1.3);  // finer than a target pixel
                const double stripes = (x % 13 < 2) ? 30 : 0;
                const int n = noise(random);
                auto clamp = [](double v) { return (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
                row[3 * x] = clamp(b + texture + n);
                row[3 * x + 1] = clamp(g + texture + stripes + n);
                row[3 * x + 2] = clamp(r - texture + n);
            }
        }
        return image;
    }();
    return picture;
}

// Each output pixel: the exact mean of the source area it covers, in doubles.
std::vector<double> exactAreaAverage(const qv::Image& src, int dw, int dh) {
    std::vector<double> out(std::size_t(dw) * dh * 3, 0.0);
    const double sx = double(src.width) / dw, sy = double(src.height) / dh;
    std::vector<double> row(std::size_t(src.width) * 3);
    for (int y = 0; y < dh; ++y) {
        std::fill(row.begin(), row.end(), 0.0);
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (int k = int(std::floor(y0)); k < src.height && k < y1; ++k) {
            const double w = std::min(y1, k + 1.0) - std::max(y0, double(k));
            if (w <= 0) continue;
            const unsigned char* s = src.row(k);
            for (std::size_t j = 0; j < row.size(); ++j) row[j] += w * s[j];
        }
        for (int x = 0; x < dw; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            double acc[3] = {0, 0, 0};
            for (int k = int(std::floor(x0)); k < src.width && k < x1; ++k) {
                const double w = std::min(x1, k + 1.0) - std::max(x0, double(k));
                if (w <= 0) continue;
                for (int c = 0; c < 3; ++c) acc[c] += w * row[3 * std::size_t(k) + c];
            }
            for (int c = 0; c < 3; ++c) out[(std::size_t(y) * dw + x) * 3 + c] = acc[c] / (sx * sy);
        }
    }
    return out;
}

double psnr(const std::vector<double>& exact, const unsigned char* pixels) {
    double sum = 0;
    for (std::size_t i = 0; i < exact.size(); ++i) {
        const double d = exact[i] - pixels[i];
        sum += d * d;
    }
    const double mse = sum / exact.size();
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

void nearestPixel(const qv::Image& src, std::vector<unsigned char>& out, int dw, int dh) {
    out.resize(std::size_t(dw) * dh * 3);
    for (int y = 0; y < dh; ++y) {
        const unsigned char* s = src.row(int((long long)y * src.height / dh));
        for (int x = 0; x < dw; ++x) {
            const int sx = int((long long)x * src.width / dw);
            std::memcpy(&out[(std::size_t(y) * dw + x) * 3], s + 3 * sx, 3);
        }
    }
}

void stbBox(const qv::Image& src, std::vector<unsigned char>& out, int dw, int dh) {
    out.resize(std::size_t(dw) * dh * 3);
    stbir_resize_uint8_generic(src.bgr.data(), src.width, src.height, 0, out.data(), dw, dh, 0, 3,
                               STBIR_ALPHA_CHANNEL_NONE, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_BOX,
                               STBIR_COLORSPACE_LINEAR, nullptr);
}

void stbDefault(const qv::Image& src, std::vector<unsigned char>& out, int dw, int dh) {
    out.resize(std::size_t(dw) * dh * 3);
    stbir_resize_uint8(src.bgr.data(), src.width, src.height, 0, out.data(), dw, dh, 0, 3);
}

void BM_OurResampler(benchmark::State& state) {
    const qv::Image& src = sourcePicture();
    qv::Image out;
    for (auto _ : state) {
        qv::resamplePicture(src, out, kDstW, kDstH);
        benchmark::DoNotOptimize(out.bgr.data());
    }
    state.counters["Mpix/s"] = benchmark::Counter(double(kSrcW) * kSrcH * state.iterations() / 1e6,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OurResampler)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StbResizeBox(benchmark::State& state) {
    const qv::Image& src = sourcePicture();
    std::vector<unsigned char> out;
    for (auto _ : state) {
        stbBox(src, out, kDstW, kDstH);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_StbResizeBox)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StbResizeDefaultFilter(benchmark::State& state) {
    const qv::Image& src = sourcePicture();
    std::vector<unsigned char> out;
    for (auto _ : state) {
        stbDefault(src, out, kDstW, kDstH);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_StbResizeDefaultFilter)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_NearestPixel(benchmark::State& state) {
    const qv::Image& src = sourcePicture();
    std::vector<unsigned char> out;
    for (auto _ : state) {
        nearestPixel(src, out, kDstW, kDstH);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_NearestPixel)->Unit(benchmark::kMillisecond);

// Enlarging (a 640 x 479 picture to 818 x 612): the bilinear path.
void BM_OurResamplerEnlarge(benchmark::State& state) {
    qv::Image small;
    qv::resamplePicture(sourcePicture(), small, 640, 479);
    qv::Image out;
    for (auto _ : state) {
        qv::resamplePicture(small, out, 818, 612);
        benchmark::DoNotOptimize(out.bgr.data());
    }
}
BENCHMARK(BM_OurResamplerEnlarge)->Unit(benchmark::kMillisecond);

// A 6000 x 4000 JPEG of the same picture, made once.
const std::vector<unsigned char>& sourceJpeg() {
    static const std::vector<unsigned char> bytes = [] {
        const qv::Image& src = sourcePicture();
        std::vector<unsigned char> rgb(src.bgr.size());
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            rgb[i] = src.bgr[i + 2];
            rgb[i + 1] = src.bgr[i + 1];
            rgb[i + 2] = src.bgr[i];
        }
        std::vector<unsigned char> out;
        stbi_write_jpg_to_func(
            [](void* context, void* data, int size) {
                auto* v = static_cast<std::vector<unsigned char>*>(context);
                v->insert(v->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
            },
            &out, kSrcW, kSrcH, 3, rgb.data(), 90);
        return out;
    }();
    return bytes;
}

// Stands in for the platform's decoder natively: stb_image, turned into our
// top-down BGR layout.
class StbDecoder : public qv::BmpFileDecoder {
public:
    using BmpFileDecoder::BmpFileDecoder;
    qv::DecodeError decodeJpeg(const unsigned char* data, std::size_t size, const qv::DecodeLimit&,
                               qv::Image& out) override {
        int w = 0, h = 0, n = 0;
        unsigned char* rgb = stbi_load_from_memory(data, int(size), &w, &h, &n, 3);
        if (rgb == nullptr) return qv::DecodeError::Other;
        out.width = w;
        out.height = h;
        out.bgr.resize(std::size_t(w) * h * 3);
        for (std::size_t i = 0; i < out.bgr.size(); i += 3) {
            out.bgr[i] = rgb[i + 2];
            out.bgr[i + 1] = rgb[i + 1];
            out.bgr[i + 2] = rgb[i];
        }
        stbi_image_free(rgb);
        return qv::DecodeError::None;
    }
};

class NoMessages : public qv::MessagePort {
public:
    void restoreArrowCursor() override {}
    int showMessage(qv::MessageKind) override { return qv::kMsgFirstButton; }
};

void BM_DecodeJpeg6000x4000(benchmark::State& state) {
    const auto& jpeg = sourceJpeg();
    qv::MemoryFiles files;
    StbDecoder decoder(files);
    qv::Image out;
    for (auto _ : state) {
        decoder.decodeJpeg(jpeg.data(), jpeg.size(), qv::DecodeLimit{20000, 200000000}, out);
        benchmark::DoNotOptimize(out.bgr.data());
    }
    state.counters["jpeg_MB"] = double(jpeg.size()) / 1e6;
}
BENCHMARK(BM_DecodeJpeg6000x4000)->Unit(benchmark::kMillisecond);

// Our own decoder on the same JPEG, shrunk in its transform by scale (a
// quarter is what a 24-megapixel photo gets for a slot on a 1080-line
// screen). mean_error: the mean difference of a channel from stb's full
// decode averaged over the same scale x scale squares.
void BM_OurJpegDecoder6000x4000(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const auto& jpeg = sourceJpeg();
    qv::Image out;
    for (auto _ : state) {
        if (qv::decodeScaledJpeg(jpeg.data(), jpeg.size(), scale, qv::DecodeLimit{20000, 200000000}, nullptr, out) !=
            qv::JpegDecode::Decoded)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.bgr.data());
    }
    int w = 0, h = 0, n = 0;
    unsigned char* full = stbi_load_from_memory(jpeg.data(), int(jpeg.size()), &w, &h, &n, 3);
    if (!full || out.width != (w + scale - 1) / scale) return;
    double error = 0;
    std::size_t count = 0;
    for (int y = 0; y + scale <= h; y += scale) {
        for (int x = 0; x + scale <= w; x += scale) {
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int j = 0; j < scale; ++j)
                    for (int i = 0; i < scale; ++i) sum += full[(std::size_t(y + j) * w + x + i) * 3 + c];
                error += std::fabs(sum / (scale * scale) - out.row(y / scale)[(x / scale) * 3 + 2 - c]);
                ++count;
            }
        }
    }
    stbi_image_free(full);
    state.counters["mean_error"] = error / double(count);
}
BENCHMARK(BM_OurJpegDecoder6000x4000)->Arg(4)->Arg(8)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole conversion of a slot: read, header, decode, resample, encode, write.
void BM_ConvertPicture6000x4000(benchmark::State& state) {
    qv::MemoryFiles files;
    files.addFile("C:\\p\\big.jpg", sourceJpeg());
    const std::string folder = "C:\\ad\\Tarn Corporation\\QUOR VELK-B Screen Saver\\";
    files.addFolder(folder);
    StbDecoder decoder(files);
    NoMessages messages;
    qv::PhotoImport import(qv::variantB(), files, decoder, messages, 768);
    for (auto _ : state) {
        if (!import.ConvertPicture("C:\\p\\big.jpg", 1, folder, true)) state.SkipWithError("conversion failed");
    }
}
BENCHMARK(BM_ConvertPicture6000x4000)->Unit(benchmark::kMillisecond);

void printQuality() {
    const qv::Image& src = sourcePicture();
    const std::vector<double> exact = exactAreaAverage(src, kDstW, kDstH);
    qv::Image ours;
    qv::resamplePicture(src, ours, kDstW, kDstH);
    std::vector<unsigned char> nearest, box, mitchell;
    nearestPixel(src, nearest, kDstW, kDstH);
    stbBox(src, box, kDstW, kDstH);
    stbDefault(src, mitchell, kDstW, kDstH);
    std::printf("Quality, %dx%d -> %dx%d, PSNR against an exact area average (double):\n", kSrcW, kSrcH, kDstW,
                kDstH);
    std::printf("  ours (area average)        %6.2f dB   (target >= 45)\n", psnr(exact, ours.bgr.data()));
    std::printf("  stb_image_resize, box      %6.2f dB\n", psnr(exact, box.data()));
    std::printf("  stb_image_resize, default  %6.2f dB\n", psnr(exact, mitchell.data()));
    std::printf("  nearest pixel              %6.2f dB\n", psnr(exact, nearest.data()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    printQuality();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
