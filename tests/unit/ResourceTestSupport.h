#pragma once
// Reading the resource scripts in the source tree for the resource tests
// (native builds only: they are given the tree through QV_SOURCE_DIR).
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace qv::testing {

// A file of the source tree; empty when QV_SOURCE_DIR is not set.
inline std::string sourceFile(const std::string& relative) {
    const char* root = std::getenv("QV_SOURCE_DIR");
    if (!root) return {};
    std::ifstream in(std::string(root) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The #define numbers between two markers of a header (to the end when
// `to` is empty or missing).
inline std::map<std::string, int> definesBetween(const std::string& text, const std::string& from,
                                                 const std::string& to) {
    const std::size_t a = text.find(from);
    if (a == std::string::npos) return {};
    const std::size_t b = to.empty() ? std::string::npos : text.find(to, a + from.size());
    const std::string part = text.substr(a, b == std::string::npos ? std::string::npos : b - a);
    std::map<std::string, int> numbers;
    const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
    for (std::sregex_iterator it(part.begin(), part.end(), define), stop; it != stop; ++it)
        numbers[(*it)[1]] = std::stoi((*it)[2]);
    return numbers;
}

// One DIALOGEX template of a resource script: its language block and its
// lines from the DIALOGEX line to END.
struct Template {
    std::string language;
    std::string body;
};

inline std::map<std::string, std::vector<Template>> templates(const std::string& rc) {
    std::map<std::string, std::vector<Template>> found;
    std::istringstream in(rc);
    std::string line, language, current;
    Template open;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("LANGUAGE ", 0) == 0) language = line;
        const std::size_t dialog = line.find(" DIALOGEX ");
        if (dialog != std::string::npos) {
            current = line.substr(0, dialog);
            open = Template{language, ""};
        }
        if (!current.empty()) open.body += line + "\n";
        if (!current.empty() && line == "END") {
            found[current].push_back(open);
            current.clear();
        }
    }
    return found;
}

}  // namespace qv::testing
