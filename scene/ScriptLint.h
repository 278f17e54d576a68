#pragma once
// Checks a variant data directory's scene scripts and layer files for their
// authors: it reads them with the show's own reader, in the order the show
// reaches them, and reports what the format takes silently although the
// author would want to know (a missing end, a layer outside the table, a
// file that is not there, an unknown key, a name too long, a scene that never
// comes due, a chain that loops without taking time).
#include <string>
#include <vector>

#include "ports/FilesPort.h"
#include "variant/Variant.h"

namespace qv {

struct LintFinding {
    std::string path;  // the file as the show names it (a Windows path)
    int line = 0;      // 1-based; 0 for the file as a whole
    std::string text;
};

// Every scene script reachable from normal\scenescript.txt and
// wide\scenescript.txt, and every layer file they apply. Findings are
// sorted by file and line, each reported once.
std::vector<LintFinding> lintSceneScripts(const Variant& variant, FilesPort& files);

}  // namespace qv
