#include "BenchReport.h"

#include <algorithm>
#include <functional>

namespace bench {

namespace {

using Figure = std::function<double(std::size_t repeat)>;

double Median(std::size_t repeats, const Figure& figure) {
    std::vector<double> values;
    for (std::size_t i = 0; i < repeats; ++i) values.push_back(figure(i));
    std::sort(values.begin(), values.end());
    if (values.empty()) return 0;
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct PhaseFigures {
    double program, baseline, ratio;
};

// One phase at one size: the medians of each side and of the paired ratios.
PhaseFigures Phase(const SizeRuns& runs, double RunTimes::*phase, bool netOfBare = false) {
    const std::size_t n = runs.hedgeloom.size();
    auto program = [&](std::size_t i) {
        return runs.hedgeloom[i].*phase - (netOfBare ? runs.bare[i].*phase : 0.0);
    };
    auto baseline = [&](std::size_t i) { return runs.baseline[i].*phase; };
    return {Median(n, program), Median(n, baseline), Median(n, [&](std::size_t i) { return program(i) / baseline(i); })};
}

bool Goal(std::FILE* out, const char* what, double value, double limit) {
    const bool met = value <= limit;
    std::fprintf(out, "  %-48s %7.2f  at most %4.1f  %s\n", what, value, limit, met ? "met" : "MISSED");
    return met;
}

void Note(std::FILE* out, const char* what, double value) {
    std::fprintf(out, "  %-48s %7.2f  (for comparison)\n", what, value);
}

}  // namespace

bool Report(std::FILE* out, const std::map<int, SizeRuns>& bySize) {
    if (bySize.empty()) return false;
    const std::size_t repeats = bySize.begin()->second.hedgeloom.size();
    std::fprintf(out,
                 "\nMilliseconds, median of %zu runs; ratios are medians of the ratios within a run.\n"
                 "Baseline: the same registry calls with no window and no list. \"close net\" is close\n"
                 "less the bare dialog's close in the same run: under Xvfb, which has no window manager,\n"
                 "Wine waits about 2 s in hiding any closing top-level window.\n",
                 repeats);
    std::fprintf(out, "%7s  %-10s %10s %10s %7s\n", "N", "phase", "Hedgeloom", "baseline", "ratio");
    std::vector<RunTimes> allBare, allMainWindow;
    for (const auto& sizeRuns : bySize) {
        // Named, not a structured binding: lambdas below capture the runs (C++17).
        const int size = sizeRuns.first;
        const SizeRuns& runs = sizeRuns.second;
        const PhaseFigures rows[] = {Phase(runs, &RunTimes::load), Phase(runs, &RunTimes::prune),
                                     Phase(runs, &RunTimes::close), Phase(runs, &RunTimes::close, true)};
        const char* names[] = {"load", "prune", "close", "close net"};
        for (int i = 0; i < 4; ++i)
            std::fprintf(out, "%7s  %-10s %10.1f %10.1f %7.2f\n", i ? "" : std::to_string(size).c_str(), names[i],
                         rows[i].program, rows[i].baseline, rows[i].ratio);
        const std::size_t n = runs.command.size();
        std::fprintf(out, "%7s  %-10s %10.1f %10s %7s   Hedgeloom /prune, start to end; the window's load + prune + close %.1f\n",
                     "", "/prune", Median(n, [&](std::size_t i) { return runs.command[i].prune; }), "", "",
                     Median(n, [&](std::size_t i) {
                         return runs.hedgeloom[i].load + runs.hedgeloom[i].prune + runs.hedgeloom[i].close;
                     }));
        allBare.insert(allBare.end(), runs.bare.begin(), runs.bare.end());
        allMainWindow.insert(allMainWindow.end(), runs.mainWindowOnly.begin(), runs.mainWindowOnly.end());
    }
    std::fprintf(out, "%7s  %-10s %10.1f   bare dialog, start to visible\n", "bare", "start",
                 Median(allBare.size(), [&](std::size_t i) { return allBare[i].load; }));
    std::fprintf(out, "%7s  %-10s %10.1f   bare dialog, \"Exit\" to process end\n", "", "close",
                 Median(allBare.size(), [&](std::size_t i) { return allBare[i].close; }));
    std::fprintf(out, "%7s  %-10s %10.1f   Hedgeloom's window and manifest without its code, start to visible\n",
                 "window", "start", Median(allMainWindow.size(), [&](std::size_t i) { return allMainWindow[i].load; }));

    bool met = true;
    std::fprintf(out, "\nGoals\n");
    const auto large = bySize.find(10000), medium = bySize.find(1000), small = bySize.find(25);
    if (large != bySize.end()) {
        met &= Goal(out, "N=10000 load / baseline", Phase(large->second, &RunTimes::load).ratio, 2);
        met &= Goal(out, "N=10000 prune / baseline", Phase(large->second, &RunTimes::prune).ratio, 2);
        met &= Goal(out, "N=10000 close net / baseline", Phase(large->second, &RunTimes::close, true).ratio, 2);
    }
    if (large != bySize.end() && medium != bySize.end()) {
        const auto growth = [&](double RunTimes::*phase, bool net) {
            return Phase(large->second, phase, net).program / Phase(medium->second, phase, net).program;
        };
        met &= Goal(out, "load N=10000 / N=1000", growth(&RunTimes::load, false), 12);
        met &= Goal(out, "prune N=10000 / N=1000", growth(&RunTimes::prune, false), 12);
        met &= Goal(out, "close N=10000 / N=1000", growth(&RunTimes::close, false), 12);
        Note(out, "close net N=10000 / N=1000", growth(&RunTimes::close, true));
    }
    if (small != bySize.end()) {
        const SizeRuns& runs = small->second;
        const std::size_t n = runs.hedgeloom.size();
        met &= Goal(out, "load N=25 / bare dialog start",
                    Median(n, [&](std::size_t i) { return runs.hedgeloom[i].load / runs.bare[i].load; }), 1.1);
        Note(out, "load N=25 / its window alone start",
             Median(n, [&](std::size_t i) { return runs.hedgeloom[i].load / runs.mainWindowOnly[i].load; }));
        const auto fastest = [&](const std::vector<RunTimes>& of) {
            double best = of.empty() ? 0 : of[0].load;
            for (const RunTimes& run : of) best = std::min(best, run.load);
            return best;
        };
        Note(out, "load N=25 / bare dialog start, fastest runs", fastest(runs.hedgeloom) / fastest(runs.bare));
    }
    if (large != bySize.end()) {
        const auto peak = [](const std::vector<RunTimes>& of) {
            return Median(of.size(), [&](std::size_t i) { return static_cast<double>(of[i].peakWorkingSet); });
        };
        const SizeRuns& runs = large->second;
        const double program = peak(runs.hedgeloom);
        std::fprintf(out,
                     "\nPeak working set of Hedgeloom.exe at N=10000: %.1f MB (%.0f bytes); for comparison the\n"
                     "baseline at N=10000 %.1f MB, the bare dialog %.1f MB, Hedgeloom's window alone %.1f MB\n",
                     program / (1024.0 * 1024.0), program, peak(runs.baseline) / (1024.0 * 1024.0),
                     peak(allBare) / (1024.0 * 1024.0), peak(allMainWindow) / (1024.0 * 1024.0));
    }
    return met;
}

}  // namespace bench
