#include "show/ShowInput.h"

#include <cstdlib>

namespace qv {

bool CursorWake::moved(int x, int y) {
    if (!recorded_) {
        recorded_ = true;
        firstX_ = x;
        firstY_ = y;
        return false;
    }
    const long long dx = static_cast<long long>(x) - firstX_;
    const long long dy = static_cast<long long>(y) - firstY_;
    return std::llabs(dx) > kThreshold || std::llabs(dy) > kThreshold;
}

bool sizeChangeEndsShow(int showWidth, int showHeight, int newWidth, int newHeight, bool keepsSize) {
    if (keepsSize) return false;
    const bool smaller = newWidth < showWidth && newHeight < showHeight;
    const bool larger = newWidth > showWidth && newHeight > showHeight;
    return smaller || larger;
}

}  // namespace qv
