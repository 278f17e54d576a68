#pragma once
// The drawing port: the little the scene engine asks of the graphics device.
// The Direct3D 8 adapter implements it for the show; a recording device
// implements it for tests and the trace tool. Results are the device's
// result codes, passed up unchanged (0 = success).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qv {

// One corner of a layer's rectangle, laid out as the fixed-function pipeline
// reads it: position, normal, diffuse colour, one 2-D texture coordinate set
// (vertex format 0x152). The device reads these bytes as they are, so the
// size and offsets are checked here.
struct LayerVertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 1;
    std::uint32_t colour = 0;  // ARGB, one byte a channel
    float u = 0, v = 0;
};

// XYZ | NORMAL | DIFFUSE | TEX1
constexpr unsigned long kLayerVertexFormat = 0x152;
constexpr unsigned kLayerVertexStride = 36;

static_assert(sizeof(LayerVertex) == 36, "a corner is 36 bytes");
static_assert(offsetof(LayerVertex, x) == 0, "position first");
static_assert(offsetof(LayerVertex, nx) == 12, "normal after position");
static_assert(offsetof(LayerVertex, colour) == 24, "colour after normal");
static_assert(offsetof(LayerVertex, u) == 28, "texture coordinates last");

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
    // image (the picture resampled to it where the device needs another), one
    // level, managed pool, 32 bits a pixel holding the 24-bit colours exactly
    // (nothing to dither), no colour key. Linear filtering and mirror
    // addressing are the renderer's stage states. nullptr on failure.
    virtual std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes,
                                                          std::size_t size) = 0;

    // Binds the texture to stage 0.
    virtual long bindTexture(DrawingTexture& texture) = 0;

    // Draws the four corners as a fan of two triangles (36-byte stride).
    virtual long drawFan(const std::array<LayerVertex, 4>& corners) = 0;
};

}  // namespace qv
