#pragma once
// What a scene header and a layer block say, as the script reader hands it
// on: the scene engine follows a header, a layer takes a block whole.
#include <string>

namespace qv {

// Marks a value that a change block does not give: the largest finite float.
constexpr float kUnset = 3.4028235e38f;
constexpr double kUnsetDouble = 3.4028234663852886e38;
inline bool isUnset(double value) { return value >= kUnsetDouble; }

// Scene effects of a header.
enum SceneEffect { kEffectPhoto = 1, kEffectMovie = 2, kEffectCamera = 3, kEffectChange = 4 };

struct HeaderValues {
    float sceneTime = 0;  // seconds after the script's start when the scene is built
    double time = 0;      // read, but the show has no use for it
    float sx = 0, sy = 0; // offset of every layer the scene places
    int effect = kEffectPhoto;
    // The header hands over to another scene script (continue or random).
    bool chained = false;
    // The layer file the scene applies. A hand-over puts the next script's
    // name here too: the new script's headers apply it until one of them
    // has a script line of its own.
    std::string layerFile;
    std::string nextScript;  // the scene script handed over to, when chained
};

// A layer block; rotations in radians. Start keys also set their end
// value unless the block leaves it unset (a change block).
struct BlockValues {
    bool set = false;     // the block places a layer
    std::string source;   // the picture; kept from block to block
    float layer = 0;
    float wait = 0;       // seconds before the layer starts to move
    double time = 0;      // seconds the move takes
    float sx = 0, sy = 0, ex = 0, ey = 0;
    float swidth = 10, sheight = 10, ewidth = 10, eheight = 10;
    float salpha = 255, ealpha = 255;
    float sred = 255, sgreen = 255, sblue = 255;
    float ered = 255, egreen = 255, eblue = 255;
    float srot = 0, erot = 0;
    float tape = 0, still = -1;
};

}  // namespace qv
