// qvtool: reads scene scripts and layer files as the screen savers do.
#include <cstdio>
#include <string>

#include "tools/qvtool/Commands.h"

namespace qv::tool {
std::map<std::string, CommandFunction>& commands() {
    static std::map<std::string, CommandFunction> table;
    return table;
}
}  // namespace qv::tool

int main(int argc, char** argv) {
    auto& table = qv::tool::commands();
    if (argc >= 2) {
        auto it = table.find(argv[1]);
        if (it != table.end()) return it->second(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "usage: qvtool COMMAND [options]\ncommands:");
    for (const auto& entry : table) std::fprintf(stderr, " %s", entry.first.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}
