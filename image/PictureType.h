#pragma once
// The kind of a picture is told from its path alone, as the settings dialog
// and the conversion both decide it.
#include <string>

namespace qv {

enum class PictureType { Bmp, Jpeg, Unsupported };

// Lower-cases the path, then looks anywhere in it after the first character:
// ".bmp" first, then ".jpg" or ".jpeg". So "C:\a.bmp.old\x.jpg" is a BMP.
PictureType pictureTypeOf(const std::string& path);

}  // namespace qv
