// One measured run of each program the benchmark compares, on a registry that
// BenchRegistry has seeded.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

struct RunTimes {
    double load = 0;   // from the process's creation to the loaded rows (and the window) being there
    double prune = 0;  // "Delete Unchecked", from the command to its return
    double close = 0;  // from the close command to the process having ended
    SIZE_T peakWorkingSet = 0;  // bytes, read just before closing
    std::string error;          // empty when the run did what it should
};

// Hedgeloom.exe, driven through its main window.
RunTimes RunHedgeloom(const std::string& exePath, int rows);
// The windowless baseline, paced through the named events.
RunTimes RunBaseline(const std::string& exePath);
// A yardstick dialog: load is its start to its window showing, close is "Exit"
// to its end, if asked; otherwise it is ended at once.
RunTimes RunBareDialog(const std::string& exePath, bool timeClose = true);

}  // namespace bench
