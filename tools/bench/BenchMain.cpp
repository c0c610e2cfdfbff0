// Times Hedgeloom.exe against its windowless baseline and a bare dialog on the
// same registry, for several list sizes, and prints the table.
//   hlbench Hedgeloom.exe [repeats [sizes...]]
// The baseline and the yardstick dialogs are looked for beside this program.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "BenchRegistry.h"
#include "BenchReport.h"
#include "driver/Driver.h"

namespace {

std::string Beside(const char* name) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir + name;
}

// A run whose figures are not to be trusted ends the benchmark.
bool Checked(const char* program, int size, const bench::RunTimes& run, const bench::PruneOutcome* outcome) {
    std::string error = run.error;
    if (error.empty() && outcome) error = bench::CheckOutcome(*outcome, size);
    if (error.empty()) return true;
    std::fprintf(stderr, "bench: %s at N=%d: %s\n", program, size, error.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hlbench Hedgeloom.exe [repeats [sizes...]]\n");
        return 2;
    }
    const std::string hedgeloom = argv[1];
    const std::string baseline = Beside("HedgeloomBaseline.exe");
    const std::string bareDialog = Beside("BareDialog.exe");
    const std::string mainWindowOnly = Beside("MainWindowOnly.exe");
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::vector<int> sizes;
    for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {25, 1000, 10000};

    std::map<int, bench::SizeRuns> bySize;
    for (int size : sizes) {
        bench::SizeRuns& runs = bySize[size];
        for (int repeat = 0; repeat < repeats; ++repeat) {
            std::fprintf(stderr, "bench: N=%d, run %d of %d\n", size, repeat + 1, repeats);
            bench::SeedTypedUrls(size);
            runs.hedgeloom.push_back(bench::RunHedgeloom(hedgeloom, size));
            const bench::PruneOutcome byProgram = bench::ReadOutcome();
            if (!Checked("Hedgeloom", size, runs.hedgeloom.back(), &byProgram)) return 1;

            bench::SeedTypedUrls(size);
            runs.baseline.push_back(bench::RunBaseline(baseline));
            const bench::PruneOutcome byBaseline = bench::ReadOutcome();
            if (!Checked("baseline", size, runs.baseline.back(), &byBaseline)) return 1;
            if (!(byProgram.key == byBaseline.key)) {
                std::fprintf(stderr, "bench: N=%d: Hedgeloom and the baseline left different keys\n", size);
                return 1;
            }

            bench::SeedTypedUrls(size);
            const drive::CommandRun command = drive::RunCommand(hedgeloom, "/prune");
            runs.command.push_back({});
            runs.command.back().prune = command.ms;
            if (!command.ended || command.exitCode != 0 || command.showedWindow)
                runs.command.back().error = "/prune ended with " + std::to_string(command.exitCode) + ": " + command.output;
            const bench::PruneOutcome byCommand = bench::ReadOutcome();
            if (!Checked("Hedgeloom /prune", size, runs.command.back(), &byCommand)) return 1;
            if (!(byCommand.key == byProgram.key)) {
                std::fprintf(stderr, "bench: N=%d: /prune and the window left different keys\n", size);
                return 1;
            }

            runs.bare.push_back(bench::RunBareDialog(bareDialog));
            if (!Checked("bare dialog", size, runs.bare.back(), nullptr)) return 1;
            runs.mainWindowOnly.push_back(bench::RunBareDialog(mainWindowOnly, false));
            if (!Checked("main window alone", size, runs.mainWindowOnly.back(), nullptr)) return 1;
        }
    }
    const bool met = bench::Report(stdout, bySize);
    return met ? 0 : 3;
}
