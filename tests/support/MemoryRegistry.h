// The current user's hive in memory, behaving like the real one wherever the
// typed-address logic can tell: result codes, buffer limits, case-blind names,
// keys with subkeys, deleted keys behind open handles, and enumeration order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hltest {

// Registry names compare without regard to case; this is the form they compare in.
std::string Folded(std::string text);

enum class EnumOrder {
    Creation,  // Windows: values come back in the order they were written
    ByName,    // Wine: sorted by name, case-blind (url1, url10, url2)
};

class MemoryRegistry final : public hl::IRegistry {
public:
    explicit MemoryRegistry(EnumOrder order = EnumOrder::Creation) : m_order(order) {}

    long RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                       hl::RegHandle* result) override;
    long RegEnumValueA(hl::RegHandle key, unsigned long index, char* name, unsigned long* nameLength,
                       unsigned long* type, unsigned char* data, unsigned long* dataLength) override;
    long RegDeleteValueA(hl::RegHandle key, const char* name) override;
    long RegDeleteKeyA(const char* subKey) override;
    long RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                         unsigned long options, unsigned long access, hl::RegHandle* result,
                         unsigned long* disposition) override;
    long RegSetValueExA(hl::RegHandle key, const char* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;
    long RegCloseKey(hl::RegHandle key) override;

    unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) override;
    bool WriteProfileInt(const char* section, const char* entry, int value) override;

    int OpenHandles() const { return static_cast<int>(m_handles.size()); }

private:
    struct Value {
        std::string name;
        unsigned long type;
        std::string data;
    };
    struct Key {
        std::vector<Value> values;
        bool deleted = false;
    };

    long Resolve(hl::RegHandle handle, Key*& key) const;
    hl::RegHandle Open(const std::string& path, bool create);
    void Store(Key& key, const std::string& name, unsigned long type, std::string data);

    EnumOrder m_order;
    std::map<std::string, std::shared_ptr<Key>> m_keys;  // by case-folded path
    std::map<std::uintptr_t, std::shared_ptr<Key>> m_handles;
    std::uintptr_t m_nextHandle = 0x1000;
};

}  // namespace hltest
