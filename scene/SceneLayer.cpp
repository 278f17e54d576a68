#include "scene/SceneLayer.h"

#include <cmath>
#include <limits>

namespace qv {

namespace {

constexpr float kTick = 0.05f;

// Texture rows: a placed layer shows the whole picture; a moving one leaves
// out the top 3.4 % and the bottom 3 %.
constexpr float kPlacedTop = 0.0f, kPlacedBottom = 1.0f;
constexpr float kSteppedTop = 0.034f, kSteppedBottom = 0.97f;

float blend(float s, float from, float t, float to) { return s * from + t * to; }

}  // namespace

std::uint8_t channelByte(float value) {
    if (!std::isfinite(value)) return 0;
    // fmod is exact, so this is the truncated value modulo 256 without ever
    // converting an out-of-range float to an integer.
    double wrapped = std::fmod(std::trunc(static_cast<double>(value)), 256.0);
    if (wrapped < 0) wrapped += 256.0;
    return static_cast<std::uint8_t>(static_cast<int>(wrapped));
}

std::uint32_t packColour(float alpha, float red, float green, float blue) {
    return (static_cast<std::uint32_t>(channelByte(alpha)) << 24) |
           (static_cast<std::uint32_t>(channelByte(red)) << 16) |
           (static_cast<std::uint32_t>(channelByte(green)) << 8) |
           static_cast<std::uint32_t>(channelByte(blue));
}

float narrowToFloat(double value) {
    if (value > static_cast<double>(std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(std::numeric_limits<float>::max()))
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

SceneLayer::SceneLayer() = default;

void SceneLayer::updateConstantColour() {
    constantColour = startRed == endRed && startGreen == endGreen && startBlue == endBlue;
}

void SceneLayer::takeStartValues(const BlockValues& block) {
    const float t = progress;
    const float s = 1.0f - t;
    startAlpha = isUnset(block.salpha) ? blend(s, startAlpha, t, endAlpha) : block.salpha;
    if (!isUnset(block.wait)) wait = block.wait;
    if (!isUnset(block.time)) duration = block.time;
    startRed = isUnset(block.sred) ? blend(s, startRed, t, endRed) : block.sred;
    startGreen = isUnset(block.sgreen) ? blend(s, startGreen, t, endGreen) : block.sgreen;
    startBlue = isUnset(block.sblue) ? blend(s, startBlue, t, endBlue) : block.sblue;
    startAngle = isUnset(block.srot) ? blend(s, startAngle, t, endAngle) : block.srot;
}

void SceneLayer::takeEndValues(const BlockValues& block) {
    if (!isUnset(block.ered)) endRed = block.ered;
    if (!isUnset(block.egreen)) endGreen = block.egreen;
    if (!isUnset(block.eblue)) endBlue = block.eblue;
    if (!isUnset(block.erot)) endAngle = block.erot;
    if (!isUnset(block.ealpha)) endAlpha = block.ealpha;
    if (!isUnset(block.eheight)) endHalfHeight = block.eheight / 2.0f;
    if (!isUnset(block.ewidth)) endHalfWidth = block.ewidth / 2.0f;
}

void SceneLayer::place(const BlockValues& block, int effect, float offsetX, float offsetY) {
    takeStartValues(block);
    takeEndValues(block);
    updateConstantColour();
    // The duration the layer has now: the block's time, or in a change
    // block without time the one it moved with before. A step beyond the
    // float range reads as unset and keeps the old one.
    const float step = duration != 0.0 ? narrowToFloat(1.0 / (20.0 * duration)) : 0.0f;
    if (!isUnset(step)) stepSize = step;
    startX = isUnset(block.sx) ? (corners[0].x + corners[2].x) / 2.0f : block.sx + offsetX;
    startY = isUnset(block.sy) ? (corners[0].y + corners[2].y) / 2.0f : block.sy + offsetY;
    if (!isUnset(block.ex)) endX = block.ex + offsetX;
    if (!isUnset(block.ey)) endY = block.ey + offsetY;
    const float t = progress;
    const float s = 1.0f - t;
    startHalfHeight = isUnset(block.sheight) ? blend(s, startHalfHeight, t, endHalfHeight)
                                                  : block.sheight / 2.0f;
    startHalfWidth = isUnset(block.swidth) ? blend(s, startHalfWidth, t, endHalfWidth)
                                                : block.swidth / 2.0f;
    progress = 0.0f;
    if (effect != kEffectChange) {
        // A change block keeps counting the wait from the first placement
        // and keeps the layer's depth.
        elapsed = 0.0f;
        layerNumber = block.layer;
    }
    writeCorners(startX, startY, startHalfWidth, startHalfHeight,
                 packColour(startAlpha, startRed, startGreen, startBlue), kPlacedTop,
                 kPlacedBottom);
}

float SceneLayer::step() {
    if (elapsed < wait) {
        elapsed += kTick;
        return 0.0f;
    }
    started = true;
    if (progress <= 1.0f) {
        const float t = progress;
        const float s = 1.0f - t;
        remaining = s;
        const float x = blend(s, startX, t, endX);
        const float y = blend(s, startY, t, endY);
        if (constantColour) {
            currentRed = startRed;
            currentGreen = startGreen;
            currentBlue = startBlue;
        } else {
            currentRed = blend(s, startRed, t, endRed);
            currentGreen = blend(s, startGreen, t, endGreen);
            currentBlue = blend(s, startBlue, t, endBlue);
        }
        currentAlpha = blend(s, startAlpha, t, endAlpha);
        currentHalfHeight = blend(s, startHalfHeight, t, endHalfHeight);
        currentHalfWidth = blend(s, startHalfWidth, t, endHalfWidth);
        writeCorners(x, y, currentHalfWidth, currentHalfHeight,
                     packColour(currentAlpha, currentRed, currentGreen, currentBlue),
                     kSteppedTop, kSteppedBottom);
        if (startAngle != 0.0f || endAngle != 0.0f) {
            currentAngle = t * endAngle + s * startAngle;
            const float c = std::cos(currentAngle);
            const float sn = std::sin(currentAngle);
            for (LayerVertex& corner : corners) {
                const float dx = corner.x - x;
                const float dy = corner.y - y;
                corner.x = x + dx * c - dy * sn;
                corner.y = y + dy * c + dx * sn;
            }
        }
        progress += stepSize;
        if (progress >= 1.0f) progress = 1.0f;
    }
    return progress;
}

long SceneLayer::draw(DrawingPort& device) {
    if (!started) return 0;
    long result = 0;
    // Without a texture nothing is bound: the previous layer's stays in effect.
    if (texture) result = device.bindTexture(*texture);
    // Blending weighs each pixel by the texture's alpha times the corners':
    // corners wholly transparent leave every pixel as it was, so the quad is
    // not filled at all (filling is most of a frame's cost on a software
    // rasterizer). The texture stays bound, as a later layer without one
    // draws with it.
    bool transparent = true;
    for (const LayerVertex& corner : corners) transparent = transparent && (corner.colour >> 24) == 0;
    if (!transparent) device.drawFan(corners);
    return result;
}

void SceneLayer::loadTexture(DrawingPort& device, const std::string& name,
                             const unsigned char* bytes, std::size_t size) {
    sourceName = name;
    texture.reset();
    if (bytes == nullptr || size == 0) return;  // nothing to make a texture from
    texture = device.createTexture(bytes, size);
}

void SceneLayer::writeCorners(float x, float y, float halfWidth, float halfHeight,
                              std::uint32_t colour, float vTop, float vBottom) {
    const float z = 14.0f + layerNumber * 0.0625f;
    const float xs[4] = {x + halfWidth, x - halfWidth, x - halfWidth, x + halfWidth};
    const float ys[4] = {y + halfHeight, y + halfHeight, y - halfHeight, y - halfHeight};
    const float us[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    const float vs[4] = {vTop, vTop, vBottom, vBottom};
    for (std::size_t i = 0; i < 4; ++i) {
        LayerVertex& corner = corners[i];
        corner.x = xs[i];
        corner.y = ys[i];
        corner.z = z;
        corner.nx = 0.0f;
        corner.ny = 0.0f;
        corner.nz = 1.0f;
        corner.colour = colour;
        corner.u = us[i];
        corner.v = vs[i];
    }
}

}  // namespace qv
