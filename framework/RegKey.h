// An open registry key, closed when it goes.
#pragma once

#include <windows.h>

#include "Object.h"

class CRegKey : public CObject {
public:
    ~CRegKey() { Close(); }

    LONG Open(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired) {
        Close();
        return ::RegOpenKeyExA(hKeyParent, lpszKeyName, 0, samDesired, &m_hKey);
    }
    // Creates the key and every key above it that is missing.
    LONG Create(HKEY hKeyParent, LPCSTR lpszKeyName, REGSAM samDesired) {
        Close();
        return ::RegCreateKeyExA(hKeyParent, lpszKeyName, 0, nullptr, REG_OPTION_NON_VOLATILE, samDesired, nullptr,
                                 &m_hKey, nullptr);
    }
    void Close() {
        if (m_hKey) ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }

    HKEY m_hKey = nullptr;
};
