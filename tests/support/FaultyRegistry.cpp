#include "support/FaultyRegistry.h"

#include "support/MemoryRegistry.h"

namespace hltest {

long FaultyRegistry::Call(RegOp op, const std::string& what, const std::function<long()>& call) {
    static const char* const kNames[] = {"Open",  "Enum",  "DeleteValue", "DeleteKey",    "Create",
                                         "Set",   "Close", "GetProfile",  "WriteProfile", "Query"};
    const int n = ++m_calls[op];
    long status = onCall && op != RegOp::Close ? onCall(op, n, what) : hl::kErrorSuccess;
    if (status == hl::kErrorSuccess) status = call();
    if (op != RegOp::Enum && op != RegOp::Query)
        m_log.push_back(std::string(kNames[static_cast<int>(op)]) + " " + what + "=" + std::to_string(status));
    return status;
}

long FaultyRegistry::Opened(long status, hl::RegHandle* key) {
    if (status == hl::kErrorSuccess) m_open.insert(*key);
    return status;
}

long FaultyRegistry::RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                                   hl::RegHandle* result) {
    *result = nullptr;
    return Call(RegOp::Open, subKey,
                [&] { return Opened(m_inner.RegOpenKeyExA(subKey, reserved, access, result), result); });
}

long FaultyRegistry::RegEnumValueA(hl::RegHandle key, unsigned long index, char* name, unsigned long* nameLength,
                                   unsigned long* type, unsigned char* data, unsigned long* dataLength) {
    return Call(RegOp::Enum, std::to_string(index),
                [&] { return m_inner.RegEnumValueA(key, index, name, nameLength, type, data, dataLength); });
}

long FaultyRegistry::RegDeleteValueA(hl::RegHandle key, const char* name) {
    return Call(RegOp::DeleteValue, name, [&] { return m_inner.RegDeleteValueA(key, name); });
}

long FaultyRegistry::RegDeleteKeyA(const char* subKey) {
    return Call(RegOp::DeleteKey, subKey, [&] { return m_inner.RegDeleteKeyA(subKey); });
}

long FaultyRegistry::RegDeleteTreeA(const char* subKey) {
    return Call(RegOp::DeleteKey, subKey, [&] { return m_inner.RegDeleteTreeA(subKey); });
}

long FaultyRegistry::RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                                     unsigned long options, unsigned long access, hl::RegHandle* result,
                                     unsigned long* disposition) {
    *result = nullptr;
    return Call(RegOp::Create, subKey, [&] {
        return Opened(m_inner.RegCreateKeyExA(subKey, reserved, keyClass, options, access, result, disposition),
                      result);
    });
}

long FaultyRegistry::RegSetValueExA(hl::RegHandle key, const char* name, unsigned long reserved,
                                    unsigned long type, const unsigned char* data, unsigned long size) {
    return Call(RegOp::Set, name, [&] { return m_inner.RegSetValueExA(key, name, reserved, type, data, size); });
}

long FaultyRegistry::RegCloseKey(hl::RegHandle key) {
    // Closing is never failed: a handle left open would be the test's fault, not the program's.
    m_open.erase(key);
    return Call(RegOp::Close, "", [&] { return m_inner.RegCloseKey(key); });
}

namespace {

std::string Logged(const char16_t* name) { return ToCodePage(CodePage::Utf8, name); }

}  // namespace

long FaultyRegistry::RegEnumValueW(hl::RegHandle key, unsigned long index, char16_t* name, unsigned long* nameLength,
                                   unsigned long* type, unsigned char* data, unsigned long* dataLength) {
    return Call(RegOp::Enum, std::to_string(index),
                [&] { return m_inner.RegEnumValueW(key, index, name, nameLength, type, data, dataLength); });
}

long FaultyRegistry::RegQueryValueExA(hl::RegHandle key, const char* name, unsigned long* type,
                                      unsigned char* data, unsigned long* dataLength) {
    return Call(RegOp::Query, name, [&] { return m_inner.RegQueryValueExA(key, name, type, data, dataLength); });
}

long FaultyRegistry::RegQueryValueExW(hl::RegHandle key, const char16_t* name, unsigned long* type,
                                      unsigned char* data, unsigned long* dataLength) {
    return Call(RegOp::Query, Logged(name), [&] { return m_inner.RegQueryValueExW(key, name, type, data, dataLength); });
}

long FaultyRegistry::RegDeleteValueW(hl::RegHandle key, const char16_t* name) {
    return Call(RegOp::DeleteValue, Logged(name), [&] { return m_inner.RegDeleteValueW(key, name); });
}

long FaultyRegistry::RegSetValueExW(hl::RegHandle key, const char16_t* name, unsigned long reserved,
                                    unsigned long type, const unsigned char* data, unsigned long size) {
    return Call(RegOp::Set, Logged(name),
                [&] { return m_inner.RegSetValueExW(key, name, reserved, type, data, size); });
}

unsigned FaultyRegistry::GetProfileIntA(const char* section, const char* entry, int defaultValue) {
    unsigned value = static_cast<unsigned>(defaultValue);
    Call(RegOp::GetProfile, entry, [&] {
        value = m_inner.GetProfileIntA(section, entry, defaultValue);
        return hl::kErrorSuccess;
    });
    return value;
}

bool FaultyRegistry::WriteProfileInt(const char* section, const char* entry, int value) {
    return Call(RegOp::WriteProfile, std::string(entry) + ":" + std::to_string(value), [&] {
               return m_inner.WriteProfileInt(section, entry, value) ? hl::kErrorSuccess : hl::kErrorAccessDenied;
           }) == hl::kErrorSuccess;
}

}  // namespace hltest
