#include "image/PictureExtensions.h"

#include "text/Utf8Text.h"

namespace qv {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

PictureExtensions PictureExtensions::fromDecoderLists(const std::vector<std::string>& lists) {
    PictureExtensions result;
    for (const auto& list : lists) {
        std::size_t at = 0;
        while (at <= list.size()) {
            std::size_t comma = list.find_first_of(",;", at);
            if (comma == std::string::npos) comma = list.size();
            std::string item = trimmed(list.substr(at, comma - at));
            if (!item.empty() && item.front() == '.') item.erase(0, 1);
            if (!item.empty() && item.find_first_of(".\\/:*?\"<>| ") == std::string::npos)
                result.extensions_.insert("." + lowerPath(item));
            at = comma + 1;
        }
    }
    return result;
}

PictureExtensions PictureExtensions::basic() {
    return fromDecoderLists({".jpg,.jpeg,.jpe,.jfif", ".png", ".gif", ".bmp,.dib,.rle", ".tif,.tiff"});
}

bool PictureExtensions::takes(const std::string& name) const {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return false;
    const char before = name[dot - 1];
    if (before == '\\' || before == '/') return false;
    const std::string extension = name.substr(dot);
    if (extension.find_first_of("\\/") != std::string::npos) return false;
    return extensions_.count(lowerPath(extension)) != 0;
}

std::string PictureExtensions::pattern() const {
    std::string out;
    for (const auto& extension : extensions_) {
        if (!out.empty()) out += ';';
        out += "*" + extension;
    }
    return out;
}

}  // namespace qv
