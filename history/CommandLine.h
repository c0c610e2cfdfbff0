// What a command line asks of the program: its switches are exact words, so that
// a script that misspells one gets the usage text rather than some other run.
#pragma once

#include <string>
#include <vector>

namespace hl {

enum class CommandKind {
    Window,  // no argument: the window opens
    Usage,   // "/?"
    List,
    Prune,
    Wrong,  // an argument it does not know, or more than one
};

struct Command {
    CommandKind kind;
    std::string complaint;  // for Wrong, the line that says why
};

// arguments: those after the program's name, as UTF-8.
Command ParseCommandLine(const std::vector<std::string>& arguments);

// Whether an argument is the switch `word`: '/' or '-' and then the word, byte
// for byte but for the case of A to Z. Nothing else is ignored, nor folded:
// a soft hyphen or a dotless i makes another word.
bool IsSwitch(const std::string& argument, const char* word);

}  // namespace hl
