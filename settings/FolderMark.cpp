#include "settings/FolderMark.h"

#include <algorithm>
#include <cstddef>

namespace qv {

namespace {

constexpr unsigned char kOutline[3] = {0x20, 0x48, 0x70};  // blue, green, red: dark brown
constexpr unsigned char kFill[3] = {0x40, 0xC8, 0xF0};     // folder yellow
constexpr int kMargin = 2;

}  // namespace

void drawFolderMark(Image& thumbnail) {
    if (thumbnail.empty() ||
        thumbnail.bgr.size() != std::size_t(thumbnail.width) * std::size_t(thumbnail.height) * 3u)
        return;
    const int height = std::max(6, thumbnail.height * 3 / 10);
    const int width = height * 4 / 3;
    if (width + 2 * kMargin > thumbnail.width || height + 2 * kMargin > thumbnail.height) return;
    const int left = kMargin;
    const int top = thumbnail.height - kMargin - height;
    // The tab: the first rows, over the left two fifths; the body below it.
    const int tabHeight = std::max(2, height / 5);
    const int tabWidth = std::max(3, width * 2 / 5);
    const auto inside = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        return y >= tabHeight || x < tabWidth;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            const unsigned char* colour = edge ? kOutline : kFill;
            unsigned char* p = thumbnail.row(top + y) + 3 * std::size_t(left + x);
            p[0] = colour[0];
            p[1] = colour[1];
            p[2] = colour[2];
        }
}

}  // namespace qv
