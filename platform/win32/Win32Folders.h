#pragma once
// The folder port on the file system (Windows builds only): one folder's
// entries through FindFirstFileExW, paths in UTF-8 at the port and UTF-16
// at the system.
#include "ports/FolderPort.h"

namespace qv::win {

class Win32Folders : public FolderPort {
public:
    bool list(const std::string& folder, std::vector<FolderEntry>& entries) override;
};

}  // namespace qv::win
