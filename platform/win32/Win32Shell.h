#pragma once
// What the show and the settings take from the shell and the display
// (Windows builds only).
#include <optional>
#include <string>

namespace qv::win {

// Folders come in UTF-8; a folder whose name holds a lone surrogate counts
// as none.
// The user's application-data folder (CSIDL_APPDATA), not created when it is
// missing; nothing when the shell cannot give it. No trailing backslash.
std::optional<std::string> applicationDataFolder();

// The user's own Pictures folder (CSIDL_MYPICTURES); nothing when the shell
// has none. No trailing backslash.
std::optional<std::string> userPicturesFolder();

// The primary display's size in pixels (SM_CXSCREEN, SM_CYSCREEN).
int screenWidth();
int screenHeight();

// Tells the core's text functions the system's ANSI code page (GetACP) and
// its lead bytes, so case rules follow a double-byte code page such as 932
// or 936, and how the code page's text becomes UTF-8.
void adoptAnsiCodePage();

}  // namespace qv::win
