// A registry decorator that makes chosen calls fail, so that the same failures
// can be put between the typed-address logic and any registry, in memory or real.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RegistryOps.h"

namespace hltest {

enum class RegOp { Open, Enum, DeleteValue, DeleteKey, Create, Set, Close, GetProfile, WriteProfile };

class FaultyRegistry final : public hl::IRegistry {
public:
    explicit FaultyRegistry(hl::IRegistry& inner) : m_inner(inner) {}

    // The n-th call of op (counted from 1) fails with code without reaching the registry.
    void FailCall(RegOp op, int n, long code = hl::kErrorAccessDenied) { m_failAt[{op, n}] = code; }
    // Every enumeration at index or past it fails with code.
    void FailEnumFrom(unsigned long index, long code) {
        m_enumFailFrom = index;
        m_enumFailCode = code;
    }
    // The key at path is deleted just before the first enumeration at index.
    void DeleteKeyWhileReading(std::string path, unsigned long index) {
        m_deletePath = std::move(path);
        m_deleteAt = index;
    }
    // Asked before every call with its operation, number and key path or value name;
    // a non-zero answer fails the call with that code.
    std::function<long(RegOp op, int n, const std::string& what)> onCall;

    int Calls(RegOp op) const;
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
    long RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                         unsigned long options, unsigned long access, hl::RegHandle* result,
                         unsigned long* disposition) override;
    long RegSetValueExA(hl::RegHandle key, const char* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;
    long RegCloseKey(hl::RegHandle key) override;

    unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) override;
    bool WriteProfileInt(const char* section, const char* entry, int value) override;

private:
    long Injected(RegOp op, const std::string& what);
    long Record(RegOp op, const std::string& what, long result);

    hl::IRegistry& m_inner;
    std::map<RegOp, int> m_calls;
    std::map<std::pair<RegOp, int>, long> m_failAt;
    unsigned long m_enumFailFrom = ~0ul;
    long m_enumFailCode = 0;
    std::string m_deletePath;
    unsigned long m_deleteAt = ~0ul;
    std::set<hl::RegHandle> m_open;
    std::vector<std::string> m_log;
};

}  // namespace hltest
