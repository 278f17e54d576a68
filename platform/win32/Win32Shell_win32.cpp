#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

#include "text/AnsiText.h"

namespace qv::win {

std::optional<std::string> applicationDataFolder() {
    std::array<char, MAX_PATH + 1> path{};
    // FALSE: a missing folder is not created; the caller then has none.
    if (!SHGetSpecialFolderPathA(nullptr, path.data(), CSIDL_APPDATA, FALSE)) return std::nullopt;
    path.back() = '\0';
    std::string folder(path.data());
    if (folder.empty()) return std::nullopt;
    return folder;
}

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void adoptAnsiCodePage() {
    const UINT codePage = GetACP();
    setAnsiCodePage(codePage);
    // The system's own lead bytes, for whatever double-byte code page it has.
    CPINFO info{};
    if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1) setAnsiLeadByteRanges(info.LeadByte, MAX_LEADBYTES);
}

}  // namespace qv::win
