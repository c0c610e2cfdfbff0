// The journal of a rewrite: what the browser's keys held just before the
// rewrite began to change them, kept beside the profile's section. A rewrite
// that the end of the process cuts off is undone from it at the next start.
// Journal.cpp states the rules of recovery, one for each state a journal can be in.
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

// The write side, whole: journals the keys, replaces each one's values by what the
// rewrite means to leave, and closes the journal; or, when a key could not be
// saved, puts them all back and removes the journal. False when not saved;
// journalKept: not put back either, and the journal does so at the next start.
bool SaveJournaled(IRegistry& registry, const std::vector<KeyContents>& keys, bool& journalKept);
// Removes the journal whole, whatever it holds; false if it is still there.
bool RemoveJournal(IRegistry& registry);
enum class Recovery {
    Clear,       // no journal is left
    Kept,        // it could not be put back or removed now; it stays for the next try
    Unreadable,  // it cannot be read: kept, for nobody can tell what it would put back
};

// Puts back what a rewrite cut off had changed, leaving what the browser has
// written since, then removes the journal; doing this again does no harm.
Recovery RecoverFromJournal(IRegistry& registry);

}  // namespace hl
