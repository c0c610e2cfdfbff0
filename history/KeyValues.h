// Whole values of a key, read in the registry's own wide form whatever their
// size and type, so that a rewrite can move them without re-typing them and put
// back what it found.
#pragma once

#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hl {

struct StoredValue {
    std::u16string name;  // exactly as the registry holds it
    unsigned long type = kRegNone;
    std::string data;  // the bytes as stored
};

// A value of the browser's key, and what the list makes of it.
struct ListedValue {
    StoredValue value;
    bool shown = false;  // it fits the list's buffers, so a row can stand for it
    std::string name;    // the name and the address as the list shows them
    std::string text;
};

// Reads every value of an open key in enumeration order. False when the key
// could not be read to its end, so that what it holds is not fully known.
bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values);
// The same, with each value as the list shows it: read again at the same index
// through the ANSI calls the list is loaded with, so that a row's text and its
// value are paired by the registry's own conversion.
bool ReadListedValues(IRegistry& registry, RegHandle key, std::vector<ListedValue>& values);

// One value by name, the registry comparing names as it does. False when it is not there.
bool QueryValue(IRegistry& registry, RegHandle key, const std::u16string& name, unsigned long& type,
                std::string& data);

long StoreValue(IRegistry& registry, RegHandle key, const StoredValue& value);

// Empties an open key of the old values and stores these instead, going on
// past a failure so that as much as can be is done. False if anything failed.
bool ReplaceValues(IRegistry& registry, RegHandle key, const std::vector<StoredValue>& old,
                   const std::vector<StoredValue>& values);

// True for names of the form url<digits>, the browser's own numbering.
bool IsNumberedUrlName(const std::u16string& name);

std::u16string Widened(const std::string& ascii);

}  // namespace hl
