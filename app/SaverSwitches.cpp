#include "app/SaverSwitches.h"

#include <cctype>
#include <limits>

namespace qv {

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The part of an argument after its one optional switch character.
std::size_t optionStart(const std::string& argument) {
    return (!argument.empty() && (argument[0] == '-' || argument[0] == '/')) ? 1 : 0;
}

// A plain decimal number filling the whole text; false for anything else,
// an empty text or a value that does not fit.
bool parseDecimal(const std::string& text, std::uint64_t& value) {
    if (text.empty()) return false;
    std::uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (result > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

}  // namespace

bool matchesOption(const std::string& argument, char option) {
    const std::size_t at = optionStart(argument);
    if (at >= argument.size()) return false;
    return lowerAscii(argument[at]) == lowerAscii(option);
}

RunMode runModeFor(const std::vector<std::string>& arguments) {
    if (arguments.empty() || matchesOption(arguments[0], 'c')) return RunMode::Configure;
    if (matchesOption(arguments[0], 'p')) return RunMode::Preview;
    return RunMode::Show;
}

bool isTestWindowArgument(const std::string& argument) {
    return argument == "/t" || argument == "-t";
}

namespace {

// The number after the option letter in the same argument, after an
// optional ':', or else in the next argument.
std::uint64_t handleAfterOption(const std::vector<std::string>& arguments, char option) {
    if (arguments.empty() || !matchesOption(arguments[0], option)) return 0;
    const std::string& first = arguments[0];
    std::size_t at = optionStart(first) + 1;
    if (at < first.size() && first[at] == ':') ++at;
    std::uint64_t handle = 0;
    if (at < first.size()) return parseDecimal(first.substr(at), handle) ? handle : 0;
    if (arguments.size() >= 2 && parseDecimal(arguments[1], handle)) return handle;
    return 0;
}

}  // namespace

std::uint64_t previewWindowHandle(const std::vector<std::string>& arguments) {
    return handleAfterOption(arguments, 'p');
}

std::uint64_t configurationOwnerHandle(const std::vector<std::string>& arguments) {
    return handleAfterOption(arguments, 'c');
}

}  // namespace qv
