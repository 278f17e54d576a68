#pragma once
// One corner of a layer's rectangle, laid out as the fixed-function pipeline
// reads it: position, normal, diffuse colour, one 2-D texture coordinate set
// (vertex format 0x152). The device reads these bytes as they are, so the
// size and offsets are checked here.
#include <cstddef>
#include <cstdint>

namespace qv {

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

}  // namespace qv
