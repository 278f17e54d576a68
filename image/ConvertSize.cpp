#include "image/ConvertSize.h"

namespace qv {

int baseHeight(int screenHeight) { return static_cast<int>(screenHeight * 0.64); }

PixelSize convertedSize(const Variant& variant, int w, int h, int screenHeight) {
    PixelSize size;
    if (w <= 0 || h <= 0) return size;
    const double e = static_cast<double>(h) / static_cast<double>(w);
    if (variant.canvasRule == CanvasRule::FixedBasis) {
        if (e >= 0.75) {
            size.width = static_cast<int>(480.0 / e);
            size.height = 480;
        } else {
            size.width = 800;
            size.height = static_cast<int>(800.0 * e);
        }
        return size;
    }
    const int h0 = baseHeight(screenHeight);
    if (h0 <= 0) return size;
    if (e >= 0.75) {
        size.width = static_cast<int>(h0 / e);
        size.height = h0;
    } else {
        // The height follows the already truncated width.
        size.width = static_cast<int>(h0 * 1.6666666666666667);
        size.height = static_cast<int>(size.width * e);
    }
    return size;
}

}  // namespace qv
