// The registry operations the typed-address logic performs, under the platform's
// own names, against the current user's hive. Production binds them to ADVAPI32
// and to the application's profile (win32/); tests bind them to an in-memory model.
#pragma once

#include "RegistryConstants.h"

namespace hl {

// An open key; null is never a valid one.
using RegHandle = struct RegKeyTag*;

// Every path is relative to HKEY_CURRENT_USER.
class IRegistry {
public:
    virtual long RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                               RegHandle* result) = 0;
    // nameLength and dataLength are in-out, as in the platform call; type may be null.
    virtual long RegEnumValueA(RegHandle key, unsigned long index, char* name,
                               unsigned long* nameLength, unsigned long* type,
                               unsigned char* data, unsigned long* dataLength) = 0;
    virtual long RegDeleteValueA(RegHandle key, const char* name) = 0;
    virtual long RegDeleteKeyA(const char* subKey) = 0;
    // Removes the key with its values and every key below it.
    virtual long RegDeleteTreeA(const char* subKey) = 0;
    virtual long RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                                 unsigned long options, unsigned long access, RegHandle* result,
                                 unsigned long* disposition) = 0;
    virtual long RegSetValueExA(RegHandle key, const char* name, unsigned long reserved,
                                unsigned long type, const unsigned char* data,
                                unsigned long size) = 0;
    virtual long RegCloseKey(RegHandle key) = 0;
    // dataLength is in-out; type may be null.
    virtual long RegQueryValueExA(RegHandle key, const char* name, unsigned long* type, unsigned char* data,
                                  unsigned long* dataLength) = 0;

    // The registry's own, wide form of values (UTF-16 names and string data), in
    // which a value can be moved without passing through the ANSI code page.
    virtual long RegEnumValueW(RegHandle key, unsigned long index, char16_t* name,
                               unsigned long* nameLength, unsigned long* type,
                               unsigned char* data, unsigned long* dataLength) = 0;
    // dataLength is in-out; type may be null.
    virtual long RegQueryValueExW(RegHandle key, const char16_t* name, unsigned long* type,
                                  unsigned char* data, unsigned long* dataLength) = 0;
    virtual long RegDeleteValueW(RegHandle key, const char16_t* name) = 0;
    virtual long RegSetValueExW(RegHandle key, const char16_t* name, unsigned long reserved,
                                unsigned long type, const unsigned char* data,
                                unsigned long size) = 0;

    // The application's profile: integers in a section of "Software\Corvanta\Hedgeloom".
    // An entry that is absent, or not a 32-bit integer, reads as the default.
    virtual unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) = 0;
    virtual bool WriteProfileInt(const char* section, const char* entry, int value) = 0;

protected:
    ~IRegistry() = default;
};

}  // namespace hl
