#include "CommandLine.h"

namespace hl {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsSwitch(const std::string& argument, const char* word) {
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) return false;
    std::size_t i = 1;
    for (; word[i - 1] != '\0'; ++i)
        if (i >= argument.size() || AsciiLower(argument[i]) != AsciiLower(word[i - 1])) return false;
    return i == argument.size();
}

Command ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return {CommandKind::Window, {}};
    if (arguments.size() == 1) {
        const std::string& argument = arguments[0];
        if (IsSwitch(argument, "?")) return {CommandKind::Usage, {}};
        if (IsSwitch(argument, "list")) return {CommandKind::List, {}};
        if (IsSwitch(argument, "prune")) return {CommandKind::Prune, {}};
        return {CommandKind::Wrong, "Unknown argument: " + argument};
    }
    std::string all;
    for (const std::string& word : arguments) all += (all.empty() ? "" : " ") + word;
    return {CommandKind::Wrong, "One argument at a time, not: " + all};
}

}  // namespace hl
