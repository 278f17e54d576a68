#pragma once
// Canvas images: a user's picture scaled to the screen's proportion and
// centred on the variant's backdrop, held as a complete 24-bit bottom-up BMP
// file from which the show makes its textures.
#include <cstddef>
#include <string>

#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "image/ConvertSize.h"
#include "variant/Variant.h"

namespace qv {

// The canvas of a prepared picture on a screen of the given size.
// Variants B and C: trunc(0.64 x the screen), capped at 1248 x 936
// (1560 x 936 when 0.5 < height / width < 0.75); a portrait or square screen
// gets 1248 x 936. Variant A: 640 x 480, or 800 x 480 when 0.5 < r < 0.75.
PixelSize canvasSize(const Variant& variant, int screenWidth, int screenHeight);

// The size a w x h picture is scaled to on the canvas. A picture at least as
// tall (h / w) as the threshold fills the canvas height, a flatter one its
// width; the threshold is 1 with trimming 1 ("Enlarge") and 0.75 with 0.
// Zero sides for an empty picture.
PixelSize fitInCanvas(int w, int h, PixelSize canvas, int trimming);

class CanvasMaker {
public:
    // The screen size gives the canvas size; trimming the fit.
    CanvasMaker(const Variant& variant, FilesPort& files, DecoderPort& decoder, int screenWidth,
                int screenHeight, int trimming);
    CanvasMaker(const CanvasMaker&) = delete;
    CanvasMaker& operator=(const CanvasMaker&) = delete;

    PixelSize size() const { return canvas_; }

    // Writes the canvas image of the picture at path into out and returns
    // its size in bytes; 0 (nothing written) when the path is neither BMP nor
    // JPEG, a JPEG cannot be read, decoded or scaled, or the image would not
    // fit in capacity bytes. A BMP that cannot be decoded gives the bare
    // backdrop. A missing backdrop leaves the canvas black.
    std::size_t makeCanvasImage(const std::string& path, unsigned char* out, std::size_t capacity);
    // The same for a picture already in memory, as makeCanvasImage makes
    // it from a BMP file holding that picture (a converted bitmap): an
    // empty or malformed picture gives the bare backdrop.
    std::size_t composeCanvasImage(Image picture, unsigned char* out, std::size_t capacity);

private:
    std::size_t compose(Image picture, bool jpeg, unsigned char* out, std::size_t capacity);
    // The backdrop stretched to the canvas, made once and kept.
    const Image& backdrop();

    const Variant& variant_;
    DecoderPort& decoder_;
    FilesPort& files_;
    PixelSize canvas_;
    int trimming_;
    bool backdropMade_ = false;
    Image backdrop_;
};

}  // namespace qv
