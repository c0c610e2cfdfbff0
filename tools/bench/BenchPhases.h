// The named events through which the benchmark paces a program that has no
// window to drive: it says when it has loaded and pruned, and waits to be told
// when to prune and when to close.
#pragma once

namespace bench {

inline constexpr const char kLoadedEvent[] = "HedgeloomBench.Loaded";
inline constexpr const char kPruneEvent[] = "HedgeloomBench.Prune";
inline constexpr const char kPrunedEvent[] = "HedgeloomBench.Pruned";
inline constexpr const char kCloseEvent[] = "HedgeloomBench.Close";

}  // namespace bench
