#pragma once
// qvtool's subcommands register themselves here, one source file each.
#include <map>
#include <string>

#include "variant/Variant.h"

namespace qv::tool {

using CommandFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand

std::map<std::string, CommandFunction>& commands();

// Registration runs before main: running out of memory there ends the tool
// at once, as nothing could catch it anyway.
struct CommandRegistrar {
    CommandRegistrar(const char* name, CommandFunction function) noexcept { commands()[name] = function; }
};

// A message to the user on stderr; a failed write there has nowhere to be
// reported. What goes to stdout is checked once when the command ends.
void complain(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The variant a --variant argument names ("A", "B" or "C"); nothing for
// anything else.
inline const Variant* variantArgument(const std::string& text) {
    return text.size() == 1 ? findVariant(text[0]) : nullptr;
}

}  // namespace qv::tool
