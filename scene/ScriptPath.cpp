#include "scene/ScriptPath.h"

#include "text/AnsiText.h"

namespace qv {

bool resolveScriptPath(const Variant& variant, const std::string& directory, std::string& name) {
    if (directory.size() > kMaxSceneDirectory) return false;
    std::string result;
    if (!name.empty() && name[0] == '.') {
        const std::string upper = upperAnsi(name);
        // The extension counts anywhere after the leading dot.
        auto contains = [&](const char* ext) { return findAnsi(upper, ext, 1) != std::string::npos; };
        const std::string rest = upper.size() > 2 ? upper.substr(2) : std::string();
        if (contains(".TXT"))
            result = directory + rest;
        else if (contains(".BMP") || contains(".JPG") || contains(".JPEG"))
            result = variant.dataDirMixed + rest;
        else
            result = upper;
        makeLowerAnsi(result);
    } else if (name.size() < 2 || name[1] != ':') {
        result = directory + name;
    } else {
        result = name;
    }
    if (result.size() > kMaxResolvedName) return false;
    name = std::move(result);
    return true;
}

}  // namespace qv
