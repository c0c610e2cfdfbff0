// The benchmark's figures: the table of medians over the repeated runs, and
// the goals they are held to.
#pragma once

#include <cstdio>
#include <map>
#include <vector>

#include "ProgramRuns.h"

namespace bench {

// The runs at one size, one of each program per repetition, run one after the
// other: ratios are taken within a repetition, so that a slow spell of the
// machine falls on both sides of a ratio.
struct SizeRuns {
    std::vector<RunTimes> hedgeloom;
    std::vector<RunTimes> baseline;
    std::vector<RunTimes> bare;
    std::vector<RunTimes> mainWindowOnly;  // Hedgeloom's window and manifest, none of its code
    std::vector<RunTimes> command;  // "Hedgeloom.exe /prune": its whole run in `prune`
};

// Prints the table and the goals; false when a goal is missed.
bool Report(std::FILE* out, const std::map<int, SizeRuns>& bySize);

}  // namespace bench
