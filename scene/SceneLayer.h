#pragma once
// One animated picture layer: where it starts and ends, how it is coloured,
// how long it waits and moves, and the four corners the device draws.
// Arithmetic is single precision throughout, except the move's duration.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ports/DrawingPort.h"
#include "scene/ScriptValues.h"

namespace qv {

// One colour or alpha channel as a byte: truncated toward zero, then only
// the low 8 bits kept (256 -> 0, -1 -> 255, 300.7 -> 44). Values a float
// can hold beyond the int range wrap the same way (their integer value
// modulo 256, so the UNSET marker gives 0); NaN and infinities give 0.
std::uint8_t channelByte(float value);

// (a << 24) | (r << 16) | (g << 8) | b of the channel bytes.
std::uint32_t packColour(float alpha, float red, float green, float blue);

// A double narrowed to float; beyond the float range it becomes infinite
// (as the hardware does) instead of an undefined conversion.
float narrowToFloat(double value);

class SceneLayer {
public:
    SceneLayer();
    virtual ~SceneLayer() = default;
    SceneLayer(const SceneLayer&) = delete;
    SceneLayer& operator=(const SceneLayer&) = delete;

    // Takes a block's values and places the layer at its start, the
    // scene's offset added to the positions given. An UNSET value continues
    // from where the layer has got to (progress t before this placement) or
    // keeps the old one; a change effect keeps the wait's count and depth.
    void place(const BlockValues& block, int effect, float offsetX, float offsetY);

    // One tick (0.05 s): waits, then moves one step toward the end values.
    // Returns 0 while waiting, else the progress after the step.
    float step();

    // Binds the texture (if any) and draws the corners; 0 when not started.
    long draw(DrawingPort& device);

    // Takes the picture's name and makes a texture from its BMP image; on
    // failure the layer has no texture.
    void loadTexture(DrawingPort& device, const std::string& name, const unsigned char* bytes,
                     std::size_t size);

    float currentRed = 0, currentGreen = 0, currentBlue = 0;
    float remaining = 0;
    float currentAlpha = 0;
    float currentHalfHeight = 0, currentHalfWidth = 0;
    float currentAngle = 0;
    bool constantColour = true;
    bool inUse = false;
    float endAngle = 0, startAngle = 0;
    float startRed = 255, startGreen = 255, startBlue = 255;
    float endRed = 255, endGreen = 255, endBlue = 255;
    float startAlpha = 255, endAlpha = 255;
    float endHalfWidth = 10, endHalfHeight = 10;
    float elapsed = 0;
    double duration = 0;
    float wait = 0;
    std::string sourceName;
    bool started = false;
    std::unique_ptr<DrawingTexture> texture;
    std::array<LayerVertex, 4> corners{};
    float progress = 0;
    float stepSize = 0;  // increase of progress per tick
    float startHalfWidth = 0, startHalfHeight = 10;
    float startX = 0, startY = 0, endX = 0, endY = 0;
    float layerNumber = 0;

private:
    void takeStartValues(const BlockValues& block);
    void takeEndValues(const BlockValues& block);
    void updateConstantColour();
    void writeCorners(float x, float y, float halfWidth, float halfHeight, std::uint32_t colour,
                      float vTop, float vBottom);
};

}  // namespace qv
