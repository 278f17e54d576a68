#include "image/Orientation.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace qv {

void applyOrientation(Image& image, int orientation) {
    if (orientation < 2 || orientation > 8 || image.empty()) return;
    const int w = image.width;
    const int h = image.height;
    const bool swap = orientation >= 5;
    Image out;
    out.width = swap ? h : w;
    out.height = swap ? w : h;
    out.bgr.resize(image.bgr.size());
    for (int y = 0; y < out.height; ++y) {
        unsigned char* dst = out.row(y);
        for (int x = 0; x < out.width; ++x) {
            // Where the upright pixel (x, y) is stored.
            int sx = x, sy = y;
            switch (orientation) {
                case 2: sx = w - 1 - x; sy = y; break;          // mirrored left to right
                case 3: sx = w - 1 - x; sy = h - 1 - y; break;  // upside down
                case 4: sx = x; sy = h - 1 - y; break;          // mirrored top to bottom
                case 5: sx = y; sy = x; break;                  // transposed
                case 6: sx = y; sy = h - 1 - x; break;          // needs a quarter turn clockwise
                case 7: sx = w - 1 - y; sy = h - 1 - x; break;  // transverse
                case 8: sx = w - 1 - y; sy = x; break;          // needs a quarter turn anticlockwise
                default: break;
            }
            std::memcpy(dst + 3 * std::size_t(x), image.row(sy) + 3 * std::size_t(sx), 3);
        }
    }
    image = std::move(out);
}

}  // namespace qv
