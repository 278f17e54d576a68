#pragma once
// qvtool's subcommands register themselves here, one source file each.
#include <map>
#include <string>

#include "variant/Variant.h"

namespace qv::tool {

using CommandFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand

std::map<std::string, CommandFunction>& commands();

struct CommandRegistrar {
    CommandRegistrar(const char* name, CommandFunction function) { commands()[name] = function; }
};

// The variant a --variant argument names ("A", "B" or "C"); nothing for
// anything else.
inline const Variant* variantArgument(const std::string& text) {
    return text.size() == 1 ? findVariant(text[0]) : nullptr;
}

}  // namespace qv::tool
