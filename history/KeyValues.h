// Whole values of a key, read whatever their size and type, so that a rewrite
// can keep or put back what the list does not hold.
#pragma once

#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hl {

struct StoredValue {
    std::string name;
    unsigned long type = kRegNone;
    std::string data;  // the bytes as stored; std::string keeps a zero past them
};

// Reads every value of an open key in enumeration order. False when the key
// could not be read to its end, so that what it holds is not fully known.
bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values);

long StoreValue(IRegistry& registry, RegHandle key, const StoredValue& value);

// True for names of the form url<digits>, the browser's own numbering.
bool IsNumberedUrlName(const std::string& name);

bool SameValueName(const std::string& a, const std::string& b);
// The form in which names that SameValueName takes for one compare equal.
std::string FoldedValueName(const std::string& name);

}  // namespace hl
