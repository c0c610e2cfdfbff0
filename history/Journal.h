// The journal of a rewrite: what the browser's keys held just before the
// rewrite began to change them, kept beside the profile's section. A rewrite
// that the end of the process cuts off is undone from it at the next start.
#pragma once

#include <vector>

#include "KeyValues.h"
#include "RegistryOps.h"

namespace hl {

enum class JournaledKey : unsigned { TypedUrls = 0, TypedUrlsTime = 1 };

struct KeyContents {
    JournaledKey key;
    std::vector<StoredValue> values;
};

// Writes the journal and then marks it complete. False, with nothing left
// behind, when it could not be written whole.
bool WriteJournal(IRegistry& registry, const std::vector<KeyContents>& keys);
void RemoveJournal(IRegistry& registry);
// A complete journal: puts each key back exactly as the journal holds it, then
// removes the journal; doing this again does no harm. An incomplete one only
// means the keys were never touched: it is removed.
void RecoverFromJournal(IRegistry& registry);

}  // namespace hl
