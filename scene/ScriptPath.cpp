#include "scene/ScriptPath.h"

#include <vector>

#include "text/AnsiText.h"
#include "text/Utf8Text.h"

namespace qv {

bool resolveScriptPath(const Variant& variant, const std::string& directory, std::string& name) {
    if (directory.size() > kMaxSceneDirectory) return false;
    // The folder is a path already (UTF-8); the rest is the script's own
    // text in the ANSI code page, turned into UTF-8 once it is placed.
    std::string folder;
    std::string rest;
    if (!name.empty() && name[0] == '.') {
        const std::string upper = upperAnsi(name);
        // The extension counts anywhere after the leading dot.
        auto contains = [&](const char* ext) { return findAnsi(upper, ext, 1) != std::string::npos; };
        const std::string afterDot = upper.size() > 2 ? upper.substr(2) : std::string();
        if (contains(".TXT")) {
            folder = directory;
            rest = afterDot;
        } else if (contains(".BMP") || contains(".JPG") || contains(".JPEG")) {
            folder = variant.dataDirMixed;
            rest = afterDot;
        } else {
            rest = upper;
        }
        folder = lowerPath(folder);
        makeLowerAnsi(rest);
    } else if (name.size() < 2 || name[1] != ':') {
        folder = directory;
        rest = name;
    } else {
        rest = name;
    }
    // The limit counts the name as written, so a script is read the same
    // whatever the code page's characters take in UTF-8.
    if (folder.size() + rest.size() > kMaxResolvedName) return false;
    name = folder + ansiToUtf8(rest);
    return true;
}

std::string filePathKey(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    auto flush = [&]() {
        if (current == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (!current.empty() && current != ".") {
            parts.push_back(current);
        }
        current.clear();
    };
    for (const char c : path) {
        if (c == '\\' || c == '/')
            flush();
        else
            current.push_back(c);
    }
    // Windows drops the dots and blanks that end a name: "a.txt. " opens
    // a.txt. A name of nothing else stays as written.
    const auto kept = current.find_last_not_of(". ");
    if (kept != std::string::npos) current.erase(kept + 1);
    flush();
    std::string key;
    for (const std::string& part : parts) {
        if (!key.empty()) key.push_back('\\');
        key += part;
    }
    return upperPath(std::move(key));
}

}  // namespace qv
