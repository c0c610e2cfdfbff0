// Registry values and list rows as the tests write and compare them, and what
// the list must show of them and a pruning must leave: plain statements for
// tests to compare the program against, whoever drives it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ProductNames.h"
#include "RegistryOps.h"
#include "support/MemoryRegistry.h"

namespace hltest {

struct RawValue {
    std::string name;
    unsigned long type = hl::kRegSz;
    std::string data;  // the bytes as stored
    bool operator==(const RawValue& o) const { return name == o.name && type == o.type && data == o.data; }
};
std::ostream& operator<<(std::ostream& out, const RawValue& value);

// A value as the registry keeps it: UTF-16 name, and string data as UTF-16 bytes.
struct WideValue {
    std::u16string name;
    unsigned long type = hl::kRegSz;
    std::string data;
    bool operator==(const WideValue& o) const { return name == o.name && type == o.type && data == o.data; }
};
std::ostream& operator<<(std::ostream& out, const WideValue& value);
// A string value as the browser writes it, in the registry's own form.
WideValue WideSz(const std::u16string& name, const std::u16string& text);
std::vector<WideValue> SortedWide(std::vector<WideValue> values);

// A string value as the browser writes it: the text and its terminating zero.
RawValue Sz(const std::string& name, const std::string& text);
RawValue Dword(const std::string& name, unsigned number);
// url1 to url<count> as the browser numbers them, holding http://site1/ and on.
std::vector<RawValue> Numbered(std::size_t count);

struct Row {
    std::string address;
    std::string name;
    bool checked = false;
    bool operator==(const Row& o) const { return address == o.address && name == o.name && checked == o.checked; }
};
std::ostream& operator<<(std::ostream& out, const Row& row);

// The list's text for a value's data: up to the first zero, at most 259 characters.
std::string ShownText(const std::string& data);
// Names and addresses longer than 259 characters do not fit the list's buffers,
// and bytes that are no text in the program's code page do not survive the list.
bool Fits(const RawValue& value, CodePage page = CodePage::Latin1);

// url<digits>, the browser's own numbering, which a pruning renumbers.
bool NumberedUrlName(const std::string& name);

// The key after a pruning that could save, from the key as enumerated before it:
// the rows as url1..urlN top first, each the value it was loaded from with its
// own type and bytes, then the values the list could not show, in enumeration
// order, those named url<number> numbered on after the rows and the others
// under their own names.
std::vector<RawValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RawValue>& enumerated,
                                  CodePage page = CodePage::Latin1);
// The values the list could not show, in enumeration order.
std::vector<RawValue> Unshown(const std::vector<RawValue>& enumerated, CodePage page = CodePage::Latin1);
// The same values, whatever order the registry gives them in.
std::vector<RawValue> Sorted(std::vector<RawValue> values);

}  // namespace hltest
