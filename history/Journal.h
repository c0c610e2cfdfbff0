// The journal of a rewrite: what the browser's keys held just before the
// rewrite began to change them, kept beside the profile's section. A rewrite
// that the end of the process cuts off is undone from it at the next start.
#pragma once

#include <vector>

#include "KeyValues.h"
#include "RegistryOps.h"

namespace hl {

enum class JournaledKey : unsigned { TypedUrls = 0, TypedUrlsTime = 1 };

// One key as the rewrite found it and as it means to leave it. Between the two a
// value under a name is the one before, the one after, or none; anything else
// there was written since, by the browser.
struct KeyContents {
    JournaledKey key;
    std::vector<StoredValue> before;
    std::vector<StoredValue> after;
};

// Writes the journal and then marks it complete. False, with nothing left
// behind, when it could not be written whole.
bool WriteJournal(IRegistry& registry, const std::vector<KeyContents>& keys);
// Both keys are saved: the journal is marked so, to be put back never, and removed.
void CloseJournal(IRegistry& registry);
// Removes the journal whole, whatever it holds; false if it is still there.
bool RemoveJournal(IRegistry& registry);
// A complete journal of a rewrite that did not finish: puts back what the
// rewrite changed, leaving what was written since, then removes the journal;
// doing this again does no harm. A finished rewrite is not undone, and an
// incomplete journal only means the keys were never touched. True when no
// journal is left; one that could not be put back stays for the next try.
bool RecoverFromJournal(IRegistry& registry);

}  // namespace hl
