// The registry operations over ADVAPI32, on HKEY_CURRENT_USER. The profile
// operations are left to a subclass: they belong to the application object.
#pragma once

#include "RegistryOps.h"

namespace hl {

class Win32Registry : public IRegistry {
public:
    long RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                       RegHandle* result) override;
    long RegEnumValueA(RegHandle key, unsigned long index, char* name, unsigned long* nameLength,
                       unsigned long* type, unsigned char* data, unsigned long* dataLength) override;
    long RegDeleteValueA(RegHandle key, const char* name) override;
    long RegDeleteKeyA(const char* subKey) override;
    long RegDeleteTreeA(const char* subKey) override;
    long RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                         unsigned long options, unsigned long access, RegHandle* result,
                         unsigned long* disposition) override;
    long RegSetValueExA(RegHandle key, const char* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;
    long RegCloseKey(RegHandle key) override;
    long RegQueryValueExA(RegHandle key, const char* name, unsigned long* type, unsigned char* data,
                          unsigned long* dataLength) override;
    long RegEnumValueW(RegHandle key, unsigned long index, char16_t* name, unsigned long* nameLength,
                       unsigned long* type, unsigned char* data, unsigned long* dataLength) override;
    long RegQueryValueExW(RegHandle key, const char16_t* name, unsigned long* type, unsigned char* data,
                          unsigned long* dataLength) override;
    long RegDeleteValueW(RegHandle key, const char16_t* name) override;
    long RegSetValueExW(RegHandle key, const char16_t* name, unsigned long reserved, unsigned long type,
                        const unsigned char* data, unsigned long size) override;

protected:
    ~Win32Registry() = default;
};

}  // namespace hl
