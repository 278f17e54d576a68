#include "image/PictureType.h"

#include "text/AnsiText.h"

namespace qv {

PictureType pictureTypeOf(const std::string& path) {
    const std::string lower = lowerAnsi(path);
    // Position 0 does not count: a bare ".bmp" names no file.
    if (findAnsi(lower, ".bmp", 1) != std::string::npos) return PictureType::Bmp;
    if (findAnsi(lower, ".jpg", 1) != std::string::npos || findAnsi(lower, ".jpeg", 1) != std::string::npos)
        return PictureType::Jpeg;
    return PictureType::Unsupported;
}

}  // namespace qv
