#pragma once
// The drawing port: the little the scene engine asks of the graphics device.
// The Direct3D 8 adapter implements it for the show; a recording device
// implements it for tests and the trace tool. Results are the device's
// result codes, passed up unchanged (0 = success).
#include <array>
#include <cstddef>
#include <memory>

#include "scene/LayerVertex.h"

namespace qv {

// A 4 x 4 matrix in the device's layout: m[row][column], row vectors
// (a point p is transformed as p * M, translation in the last row).
struct Matrix4 {
    std::array<std::array<float, 4>, 4> m{};

    static Matrix4 identity() {
        Matrix4 r;
        for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
        return r;
    }
};

enum class TransformKind { World, View, Projection };

// A texture made by the device. Destroying it releases it.
class DrawingTexture {
public:
    virtual ~DrawingTexture() = default;
};

class DrawingPort {
public:
    virtual ~DrawingPort() = default;

    virtual long setTransform(TransformKind kind, const Matrix4& matrix) = 0;

    // Makes a texture from a complete BMP file image in memory: size from the
    // image (rounded up as the device needs), one level, managed pool, linear
    // filtering with mirror and dither, no colour key. nullptr on failure.
    virtual std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes,
                                                          std::size_t size) = 0;

    // Binds the texture to stage 0.
    virtual long bindTexture(DrawingTexture& texture) = 0;

    // Draws the four corners as a fan of two triangles (36-byte stride).
    virtual long drawFan(const std::array<LayerVertex, 4>& corners) = 0;
};

}  // namespace qv
