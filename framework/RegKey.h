// An open registry key of the current user's hive, closed when it goes.
#pragma once

#include <windows.h>

#include "Object.h"

class CRegKey : public CObject {
public:
    ~CRegKey() { Close(); }

    LONG Open(LPCSTR lpszKeyName, REGSAM samDesired) {
        Close();
        return ::RegOpenKeyExA(HKEY_CURRENT_USER, lpszKeyName, 0, samDesired, &m_hKey);
    }
    // Creates the key and every key above it that is missing.
    LONG Create(LPCSTR lpszKeyName, REGSAM samDesired) {
        Close();
        return ::RegCreateKeyExA(HKEY_CURRENT_USER, lpszKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 samDesired, nullptr, &m_hKey, nullptr);
    }
    void Close() {
        if (m_hKey) ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }

    HKEY m_hKey = nullptr;
};
