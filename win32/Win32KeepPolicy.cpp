#include "Win32KeepPolicy.h"

#include <windows.h>

#include "KeyValues.h"
#include "ProgramNames.h"
#include "RegKey.h"

namespace hl {

namespace {

// The string values of one root's policy key; a key that is not there has none.
bool ReadKey(HKEY root, REGSAM view, std::vector<std::u16string>& patterns) {
    CRegKey key;
    const LONG opened = key.Open(root, kKeepPolicyKey, KEY_READ | view);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    DWORD longestName = 0, longestData = 0;
    bool read = ::RegQueryInfoKeyW(key.m_hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS;
    std::vector<wchar_t> name(longestName + 1);
    std::string data(longestData + sizeof(wchar_t), '\0');
    for (DWORD index = 0; read; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size()), type = 0;
        const LONG result = ::RegEnumValueW(key.m_hKey, index, name.data(), &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(&data[0]), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // A value that grew since the key was measured is as unreadable as one the registry refuses.
        read = result == ERROR_SUCCESS;
        if (read && (type == REG_SZ || type == REG_EXPAND_SZ))
            patterns.push_back(StringText(data.substr(0, dataLength)));
    }
    return read;
}

}  // namespace

bool Win32KeepPolicy::ReadPatterns(std::vector<std::u16string>& patterns) {
    patterns.clear();
    // Group Policy writes the machine's key in the 64-bit view, which a 32-bit build must ask for.
    const bool machine = ReadKey(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, patterns);
    return ReadKey(HKEY_CURRENT_USER, 0, patterns) && machine;
}

}  // namespace hl
