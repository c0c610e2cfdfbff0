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

// The same type and bytes, whatever the name.
inline bool SameContents(const StoredValue& a, const StoredValue& b) { return a.type == b.type && a.data == b.data; }

// Reads every value of an open key in enumeration order. False when the key
// could not be read to its end, so that what it holds is not fully known.
bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values);
// The value at one index of the enumeration, whatever its size; the enumeration's result.
long ReadValueAt(IRegistry& registry, RegHandle key, unsigned long index, StoredValue& value);

// One value by name, the registry comparing names as it does: kErrorSuccess,
// kErrorFileNotFound when it is not there, or the failure that kept it unread.
long QueryValue(IRegistry& registry, RegHandle key, const std::u16string& name, unsigned long& type,
                std::string& data);

long StoreValue(IRegistry& registry, RegHandle key, const StoredValue& value);

// Empties an open key of the old values and stores these instead, going on
// past a failure so that as much as can be is done. False if anything failed.
bool ReplaceValues(IRegistry& registry, RegHandle key, const std::vector<StoredValue>& old,
                   const std::vector<StoredValue>& values);

// A string value holding half a UTF-16 surrogate pair, which no ANSI text can carry.
bool HoldsBrokenText(const StoredValue& value);

// True for names of the form url<digits>, the browser's own numbering.
bool IsNumberedUrlName(const std::u16string& name);
// The number of such a name, or 0 for any other (and for one too large to count).
unsigned long UrlNumber(const std::u16string& name);

// Text as the registry compares names, as far as our own names go: A to Z folded.
std::u16string FoldedName(std::u16string name);
std::string FoldedName(std::string name);

std::u16string Widened(const std::string& ascii);
// A name's UTF-16 units as little-endian bytes, as the registry keeps them, and
// such bytes as units again (an odd last byte is none).
std::string NameBytes(const std::u16string& name);
std::u16string UnitsOf(const std::string& bytes);
// A string value's text: its units up to the first zero.
std::u16string StringText(const std::string& data);

}  // namespace hl
