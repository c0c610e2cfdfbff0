#include "support/FaultyRegistry.h"

namespace hltest {

namespace {

const char* OpName(RegOp op) {
    switch (op) {
    case RegOp::Open: return "Open";
    case RegOp::Enum: return "Enum";
    case RegOp::DeleteValue: return "DeleteValue";
    case RegOp::DeleteKey: return "DeleteKey";
    case RegOp::Create: return "Create";
    case RegOp::Set: return "Set";
    case RegOp::Close: return "Close";
    case RegOp::GetProfile: return "GetProfile";
    case RegOp::WriteProfile: return "WriteProfile";
    }
    return "?";
}

}  // namespace

int FaultyRegistry::Calls(RegOp op) const {
    auto it = m_calls.find(op);
    return it == m_calls.end() ? 0 : it->second;
}

long FaultyRegistry::Injected(RegOp op, const std::string& what) {
    const int n = ++m_calls[op];
    auto it = m_failAt.find({op, n});
    if (it != m_failAt.end()) return it->second;
    return onCall ? onCall(op, n, what) : hl::kErrorSuccess;
}

long FaultyRegistry::Record(RegOp op, const std::string& what, long result) {
    if (op != RegOp::Enum) m_log.push_back(std::string(OpName(op)) + " " + what + "=" + std::to_string(result));
    return result;
}

long FaultyRegistry::RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                                   hl::RegHandle* result) {
    long status = Injected(RegOp::Open, subKey);
    if (status == hl::kErrorSuccess) {
        status = m_inner.RegOpenKeyExA(subKey, reserved, access, result);
        if (status == hl::kErrorSuccess) m_open.insert(*result);
    } else {
        *result = nullptr;
    }
    return Record(RegOp::Open, subKey, status);
}

long FaultyRegistry::RegEnumValueA(hl::RegHandle key, unsigned long index, char* name,
                                   unsigned long* nameLength, unsigned long* type, unsigned char* data,
                                   unsigned long* dataLength) {
    if (index == m_deleteAt) {
        m_deleteAt = ~0ul;
        m_inner.RegDeleteKeyA(m_deletePath.c_str());
    }
    long status = Injected(RegOp::Enum, std::to_string(index));
    if (status == hl::kErrorSuccess && index >= m_enumFailFrom) status = m_enumFailCode;
    if (status != hl::kErrorSuccess) return status;
    return m_inner.RegEnumValueA(key, index, name, nameLength, type, data, dataLength);
}

long FaultyRegistry::RegDeleteValueA(hl::RegHandle key, const char* name) {
    long status = Injected(RegOp::DeleteValue, name);
    if (status == hl::kErrorSuccess) status = m_inner.RegDeleteValueA(key, name);
    return Record(RegOp::DeleteValue, name, status);
}

long FaultyRegistry::RegDeleteKeyA(const char* subKey) {
    long status = Injected(RegOp::DeleteKey, subKey);
    if (status == hl::kErrorSuccess) status = m_inner.RegDeleteKeyA(subKey);
    return Record(RegOp::DeleteKey, subKey, status);
}

long FaultyRegistry::RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                                     unsigned long options, unsigned long access, hl::RegHandle* result,
                                     unsigned long* disposition) {
    long status = Injected(RegOp::Create, subKey);
    if (status == hl::kErrorSuccess) {
        status = m_inner.RegCreateKeyExA(subKey, reserved, keyClass, options, access, result, disposition);
        if (status == hl::kErrorSuccess) m_open.insert(*result);
    } else {
        *result = nullptr;
    }
    return Record(RegOp::Create, subKey, status);
}

long FaultyRegistry::RegSetValueExA(hl::RegHandle key, const char* name, unsigned long reserved,
                                    unsigned long type, const unsigned char* data, unsigned long size) {
    long status = Injected(RegOp::Set, name);
    if (status == hl::kErrorSuccess) status = m_inner.RegSetValueExA(key, name, reserved, type, data, size);
    return Record(RegOp::Set, name, status);
}

long FaultyRegistry::RegCloseKey(hl::RegHandle key) {
    // Closing is never failed: a handle left open would be the test's fault, not the program's.
    ++m_calls[RegOp::Close];
    m_open.erase(key);
    return Record(RegOp::Close, "", m_inner.RegCloseKey(key));
}

unsigned FaultyRegistry::GetProfileIntA(const char* section, const char* entry, int defaultValue) {
    if (Injected(RegOp::GetProfile, entry) != hl::kErrorSuccess) return static_cast<unsigned>(defaultValue);
    return m_inner.GetProfileIntA(section, entry, defaultValue);
}

bool FaultyRegistry::WriteProfileInt(const char* section, const char* entry, int value) {
    if (Injected(RegOp::WriteProfile, entry) != hl::kErrorSuccess) return false;
    Record(RegOp::WriteProfile, std::string(entry) + ":" + std::to_string(value), 0);
    return m_inner.WriteProfileInt(section, entry, value);
}

}  // namespace hltest
