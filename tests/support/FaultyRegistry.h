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
    explicit FaultyRegistry(hl::IRegistry& inner) : m_inner(inner) {}

    // Asked before every call but a close with its operation, its number counted
    // from 1, and its key path, value name, enumeration index or "entry:value";
    // a non-zero answer fails the call with that code before it reaches the registry.
    std::function<long(RegOp op, int n, const std::string& what)> onCall;

    int Calls(RegOp op) const { return m_calls.count(op) ? m_calls.at(op) : 0; }
    // Keys opened or created through this registry and not yet closed.
    int OpenHandles() const { return static_cast<int>(m_open.size()); }
    // One line per call but enumerations, e.g. "Open Software\...=0" or "DeleteValue url3=0".
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

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

private:
    long Call(RegOp op, const std::string& what, const std::function<long()>& call);
    long Opened(long status, hl::RegHandle* key);

    hl::IRegistry& m_inner;
    std::map<RegOp, int> m_calls;
    std::set<hl::RegHandle> m_open;
    std::vector<std::string> m_log;
};

}  // namespace hltest
