// Plain statements of what pruning must come to, for tests to compare against.
#pragma once

#include <vector>

#include "contract/Contract.h"

namespace hltest {

// The scan of "Delete Unchecked" done the obvious way: from the top again after
// every deletion. The program's scan must delete the same rows with the same calls.
void NaiveScan(hl::IRegistry& registry, hl::IAddressList& list);

}  // namespace hltest
