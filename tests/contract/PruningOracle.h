// Plain statements of what pruning must come to, for tests to compare against.
#pragma once

#include <vector>

#include "contract/Contract.h"

namespace hltest {

// The scan of "Delete Unchecked" done the obvious way: from the top again after
// every deletion. The program's scan must delete the same rows with the same calls.
void NaiveScan(hl::IRegistry& registry, hl::IAddressList& list);

// The key after a pruning that could save: the rows as url1..urlN top first, then
// the values the list could not show, in enumeration order, those named url<number>
// numbered on after the rows and the others under their own names.
std::vector<RawValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RawValue>& unshown);

// The values the list could not show, in enumeration order.
std::vector<RawValue> Unshown(const std::vector<RawValue>& enumerated);

// The same values, whatever order the registry gives them in.
std::vector<RawValue> Sorted(std::vector<RawValue> values);

}  // namespace hltest
