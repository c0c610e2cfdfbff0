// A registry decorator that makes chosen calls fail and logs them, so that the
// same failures can be put between the typed-address logic and any registry.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hltest {

// The wide forms count and log as the operation they are a form of.
enum class RegOp { Open, Enum, DeleteValue, DeleteKey, Create, Set, Close, GetProfile, WriteProfile, Query };

class FaultyRegistry final : public hl::IRegistry {
public:
    using Handle = hl::RegHandle;
    using ulong = unsigned long;
    explicit FaultyRegistry(hl::IRegistry& inner) : m_inner(inner) {}

    // Asked before every call but a close with its operation, its number counted
    // from 1, and its key path, value name, enumeration index or "entry:value";
    // a non-zero answer fails the call with that code before it reaches the registry.
    std::function<long(RegOp op, int n, const std::string& what)> onCall;

    // Keys opened or created through this registry and not yet closed.
    int OpenHandles() const { return static_cast<int>(m_open.size()); }
    // One line per call but enumerations, e.g. "Open Software\...=0" or "DeleteValue url3=0".
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

    long RegOpenKeyExA(const char* subKey, ulong reserved, ulong access, Handle* result) override {
        *result = nullptr;
        return Call(RegOp::Open, subKey, [&] { return Opened(m_inner.RegOpenKeyExA(subKey, reserved, access, result), result); });
    }
    long RegCreateKeyExA(const char* subKey, ulong reserved, const char* keyClass, ulong options, ulong access,
                         Handle* result, ulong* disposition) override {
        *result = nullptr;
        return Call(RegOp::Create, subKey, [&] {
            return Opened(m_inner.RegCreateKeyExA(subKey, reserved, keyClass, options, access, result, disposition), result);
        });
    }
    long RegCloseKey(Handle key) override {
        // Closing is never failed: a handle left open would be the test's fault, not the program's.
        m_open.erase(key);
        return Call(RegOp::Close, "", [&] { return m_inner.RegCloseKey(key); });
    }
    long RegDeleteKeyA(const char* subKey) override {
        return Call(RegOp::DeleteKey, subKey, [&] { return m_inner.RegDeleteKeyA(subKey); });
    }
    long RegDeleteTreeA(const char* subKey) override {
        return Call(RegOp::DeleteKey, subKey, [&] { return m_inner.RegDeleteTreeA(subKey); });
    }
    long RegEnumValueA(Handle key, ulong index, char* name, ulong* nameLength, ulong* type, unsigned char* data,
                       ulong* dataLength) override {
        return Call(RegOp::Enum, std::to_string(index),
                    [&] { return m_inner.RegEnumValueA(key, index, name, nameLength, type, data, dataLength); });
    }
    long RegEnumValueW(Handle key, ulong index, char16_t* name, ulong* nameLength, ulong* type, unsigned char* data,
                       ulong* dataLength) override {
        return Call(RegOp::Enum, std::to_string(index),
                    [&] { return m_inner.RegEnumValueW(key, index, name, nameLength, type, data, dataLength); });
    }
    long RegQueryValueExA(Handle key, const char* name, ulong* type, unsigned char* data, ulong* dataLength) override {
        return Call(RegOp::Query, name, [&] { return m_inner.RegQueryValueExA(key, name, type, data, dataLength); });
    }
    long RegQueryValueExW(Handle key, const char16_t* name, ulong* type, unsigned char* data, ulong* dataLength) override {
        return Call(RegOp::Query, Logged(name), [&] { return m_inner.RegQueryValueExW(key, name, type, data, dataLength); });
    }
    long RegDeleteValueA(Handle key, const char* name) override {
        return Call(RegOp::DeleteValue, name, [&] { return m_inner.RegDeleteValueA(key, name); });
    }
    long RegDeleteValueW(Handle key, const char16_t* name) override {
        return Call(RegOp::DeleteValue, Logged(name), [&] { return m_inner.RegDeleteValueW(key, name); });
    }
    long RegSetValueExA(Handle key, const char* name, ulong reserved, ulong type, const unsigned char* data,
                        ulong size) override {
        return Call(RegOp::Set, name, [&] { return m_inner.RegSetValueExA(key, name, reserved, type, data, size); });
    }
    long RegSetValueExW(Handle key, const char16_t* name, ulong reserved, ulong type, const unsigned char* data,
                        ulong size) override {
        return Call(RegOp::Set, Logged(name), [&] { return m_inner.RegSetValueExW(key, name, reserved, type, data, size); });
    }

    unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) override;
    bool WriteProfileInt(const char* section, const char* entry, int value) override;

private:
    long Call(RegOp op, const std::string& what, const std::function<long()>& call);
    long Opened(long status, Handle* key) {
        if (status == hl::kErrorSuccess) m_open.insert(*key);
        return status;
    }
    static std::string Logged(const char16_t* name);

    hl::IRegistry& m_inner;
    std::map<RegOp, int> m_calls;
    std::set<Handle> m_open;
    std::vector<std::string> m_log;
};

}  // namespace hltest
