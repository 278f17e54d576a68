#include "scene/ScreenLayout.h"

#include <array>

namespace qv {

namespace {

struct LayoutEntry {
    int width;
    int height;
    int code;
};

constexpr std::array<LayoutEntry, 18> kLayouts{{
    {1024, 768, 0},  {768, 1024, 0},  {1280, 768, 1},  {768, 1280, 1},  {1024, 600, 2},
    {1024, 1280, 4}, {1280, 1024, 4}, {800, 600, 5},   {600, 800, 5},   {1600, 1200, 6},
    {1200, 1600, 6}, {1280, 800, 7},  {1920, 1200, 8}, {480, 640, 10},  {1920, 1080, 11},
    {1600, 900, 12}, {720, 480, 13},  {1280, 720, 14},
}};

}  // namespace

int screenLayoutCode(int width, int height) {
    for (const LayoutEntry& entry : kLayouts) {
        if (entry.width == width && entry.height == height) return entry.code;
    }
    switch (width) {
        case 600: case 480: case 768: case 1200: case 720:
            return 3;
        default:
            break;
    }
    // A zero width must not divide; such a size is no landscape screen.
    if (width == 0) return 10;
    return static_cast<double>(height) / width >= 0.75 ? 10 : 9;
}

bool usesWideScripts(int width, int height) {
    if (width <= 0 || height < 0) return false;
    const double r = static_cast<double>(height) / width;
    return (r > 0.5 && r < 0.75) || r > 1.34;
}

}  // namespace qv
