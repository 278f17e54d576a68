#pragma once
// The screen-saver command line: which mode a start asks for. Portable so the
// rules can be tested without Windows; the Windows entry hands in the
// arguments it got.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// True when the argument, after one optional leading "-" or "/", begins with
// the option letter (either case). Only that one character is compared, so
// "/c:1234", "-C", "s", "/S" and "/save" all match their letter; an empty
// argument matches nothing.
bool matchesOption(const std::string& argument, char option);

enum class RunMode {
    Configure,  // no argument, or "c": the settings dialog
    Preview,    // "p": no window of our own
    Show,       // "s", "t" or anything else, an empty argument included
};

// The mode from the arguments after the program name; only the first counts.
RunMode runModeFor(const std::vector<std::string>& arguments);

// Exactly "/t" or "-t" (case matters): the 800 x 600 test window instead of
// the full screen.
bool isTestWindowArgument(const std::string& argument);

// The window handle a preview start names: the number after "p" in the same
// argument ("/p:1234", "/p1234") or in the next one ("/p 1234"). 0 when there
// is none or it is not a plain decimal number that fits.
std::uint64_t previewWindowHandle(const std::vector<std::string>& arguments);

// The same for a configuration start ("/c:1234", "/c 1234"): the window the
// settings dialog belongs to. 0 when none is named.
std::uint64_t configurationOwnerHandle(const std::vector<std::string>& arguments);

}  // namespace qv
