#pragma once
// The system's folder picker (Windows builds only): the common item dialog
// in its pick-folders mode, for a folder of the file system.
#include <windows.h>

#include <optional>
#include <string>

namespace qv::win {

// Runs the picker modally over owner, opening in initialFolder (empty or a
// folder that cannot be named: wherever the system likes), with title as its
// caption. The picked folder's full path in UTF-8, or nothing when the user
// cancels or the picker cannot be made.
std::optional<std::string> pickFolder(HWND owner, const std::string& initialFolder, const std::string& title);

}  // namespace qv::win
