#include "library/FolderListing.h"

#include <algorithm>

namespace qv {

FolderListing listFolder(FolderPort& port, const std::string& folder, const PictureExtensions& extensions,
                         std::size_t largest) {
    FolderListing result;
    std::string root = folder;
    if (root.empty()) return result;
    if (root.back() != '\\') root += '\\';

    // Folders still to list, relative to the root ("" for the root itself);
    // a stack, not recursion: trees can be deep.
    std::vector<std::string> pending{std::string()};
    std::vector<FolderEntry> entries;
    bool first = true;
    while (!pending.empty() && result.pictures.size() < largest) {
        const std::string relative = std::move(pending.back());
        pending.pop_back();
        entries.clear();
        const bool listed = port.list(root + relative, entries);
        if (first) {
            result.reachable = listed;
            first = false;
        }
        if (!listed) continue;
        for (const auto& entry : entries) {
            if (entry.hidden || entry.system || entry.link || entry.name.empty() || entry.name == "." ||
                entry.name == ".." || entry.name.find_first_of("\\/") != std::string::npos)
                continue;
            if (entry.folder) {
                pending.push_back(relative + entry.name + '\\');
            } else if (extensions.takes(entry.name)) {
                result.pictures.push_back(relative + entry.name);
                if (result.pictures.size() >= largest) break;
            }
        }
    }
    std::sort(result.pictures.begin(), result.pictures.end());
    return result;
}

}  // namespace qv
