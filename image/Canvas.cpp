#include "image/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "image/BmpFile.h"
#include "image/JpegPicture.h"
#include "image/PictureType.h"
#include "image/Resampler.h"

namespace qv {

namespace {

constexpr PixelSize kCappedCanvas{1248, 936};
constexpr PixelSize kWideCappedCanvas{1560, 936};

// The screen proportion r = height / width compared in integers, so a 4:3
// screen is exactly 0.75 and not a rounding either side of it.
bool proportionAbove(int w, int h, int num, int den) { return std::int64_t(h) * den > std::int64_t(w) * num; }
bool proportionAtLeast(int w, int h, int num, int den) { return std::int64_t(h) * den >= std::int64_t(w) * num; }
bool wideScreen(int w, int h) { return proportionAbove(w, h, 1, 2) && !proportionAtLeast(w, h, 3, 4); }

bool wellFormed(const Image& image) {
    return !image.empty() && image.bgr.size() == std::size_t(image.width) * std::size_t(image.height) * 3u;
}

// Copies picture onto canvas with its top left corner at (x0, y0); what
// falls outside the canvas is cut off.
void placeOn(Image& canvas, const Image& picture, int x0, int y0) {
    const int left = std::max(0, x0);
    const int right = std::min(canvas.width, x0 + picture.width);
    const int top = std::max(0, y0);
    const int bottom = std::min(canvas.height, y0 + picture.height);
    if (left >= right || top >= bottom) return;
    const std::size_t bytes = std::size_t(right - left) * 3u;
    for (int y = top; y < bottom; ++y)
        std::memcpy(canvas.row(y) + std::size_t(left) * 3u,
                    picture.row(y - y0) + std::size_t(left - x0) * 3u, bytes);
}

}  // namespace

PixelSize canvasSize(const Variant& variant, int screenWidth, int screenHeight) {
    const bool usable = screenWidth > 0 && screenHeight > 0;
    if (variant.canvasRule == CanvasRule::FixedBasis)
        return usable && wideScreen(screenWidth, screenHeight) ? PixelSize{800, 480} : PixelSize{640, 480};

    if (!usable) return kCappedCanvas;
    // trunc(0.64 x side) in integers: exact, with no product landing a hair
    // under a whole number.
    const int w = static_cast<int>(std::int64_t(screenWidth) * 64 / 100);
    const int h = static_cast<int>(std::int64_t(screenHeight) * 64 / 100);
    if (w <= h) return kCappedCanvas;
    if (w > kCappedCanvas.width || h > kCappedCanvas.height)
        return wideScreen(screenWidth, screenHeight) ? kWideCappedCanvas : kCappedCanvas;
    return {w, h};
}

PixelSize fitInCanvas(int w, int h, PixelSize canvas, int trimming) {
    if (w <= 0 || h <= 0) return {};
    // m = h / w against the threshold 1 or 3/4, in integers.
    const bool fillHeight = trimming == 1 ? h >= w : std::int64_t(h) * 4 >= std::int64_t(w) * 3;
    if (fillHeight) return {static_cast<int>(std::int64_t(canvas.height) * w / h), canvas.height};
    return {canvas.width, static_cast<int>(std::int64_t(canvas.width) * h / w)};
}

CanvasMaker::CanvasMaker(const Variant& variant, FilesPort& files, DecoderPort& decoder, int screenWidth,
                         int screenHeight, int trimming)
    : variant_(variant),
      decoder_(decoder),
      files_(files),
      canvas_(canvasSize(variant, screenWidth, screenHeight)),
      trimming_(trimming) {}

const Image& CanvasMaker::backdrop() {
    if (backdropMade_) return backdrop_;
    backdropMade_ = true;
    Image base;
    if (decoder_.decodeBmp(variant_.basePicture, base) == DecodeError::None && wellFormed(base))
        resamplePicture(base, backdrop_, canvas_.width, canvas_.height);
    if (backdrop_.empty()) {
        backdrop_.width = canvas_.width;
        backdrop_.height = canvas_.height;
        backdrop_.bgr.assign(std::size_t(canvas_.width) * std::size_t(canvas_.height) * 3u, 0);
    }
    return backdrop_;
}

std::size_t CanvasMaker::makeCanvasImage(const std::string& path, unsigned char* out, std::size_t capacity) {
    const PictureType type = pictureTypeOf(path);
    if (type == PictureType::Unsupported || out == nullptr) return 0;

    Image picture;
    try {
        if (type == PictureType::Bmp) {
            if (decoder_.decodeBmp(path, picture) != DecodeError::None || !wellFormed(picture))
                picture = Image();  // the bare backdrop
        } else {
            MessageKind ignored;
            if (!loadJpeg(files_, decoder_, path, JpegPurpose::Convert, picture, ignored)) return 0;
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return compose(std::move(picture), type == PictureType::Jpeg, out, capacity);
}

std::size_t CanvasMaker::composeCanvasImage(Image picture, unsigned char* out, std::size_t capacity) {
    if (out == nullptr) return 0;
    if (!wellFormed(picture)) picture = Image();
    return compose(std::move(picture), false, out, capacity);
}

std::size_t CanvasMaker::compose(Image picture, bool jpeg, unsigned char* out, std::size_t capacity) {
    std::vector<unsigned char> file;
    try {
        Image canvas = backdrop();
        if (!picture.empty()) {
            const PixelSize fit = fitInCanvas(picture.width, picture.height, canvas_, trimming_);
            Image scaled;
            // Only a picture of extreme proportions has a side that comes out 0.
            if (!resamplePicture(picture, scaled, fit.width, fit.height)) {
                if (jpeg) return 0;
            } else {
                picture = Image();
                placeOn(canvas, scaled, (canvas_.width - scaled.width) / 2, (canvas_.height - scaled.height) / 2);
            }
        }
        file = encodeBmp24(canvas);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (file.empty() || file.size() > capacity) return 0;
    std::memcpy(out, file.data(), file.size());
    return file.size();
}

}  // namespace qv
