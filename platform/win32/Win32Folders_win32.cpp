#include "platform/win32/Win32Folders.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

// The search pattern of a folder. Paths past MAX_PATH take the \\?\ form,
// which the system passes on without parsing (so only backslashes).
std::wstring patternOf(std::wstring folder) {
    for (auto& c : folder)
        if (c == L'/') c = L'\\';
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    folder += L'*';
    if (folder.size() < MAX_PATH || folder.rfind(L"\\\\?\\", 0) == 0) return folder;
    if (folder.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + folder.substr(2);
    if (folder.size() > 2 && folder[1] == L':') return L"\\\\?\\" + folder;
    return folder;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool Win32Folders::list(const std::string& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const auto wide = toWide(folder);
    if (!wide || wide->empty()) return false;
    const std::wstring pattern = patternOf(*wide);

    WIN32_FIND_DATAW data{};
    // The basic form skips the short 8.3 names; the large fetch asks the
    // file system for bigger batches. Systems without them get the plain call.
    HANDLE first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        first = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) {
        // An empty drive root has no "." entry: there, nothing found is empty.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    FindHandle search(first);
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        // A name with a lone surrogate has no UTF-8 form: no path of ours
        // could reach it, so it is left out.
        auto utf8 = fromWide(name);
        if (!utf8) continue;
        const DWORD attributes = data.dwFileAttributes;
        FolderEntry entry;
        entry.name = std::move(*utf8);
        entry.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A folder that leads anywhere else is never entered; a file is
            // passed over only as a link (a cloud file's placeholder, also a
            // reparse point, is the user's own picture).
            const DWORD tag = data.dwReserved0;
            entry.link = entry.folder || tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        // Cut off halfway (a share gone): a part would read as pictures removed.
        entries.clear();
        return false;
    }
    return true;
}

}  // namespace qv::win
