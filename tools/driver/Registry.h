// The real registry of the prefix, as the tests seed it and read it back.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace drive {

struct RegValue {
    std::string name;
    DWORD type;
    std::string data;  // the raw bytes

    bool operator==(const RegValue& other) const {
        return name == other.name && type == other.type && data == other.data;
    }
};

inline std::ostream& operator<<(std::ostream& out, const RegValue& value) {
    out << "{" << value.name << " type " << value.type << ": ";
    for (unsigned char c : value.data) {
        if (c >= 0x20 && c < 0x7F) {
            out << c;
        } else {
            const char hex[] = "0123456789ABCDEF";
            out << "\\x" << hex[c >> 4] << hex[c & 15];
        }
    }
    return out << "}";
}

// The bytes a REG_SZ value holds for a text: the text and its terminating zero.
inline std::string SzData(const std::string& text) { return text + '\0'; }
inline RegValue Sz(const std::string& name, const std::string& text) { return {name, REG_SZ, SzData(text)}; }
inline RegValue Dword(const std::string& name, DWORD value) {
    return {name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

// Text in the registry's own form and back: UTF-16 there, UTF-8 here.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A value as the wide calls see it: its name in the registry's own form, which
// no code page can garble.
struct WideValue {
    std::wstring name;
    DWORD type;
    std::string data;  // the raw bytes

    bool operator==(const WideValue& other) const {
        return name == other.name && type == other.type && data == other.data;
    }
};

// Strings as text, so that a failure reads in the script it was written in.
std::ostream& operator<<(std::ostream& out, const WideValue& value);

// A REG_SZ value as the wide calls store it: UTF-16 text and its terminating zero.
inline WideValue SzW(const std::wstring& name, const std::wstring& text) {
    const char* bytes = reinterpret_cast<const char*>(text.c_str());
    return {name, REG_SZ, std::string(bytes, (text.size() + 1) * sizeof(wchar_t))};
}

class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}

    void DeleteTree(const std::string& path) const;
    bool CreateKey(const std::string& path) const;
    bool KeyExists(const std::string& path) const;
    bool Set(const std::string& path, const RegValue& value) const;
    // Stores the values in this order, through one handle: a long list quickly.
    bool SetAll(const std::string& path, const std::vector<RegValue>& values) const;
    // Every value of the key in the order the registry enumerates them; empty
    // when the key does not exist. `complete` tells whether the enumeration
    // reached its end rather than stopping at a value it could not read.
    std::vector<RegValue> Values(const std::string& path, bool* complete = nullptr) const;
    // The same through the wide calls: names and string data exactly as stored.
    // A value that cannot be read ends the list early.
    bool SetAll(const std::string& path, const std::vector<WideValue>& values) const;
    std::vector<WideValue> WideValues(const std::string& path) const;
    // How many values the key holds, in one call: cheap enough to watch a key change.
    std::size_t ValueCount(const std::string& path) const;
    // The names alone, in enumeration order.
    std::vector<std::string> Names(const std::string& path) const;
    std::optional<RegValue> Find(const std::string& path, const std::string& name) const;

private:
    HKEY m_root;
};

}  // namespace drive
