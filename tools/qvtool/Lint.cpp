// qvtool lint: checks a variant data directory's scene scripts and layer
// files as the show reads them.
//   qvtool lint DIR [--variant A|B|C]
// DIR stands for the variant data directory (names found without regard to
// case). One line per finding, "file:line: error: text" (a file that does
// not exist has no line), in the order of the files and lines; exit code 1
// when there is a finding, 0 when there is none, 2 for a usage error.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/host/HostFiles.h"
#include "scene/ScriptLint.h"
#include "tools/qvtool/Commands.h"
#include "variant/Variant.h"

namespace qv::tool {
namespace {

int usage() {
    complain("usage: qvtool lint DIR [--variant A|B|C]\n");
    return 2;
}

int lintCommand(int argc, char** argv) {
    const Variant* variant = &variantB();
    std::string data;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--variant" && i + 1 < argc) {
            variant = variantArgument(argv[++i]);
            if (!variant) return usage();
        } else if (data.empty() && !arg.empty() && arg[0] != '-') {
            data = arg;
        } else {
            return usage();
        }
    }
    if (data.empty()) return usage();
    std::error_code ec;
    if (!std::filesystem::is_directory(data, ec)) {
        complain("qvtool lint: %s is not a folder\n", data.c_str());
        return 2;
    }

    HostFiles files;
    files.mapFolder(variant->dataDir, data);
    const auto findings = lintSceneScripts(*variant, files);
    for (const LintFinding& finding : findings) {
        std::filesystem::path host;
        const std::string file = files.hostPath(finding.path, host) ? host.string() : finding.path;
        if (finding.line > 0)
            std::printf("%s:%d: error: %s\n", file.c_str(), finding.line, finding.text.c_str());
        else
            std::printf("%s: error: %s\n", file.c_str(), finding.text.c_str());
    }
    return findings.empty() ? 0 : 1;
}

CommandRegistrar reg("lint", &lintCommand);

}  // namespace
}  // namespace qv::tool
