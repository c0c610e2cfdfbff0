// What the list must show of the browser's values and what a pruning must leave:
// plain statements for tests to compare the program against, whoever drives it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ProductNames.h"
#include "RegistryOps.h"
#include "driver/RegValue.h"
#include "support/MemoryRegistry.h"

namespace hltest {

// The values and rows every tier compares are those the driver reads.
using namespace drive;

// A key's values in the order the registry enumerates them, read with room for any a test writes;
// `complete`: no value stopped the enumeration.
std::vector<RegValue> ReadKey(hl::IRegistry& registry, const std::string& path, bool* exists = nullptr,
                              bool* complete = nullptr);

// url1 to url<count> as the browser numbers them, holding http://site1/ and on.
std::vector<RegValue> Numbered(std::size_t count);

// The same values, whatever order the registry gives them in.
std::vector<WideValue> SortedWide(std::vector<WideValue> values);

// The list's text for a value's data: up to the first zero, at most 259 characters.
std::string ShownText(const std::string& data);
// Names and addresses longer than 259 characters do not fit the list's buffers,
// and bytes that are no text in the program's code page do not survive the list.
bool Fits(const RegValue& value, CodePage page = CodePage::Latin1);

// url<digits>, the browser's own numbering, which a pruning renumbers.
bool NumberedUrlName(const std::string& name);

// The key after a pruning that could save, from the key as enumerated before it:
// the rows as url1..urlN top first, each the value it was loaded from with its
// own type and bytes, then the values the list could not show, in enumeration
// order, those named url<number> numbered on after the rows and the others
// under their own names.
std::vector<RegValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RegValue>& enumerated,
                                  CodePage page = CodePage::Latin1);
// The values the list could not show, in enumeration order.
std::vector<RegValue> Unshown(const std::vector<RegValue>& enumerated, CodePage page = CodePage::Latin1);
// The same values, whatever order the registry gives them in.
std::vector<RegValue> Sorted(std::vector<RegValue> values);

// A name or an address as `/list` writes it in one field: \\, \t, \n and \r escaped, nothing else.
std::string ListField(const std::string& text);

}  // namespace hltest
