#pragma once
// The file-name extensions of the pictures the platform's decoders take, as
// the decoders name them (".jpg,.jpeg,.jfif"), compared without regard to
// case. A file is taken for a picture by its extension alone; what will not
// decode is found out when it is decoded.
#include <set>
#include <string>
#include <vector>

namespace qv {

class PictureExtensions {
public:
    // Each item a decoder's list, extensions parted by commas (Windows) or
    // semicolons (Wine: ".jpg;.jpeg;.jfif"); a leading dot
    // is optional, blanks around an item are dropped, an empty item or one
    // holding a path separator, a dot inside or a wildcard is left out.
    static PictureExtensions fromDecoderLists(const std::vector<std::string>& lists);
    // Those every system has: JPEG, PNG, GIF, BMP and TIFF.
    static PictureExtensions basic();

    // True when the name ends in one of the extensions (".JPG" as ".jpg");
    // a name that is only the extension (".jpg") is not a picture.
    bool takes(const std::string& name) const;
    bool empty() const { return extensions_.empty(); }
    // Lower case with their dot, sorted: ".bmp", ".gif", ...
    const std::set<std::string>& all() const { return extensions_; }
    // For an open-file dialog's filter: "*.bmp;*.gif;...".
    std::string pattern() const;

private:
    std::set<std::string> extensions_;
};

}  // namespace qv
