// An open registry key that is closed when the block that opened it ends.
#pragma once

#include "RegistryOps.h"

namespace hl {

class ScopedKey {
public:
    explicit ScopedKey(IRegistry& registry) : m_registry(registry) {}
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;
    ~ScopedKey() { Close(); }

    long Open(const char* subKey) {
        Close();
        RegHandle key = nullptr;
        const long result = m_registry.RegOpenKeyExA(subKey, 0, kKeyAllAccess, &key);
        if (result == kErrorSuccess) m_key = key;  // after a failure the handle means nothing
        return result;
    }

    long Create(const char* subKey) {
        Close();
        RegHandle key = nullptr;
        unsigned long disposition = 0;
        const long result = m_registry.RegCreateKeyExA(subKey, 0, "", kRegOptionNonVolatile,
                                                       kKeyAllAccess, &key, &disposition);
        if (result == kErrorSuccess) m_key = key;
        return result;
    }

    void Close() {
        if (m_key) m_registry.RegCloseKey(m_key);  // nothing to do about a failed close
        m_key = nullptr;
    }

    explicit operator bool() const { return m_key != nullptr; }
    RegHandle get() const { return m_key; }

private:
    IRegistry& m_registry;
    RegHandle m_key = nullptr;
};

}  // namespace hl
