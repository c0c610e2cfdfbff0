// Where the programs of an end-to-end run are: the program under test, our
// recorder, and a folder for the recorder's logs.
#pragma once

#include <string>

namespace e2e {

struct E2eEnvironment {
    std::string hedgeloomExe;  // Windows path
    std::string recorderExe;   // Windows path
    std::string scratchDir;    // Windows path, with a trailing backslash

    // Finds the programs: the one given, else the one two folders above this test program.
    bool Locate(const std::string& given);
    static E2eEnvironment& Get();
};

}  // namespace e2e
