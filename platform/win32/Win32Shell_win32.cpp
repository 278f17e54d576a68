#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

#include "platform/win32/WideText.h"
#include "text/AnsiText.h"
#include "text/Utf8Text.h"

namespace qv::win {

namespace {

std::optional<std::string> specialFolder(int which) {
    std::array<wchar_t, MAX_PATH + 1> path{};
    // FALSE: a missing folder is not created; the caller then has none.
    if (!SHGetSpecialFolderPathW(nullptr, path.data(), which, FALSE)) return std::nullopt;
    path.back() = L'\0';
    auto folder = fromWide(path.data());
    if (!folder || folder->empty()) return std::nullopt;
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
    // Names in scene scripts meet the file system in UTF-8.
    setAnsiDecoder(ansiToUtf8System);
}

}  // namespace qv::win
