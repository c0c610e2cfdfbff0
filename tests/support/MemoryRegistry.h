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

    long RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                       hl::RegHandle* result) override;
    long RegEnumValueA(hl::RegHandle key, unsigned long index, char* name, unsigned long* nameLength,
                       unsigned long* type, unsigned char* data, unsigned long* dataLength) override;
    long RegDeleteValueA(hl::RegHandle key, const char* name) override;
    long RegDeleteKeyA(const char* subKey) override;
    long RegDeleteTreeA(const char* subKey) override;
    long RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                         unsigned long options, unsigned long access, hl::RegHandle* result,
                         unsigned long* disposition) override;
    long RegSetValueExA(hl::RegHandle key, const char* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;
    long RegCloseKey(hl::RegHandle key) override;
    long RegQueryValueExA(hl::RegHandle key, const char* name, unsigned long* type, unsigned char* data,
                          unsigned long* dataLength) override;
    long RegEnumValueW(hl::RegHandle key, unsigned long index, char16_t* name, unsigned long* nameLength,
                       unsigned long* type, unsigned char* data, unsigned long* dataLength) override;
    long RegQueryValueExW(hl::RegHandle key, const char16_t* name, unsigned long* type, unsigned char* data,
                          unsigned long* dataLength) override;
    long RegDeleteValueW(hl::RegHandle key, const char16_t* name) override;
    long RegSetValueExW(hl::RegHandle key, const char16_t* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;

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
