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

std::string FaultyRegistry::Logged(const char16_t* name) { return ToCodePage(CodePage::Utf8, name); }

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
