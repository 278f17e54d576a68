#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

#include "text/AnsiText.h"

namespace qv::win {

namespace {

std::optional<std::string> specialFolder(int which) {
    std::array<char, MAX_PATH + 1> path{};
    // FALSE: a missing folder is not created; the caller then has none.
    if (!SHGetSpecialFolderPathA(nullptr, path.data(), which, FALSE)) return std::nullopt;
    path.back() = '\0';
    std::string folder(path.data());
    if (folder.empty()) return std::nullopt;
    return folder;
}

}  // namespace

std::optional<std::string> applicationDataFolder() { return specialFolder(CSIDL_APPDATA); }

std::optional<std::string> userPicturesFolder() { return specialFolder(CSIDL_MYPICTURES); }

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
