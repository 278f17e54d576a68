#include "scene/SceneLayer.h"

#include <cmath>

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

SceneLayer::SceneLayer() = default;

void SceneLayer::updateConstantColour() {
    constantColour = startRed == endRed && startGreen == endGreen && startBlue == endBlue;
}

void SceneLayer::setStartValues(float alpha, float waitValue, double time, float red, float green,
                                float blue, float angle) {
    const float t = progress;
    const float s = 1.0f - t;
    startAlpha = isUnsetValue(alpha) ? blend(s, startAlpha, t, endAlpha) : alpha;
    if (!isUnsetValue(waitValue)) wait = waitValue;
    if (!(time >= 3.4028234663852886e38)) duration = time;
    startRed = isUnsetValue(red) ? blend(s, startRed, t, endRed) : red;
    startGreen = isUnsetValue(green) ? blend(s, startGreen, t, endGreen) : green;
    startBlue = isUnsetValue(blue) ? blend(s, startBlue, t, endBlue) : blue;
    startAngle = isUnsetValue(angle) ? blend(s, startAngle, t, endAngle) : angle;
    updateConstantColour();
}

void SceneLayer::setEndValues(float red, float green, float blue, float angle, float alpha,
                              float width, float height) {
    if (!isUnsetValue(red)) endRed = red;
    if (!isUnsetValue(green)) endGreen = green;
    if (!isUnsetValue(blue)) endBlue = blue;
    if (!isUnsetValue(angle)) endAngle = angle;
    if (!isUnsetValue(alpha)) endAlpha = alpha;
    if (!isUnsetValue(height)) endHalfHeight = height / 2.0f;
    if (!isUnsetValue(width)) endHalfWidth = width / 2.0f;
    updateConstantColour();
}

void SceneLayer::place(float sx, float sy, float ex, float ey, float step, float width,
                       float height, float layer, int effect, float offsetX, float offsetY) {
    startX = isUnsetValue(sx) ? (corners[0].x + corners[2].x) / 2.0f : sx + offsetX;
    startY = isUnsetValue(sy) ? (corners[0].y + corners[2].y) / 2.0f : sy + offsetY;
    if (!isUnsetValue(ex)) endX = ex + offsetX;
    if (!isUnsetValue(ey)) endY = ey + offsetY;
    if (!isUnsetValue(step)) stepSize = step;
    const float t = progress;
    const float s = 1.0f - t;
    startHalfHeight = isUnsetValue(height) ? blend(s, startHalfHeight, t, endHalfHeight)
                                           : height / 2.0f;
    startHalfWidth = isUnsetValue(width) ? blend(s, startHalfWidth, t, endHalfWidth)
                                         : width / 2.0f;
    progress = 0.0f;
    if (effect != 4) {
        // A change block keeps counting the wait from the first placement
        // and keeps the layer's depth.
        elapsed = 0.0f;
        layerNumber = layer;
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
    device.drawFan(corners);
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
