#pragma once
// A folder port held in memory, for tests: a tree of folders and files with
// their attributes, folders that vanish between being seen and being listed,
// and a log of every folder listed.
#include <map>
#include <string>
#include <vector>

#include "ports/FolderPort.h"

namespace qv {

class FakeFolders : public FolderPort {
public:
    enum Flags : unsigned { Plain = 0, Hidden = 1, System = 2, Link = 4 };

    // A file or a folder at a full path ("C:\Photos\2020\a.jpg"); the folders
    // above it are made plain as needed.
    void addFile(const std::string& path, unsigned flags = Plain) { add(path, false, flags); }
    void addFolder(const std::string& path, unsigned flags = Plain) { add(path, true, flags); }
    // Seen by its parent's listing, but gone when listed itself.
    void vanish(const std::string& folder) { vanished_.push_back(withSlash(folder)); }

    bool list(const std::string& folder, std::vector<FolderEntry>& entries) override {
        entries.clear();
        const std::string key = withSlash(folder);
        listed.push_back(key);
        for (const auto& gone : vanished_)
            if (gone == key) return false;
        const auto found = folders_.find(key);
        if (found == folders_.end()) return false;
        entries = found->second;
        return true;
    }

    std::vector<std::string> listed;  // every folder asked for, in order

private:
    static std::string withSlash(std::string path) {
        if (path.empty() || path.back() != '\\') path += '\\';
        return path;
    }

    void add(const std::string& path, bool folder, unsigned flags) {
        const auto slash = path.find_last_of('\\');
        if (slash == std::string::npos) return;
        const std::string parent = path.substr(0, slash + 1);
        if (parent.size() > 3 && folders_.count(parent) == 0) add(parent.substr(0, parent.size() - 1), true, Plain);
        folders_[parent];
        FolderEntry entry;
        entry.name = path.substr(slash + 1);
        entry.folder = folder;
        entry.hidden = (flags & Hidden) != 0;
        entry.system = (flags & System) != 0;
        entry.link = (flags & Link) != 0;
        auto& siblings = folders_[parent];
        for (auto& sibling : siblings)
            if (sibling.name == entry.name) {
                sibling = entry;
                entry.name.clear();
            }
        if (!entry.name.empty()) siblings.push_back(entry);
        if (folder) folders_[path + '\\'];
    }

    std::map<std::string, std::vector<FolderEntry>> folders_;
    std::vector<std::string> vanished_;
};

}  // namespace qv
