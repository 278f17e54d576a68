// qvtool resolve: the path a name from a script stands for.
//   qvtool resolve [--variant B] [--dir 'C:\x\'] NAME
#include <cstdio>
#include <string>

#include "scene/ScriptPath.h"
#include "tools/qvtool/Commands.h"
#include "variant/Variant.h"

namespace qv::tool {
namespace {

int usage() {
    complain("usage: qvtool resolve [--variant A|B|C] [--dir SCENE_DIRECTORY] NAME\n");
    return 2;
}

int resolveCommand(int argc, char** argv) {
    const Variant* variant = &variantB();
    std::string directory;
    bool haveDirectory = false;
    const char* name = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--variant" && i + 1 < argc) {
            variant = variantArgument(argv[++i]);
            if (!variant) return usage();
        } else if (arg == "--dir" && i + 1 < argc) {
            directory = argv[++i];
            haveDirectory = true;
        } else if (!name && (arg.rfind("--", 0) != 0 || arg.size() == 2)) {
            name = argv[i];
        } else {
            return usage();
        }
    }
    if (!name) return usage();
    // Without --dir, names are resolved as in the first scene script's folder.
    if (!haveDirectory) directory = variant->sceneDirectory(false);
    std::string path = name;
    if (!resolveScriptPath(*variant, directory, path)) {
        complain("refused: the path would be longer than %zu bytes or the directory longer than %zu\n",
                 kMaxResolvedName, kMaxSceneDirectory);
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}

CommandRegistrar reg("resolve", &resolveCommand);

}  // namespace
}  // namespace qv::tool
