#pragma once
// qvtool's subcommands register themselves here, one source file each.
#include <map>
#include <string>

namespace qv::tool {

using CommandFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand

std::map<std::string, CommandFunction>& commands();

struct CommandRegistrar {
    CommandRegistrar(const char* name, CommandFunction function) { commands()[name] = function; }
};

}  // namespace qv::tool
