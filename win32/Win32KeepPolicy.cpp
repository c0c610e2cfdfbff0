#include "Win32KeepPolicy.h"

#include <windows.h>

#include "ProgramNames.h"

namespace hl {

namespace {

// The string values of one root's policy key; a key that is not there has none.
bool ReadKey(HKEY root, REGSAM view, std::vector<std::u16string>& patterns) {
    wchar_t path[sizeof kKeepPolicyKey];  // the path is ASCII
    for (std::size_t i = 0; i < sizeof kKeepPolicyKey; ++i) path[i] = static_cast<wchar_t>(kKeepPolicyKey[i]);
    HKEY key = nullptr;
    const LONG opened = ::RegOpenKeyExW(root, path, 0, KEY_READ | view, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    DWORD longestName = 0, longestData = 0;
    bool read = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                                   &longestData, nullptr, nullptr) == ERROR_SUCCESS;
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD index = 0; read; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size()), type = 0;
        const LONG result =
            ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) break;
        // A value that grew since the key was measured is as unreadable as one the registry refuses.
        read = result == ERROR_SUCCESS;
        if (!read || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
        std::u16string pattern;
        for (DWORD i = 0; i + 1 < dataLength; i += 2) {
            const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
            if (c == 0) break;
            pattern += c;
        }
        patterns.push_back(std::move(pattern));
    }
    ::RegCloseKey(key);
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
