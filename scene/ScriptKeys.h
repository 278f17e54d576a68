#pragma once
// The keys of scene headers and of layer blocks, one row each: the show's
// reader and the script checker both take their keys from here, so a new key
// is one row and the two cannot disagree about what a line means.
#include <array>
#include <string_view>

#include "scene/ScriptValues.h"

namespace qv {

// How a key's value is read and where it goes.
enum class KeyRule : unsigned char {
    Ignored,    // known, sets nothing (set in a header)
    Number,     // a number into field (and into end, see KeyRow)
    Degrees,    // degrees into field, as radians
    Width,      // a number, or the logo's width when the source is a logo
    Height,     // a number, or the logo's height when the source is a logo
    Delay,      // block wait: a number into field; before set also layer 2's wait
    Duration,   // time: a number in double precision
    Effect,     // a word: photo, movie, camera or change (anything else photo)
    LayerFile,  // script: the layer file, unless the header has handed over
    Continue,   // hands over to the scene script named
    Random,     // hands over to one of the next lines, taken whole
    Source,     // the picture's name
    Set,        // the block places a layer
    End,        // ends the header or block
};

template <class Values>
struct KeyRow {
    std::string_view key;  // ASCII capitals; lines match it in either case
    KeyRule rule;
    float Values::*field = nullptr;  // the number a number rule sets
    // A start key's end value: set to the same number unless it is unset.
    float Values::*end = nullptr;
};

using HeaderKey = KeyRow<HeaderValues>;
using BlockKey = KeyRow<BlockValues>;

inline constexpr std::array<HeaderKey, 11> kHeaderKeys{{
    {"SET", KeyRule::Ignored},
    {"WAIT", KeyRule::Number, &HeaderValues::sceneTime},
    {"SX", KeyRule::Number, &HeaderValues::sx},
    {"SY", KeyRule::Number, &HeaderValues::sy},
    {"TIME", KeyRule::Duration},
    {"END", KeyRule::End},
    {"EFFECT", KeyRule::Effect},
    {"SCRIPT", KeyRule::LayerFile},
    {"SCENETIME", KeyRule::Number, &HeaderValues::sceneTime},
    {"CONTINUE", KeyRule::Continue},
    {"RANDOM", KeyRule::Random},
}};

inline constexpr std::array<BlockKey, 26> kBlockKeys{{
    {"SET", KeyRule::Set},
    {"SOURCE", KeyRule::Source},
    {"WAIT", KeyRule::Delay, &BlockValues::wait},
    {"LAYER", KeyRule::Number, &BlockValues::layer},
    {"SX", KeyRule::Number, &BlockValues::sx, &BlockValues::ex},
    {"SY", KeyRule::Number, &BlockValues::sy, &BlockValues::ey},
    {"EX", KeyRule::Number, &BlockValues::ex},
    {"EY", KeyRule::Number, &BlockValues::ey},
    {"SWIDTH", KeyRule::Width, &BlockValues::swidth, &BlockValues::ewidth},
    {"SHEIGHT", KeyRule::Height, &BlockValues::sheight, &BlockValues::eheight},
    {"EWIDTH", KeyRule::Width, &BlockValues::ewidth},
    {"EHEIGHT", KeyRule::Height, &BlockValues::eheight},
    {"TIME", KeyRule::Duration},
    {"SALPHA", KeyRule::Number, &BlockValues::salpha, &BlockValues::ealpha},
    {"EALPHA", KeyRule::Number, &BlockValues::ealpha},
    {"SRED", KeyRule::Number, &BlockValues::sred, &BlockValues::ered},
    {"SGREEN", KeyRule::Number, &BlockValues::sgreen, &BlockValues::egreen},
    {"SBLUE", KeyRule::Number, &BlockValues::sblue, &BlockValues::eblue},
    {"ERED", KeyRule::Number, &BlockValues::ered},
    {"EGREEN", KeyRule::Number, &BlockValues::egreen},
    {"EBLUE", KeyRule::Number, &BlockValues::eblue},
    {"SROT", KeyRule::Degrees, &BlockValues::srot, &BlockValues::erot},
    {"EROT", KeyRule::Degrees, &BlockValues::erot},
    {"TAPE", KeyRule::Number, &BlockValues::tape},
    {"STILL", KeyRule::Number, &BlockValues::still},
    {"END", KeyRule::End},
}};

// The row of a key as a line writes it, its letters in either case; null
// when the key means nothing there. The rows' keys are ASCII capitals, so a
// key with any other byte (a double-byte character, say) is none; compared
// in place, as every line of a script comes through here.
template <class Values, std::size_t N>
const KeyRow<Values>* findKey(const std::array<KeyRow<Values>, N>& table, std::string_view key) {
    auto capital = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (const KeyRow<Values>& row : table) {
        if (row.key.size() != key.size()) continue;
        std::size_t same = 0;
        while (same < key.size() && row.key[same] == capital(key[same])) ++same;
        if (same == key.size()) return &row;
    }
    return nullptr;
}

inline const HeaderKey* findHeaderKey(std::string_view key) { return findKey(kHeaderKeys, key); }
inline const BlockKey* findBlockKey(std::string_view key) { return findKey(kBlockKeys, key); }

}  // namespace qv
