// Registry values and list rows as the driver reads them from the registry and from the program's list, and as
// every test tier and the bench write and compare them: plain data, without a Windows header or a test
// framework, so that the native tier shares them too.
#pragma once

#include <ostream>
#include <string>

#include "RegistryConstants.h"

namespace drive {

// A registry value: its name, its type and its bytes as stored. RegValue is a value as the ANSI calls see it;
// WideValue as the registry keeps it, with a UTF-16 name and string data as UTF-16 bytes.
template <class Text>
struct BasicValue {
    Text name;
    unsigned long type = hl::kRegSz;
    std::string data;
    bool operator==(const BasicValue& o) const { return name == o.name && type == o.type && data == o.data; }
};
using RegValue = BasicValue<std::string>;
using WideValue = BasicValue<std::u16string>;
// Bytes outside printable ASCII, and the backslash, as \xNN: a failure shows each one.
std::string Printable(const std::string& bytes);
std::ostream& operator<<(std::ostream& out, const RegValue& value);
// Names and strings as UTF-8, so that a failure reads in the script it was written in.
std::ostream& operator<<(std::ostream& out, const WideValue& value);

// One row of the address list: its address (column 0), the value name it came
// from (column 1) and its check box.
struct Row {
    std::string address;
    std::string name;
    bool checked = false;
    bool operator==(const Row& o) const { return address == o.address && name == o.name && checked == o.checked; }
};
std::ostream& operator<<(std::ostream& out, const Row& row);

// The bytes of a string value: the text and its terminating zero.
std::string SzData(const std::string& text);
// A string value as the browser writes it.
RegValue Sz(const std::string& name, const std::string& text);
RegValue Dword(const std::string& name, unsigned number);
// A string value as the browser writes it through the wide calls.
WideValue WideSz(const std::u16string& name, const std::u16string& text);

// UTF-16 text as the registry stores it in a string value's bytes (little-endian), and back;
// an odd last byte is dropped, as Windows does.
std::string Utf16Bytes(const std::u16string& text);
std::u16string Utf16Units(const std::string& bytes);

// Text between UTF-8 and the registry's UTF-16.
std::string Utf8(const std::u16string& text);
std::u16string Utf16(const std::string& utf8);

}  // namespace drive
