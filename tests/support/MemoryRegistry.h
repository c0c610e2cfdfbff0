// The current user's hive in memory, behaving like the real one wherever the
// typed-address logic can tell: result codes, buffer limits, case-blind names,
// keys with subkeys, deleted keys behind open handles, and enumeration order.
// Like the real one it keeps names and strings as UTF-16 and converts for the
// ANSI calls through a code page, with '?' for what the page cannot hold.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hltest {

// Registry key paths compare without regard to case; this is the form they compare in.
std::string Folded(std::string text);
// Value names compare as the registry compares them: case-blind beyond ASCII.
std::u16string FoldedWide(std::u16string text);

enum class EnumOrder {
    Creation,  // Windows: values come back in the order they were written
    ByName,    // Wine: sorted by name, case-blind (url1, url10, url2)
};

enum class CodePage {
    Latin1,  // a legacy page: one byte per character, U+0000 to U+00FF
    Utf8,    // what the program's manifest asks for
};

// Text through a code page, both ways, as the ANSI calls convert it.
std::string ToCodePage(CodePage page, const std::u16string& text);
std::u16string FromCodePage(CodePage page, const std::string& text);

class MemoryRegistry final : public hl::IRegistry {
public:
    explicit MemoryRegistry(EnumOrder order = EnumOrder::Creation, CodePage page = CodePage::Latin1)
        : m_order(order), m_page(page) {}

    using Handle = hl::RegHandle;
    using ulong = unsigned long;
    long RegOpenKeyExA(const char* subKey, ulong, ulong, Handle* result) override {
        *result = Open(subKey, false);
        return *result ? hl::kErrorSuccess : hl::kErrorFileNotFound;
    }
    long RegCreateKeyExA(const char* subKey, ulong, const char*, ulong, ulong, Handle* result, ulong*) override {
        *result = Open(subKey, true);
        return hl::kErrorSuccess;
    }
    long RegCloseKey(Handle key) override {
        return m_handles.erase(reinterpret_cast<std::uintptr_t>(key)) ? hl::kErrorSuccess : hl::kErrorInvalidHandle;
    }
    long RegDeleteKeyA(const char* subKey) override { return Remove(subKey, false); }
    long RegDeleteTreeA(const char* subKey) override { return Remove(subKey, true); }
    long RegEnumValueA(Handle key, ulong index, char* name, ulong* nameLength, ulong* type, unsigned char* data,
                       ulong* dataLength) override {
        return Enum(key, index, true, name, nameLength, type, data, dataLength);
    }
    long RegEnumValueW(Handle key, ulong index, char16_t* name, ulong* nameLength, ulong* type, unsigned char* data,
                       ulong* dataLength) override {
        return Enum(key, index, false, name, nameLength, type, data, dataLength);
    }
    long RegQueryValueExA(Handle key, const char* name, ulong* type, unsigned char* data, ulong* dataLength) override {
        return Query(key, FromCodePage(m_page, name), true, type, data, dataLength);
    }
    long RegQueryValueExW(Handle key, const char16_t* name, ulong* type, unsigned char* data,
                          ulong* dataLength) override {
        return Query(key, name, false, type, data, dataLength);
    }
    long RegDeleteValueA(Handle key, const char* name) override { return Delete(key, FromCodePage(m_page, name)); }
    long RegDeleteValueW(Handle key, const char16_t* name) override { return Delete(key, name); }
    long RegSetValueExA(Handle key, const char* name, ulong reserved, ulong type, const unsigned char* data,
                        ulong size) override;
    long RegSetValueExW(Handle key, const char16_t* name, ulong reserved, ulong type, const unsigned char* data,
                        ulong size) override;

    unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) override;
    bool WriteProfileInt(const char* section, const char* entry, int value) override;

    int OpenHandles() const { return static_cast<int>(m_handles.size()); }

private:
    struct Value {
        std::u16string name;
        unsigned long type;
        std::string data;  // string types as UTF-16, as the registry keeps them
    };
    struct Key {
        std::vector<Value> values;
        bool deleted = false;
    };

    long Resolve(hl::RegHandle handle, Key*& key) const;
    hl::RegHandle Open(const std::string& path, bool create);
    std::vector<Value>::iterator Find(Key& key, const std::u16string& name);
    void Store(Key& key, const std::u16string& name, unsigned long type, std::string data);
    long Delete(hl::RegHandle handle, const std::u16string& name);
    long Remove(const std::string& path, bool tree);  // a key, and with `tree` the keys below it
    template <typename Char>
    long Enum(hl::RegHandle handle, unsigned long index, bool ansi, Char* name, unsigned long* nameLength,
              unsigned long* type, unsigned char* data, unsigned long* dataLength);
    long Query(hl::RegHandle handle, const std::u16string& name, bool ansi, unsigned long* type,
               unsigned char* data, unsigned long* dataLength);

    EnumOrder m_order;
    CodePage m_page;
    std::map<std::string, std::shared_ptr<Key>> m_keys;  // by case-folded path
    std::map<std::uintptr_t, std::shared_ptr<Key>> m_handles;
    std::uintptr_t m_nextHandle = 0x1000;
};

}  // namespace hltest
