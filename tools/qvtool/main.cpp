// qvtool: reads scene scripts and layer files as the screen savers do.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "tools/qvtool/Commands.h"

namespace qv::tool {
std::map<std::string, CommandFunction>& commands() {
    static std::map<std::string, CommandFunction> table;
    return table;
}

// printf-style, so the compiler checks every format against its arguments.
void complain(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
    va_list args;
    va_start(args, format);
    (void)std::vfprintf(stderr, format, args);
    va_end(args);
}
}  // namespace qv::tool

int main(int argc, char** argv) {
    auto& table = qv::tool::commands();
    if (argc >= 2) {
        auto it = table.find(argv[1]);
        if (it != table.end()) {
            const int result = it->second(argc - 1, argv + 1);
            // A full disk or a closed pipe must not pass for a whole listing.
            if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
                qv::tool::complain("qvtool: writing the output failed\n");
                return 2;
            }
            return result;
        }
    }
    qv::tool::complain("usage: qvtool COMMAND [options]\ncommands:");
    for (const auto& entry : table) qv::tool::complain(" %s", entry.first.c_str());
    qv::tool::complain("\n");
    return 2;
}
