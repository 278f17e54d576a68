#include "image/PictureType.h"

#include "text/Utf8Text.h"

namespace qv {

PictureType pictureTypeOf(const std::string& path) {
    const std::string lower = lowerPath(path);
    // Position 0 does not count: a bare ".bmp" names no file.
    if (lower.find(".bmp", 1) != std::string::npos) return PictureType::Bmp;
    if (lower.find(".jpg", 1) != std::string::npos || lower.find(".jpeg", 1) != std::string::npos)
        return PictureType::Jpeg;
    return PictureType::Unsupported;
}

}  // namespace qv
