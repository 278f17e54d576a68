#pragma once
// How a name from a scene script or layer file becomes a path.
#include <string>

#include "variant/Variant.h"

namespace qv {

// Longest resolved name and longest current scene directory, in bytes: the
// directory's own and the name's as written in the script. The UTF-8 path
// that comes out is at most kMaxResolvedName UTF-16 characters, as each
// byte of the code page gives at most one.
constexpr std::size_t kMaxResolvedName = 255;
constexpr std::size_t kMaxSceneDirectory = 259;

// Rewrites name against directory (the current scene directory, ending in a
// backslash): ".\x.txt" goes into directory, ".\x.bmp" / ".jpg" / ".jpeg"
// into the variant data directory (both lower-cased), other names starting
// with '.' are lower-cased, "X:..." stays, anything else goes into directory.
// The name comes in the ANSI code page, as scripts are written, and leaves
// as a path in UTF-8.
// Returns false and leaves name alone when directory is longer than 259
// bytes or the result would be longer than 255: such a name is refused,
// never cut short into some other path.
bool resolveScriptPath(const Variant& variant, const std::string& directory, std::string& name);

// The file a path reaches, as one string for every spelling the file system
// takes as that file: letters upper-cased, '/' as '\', repeated separators
// as one, "." segments dropped, ".." taking the segment before it away
// (never the drive), the dots and blanks that end the last segment dropped.
// "C:\x\\.\y\..\A.txt." and "c:/X/a.TXT" are both "C:\X\A.TXT".
std::string filePathKey(const std::string& path);

}  // namespace qv
