#pragma once
// The folder port: what one folder holds, as the file system lists it, with
// the attributes the library's rules need. Paths are UTF-8; a folder's path
// ends with a backslash.
#include <string>
#include <vector>

namespace qv {

struct FolderEntry {
    std::string name;     // without its folder
    bool folder = false;
    bool hidden = false;  // the hidden attribute
    bool system = false;  // the system attribute
    // A junction, a symbolic link or a mount point: it leads elsewhere, maybe
    // back up the tree. A folder that is any other reparse point counts too.
    bool link = false;
};

class FolderPort {
public:
    virtual ~FolderPort() = default;

    // The entries directly in the folder, "." and ".." left out, in no set
    // order. False when the folder cannot be read (gone, no access, a network
    // share away); entries is then empty.
    virtual bool list(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
};

}  // namespace qv
