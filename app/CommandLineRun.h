// Hedgeloom run from a command line, a logon script or a scheduled task: no
// window and no message box; what it has to say goes to standard output (or the
// console it was started from) and its exit status.
#pragma once

#include <string>
#include <vector>

// Exit statuses a script can test.
enum ExitStatus {
    kExitDone = 0,
    kExitNotSaved = 1,  // the key could not be saved; nothing was lost
    kExitUsage = 2,
    kExitBrowserRunning = 3,
};

// The arguments after the program's name, as UTF-8.
std::vector<std::string> CommandLineArguments();

// Carries out the arguments (never none) and returns the exit status.
int RunFromCommandLine(const std::vector<std::string>& arguments);
