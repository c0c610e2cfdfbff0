#include "Win32Registry.h"

#include <vector>

#include <windows.h>

namespace hl {

static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED && kErrorInvalidHandle == ERROR_INVALID_HANDLE &&
              kErrorBadKey == ERROR_BADKEY && kErrorMoreData == ERROR_MORE_DATA &&
              kErrorNoMoreItems == ERROR_NO_MORE_ITEMS && kErrorKeyDeleted == ERROR_KEY_DELETED);
static_assert(kKeyAllAccess == KEY_ALL_ACCESS && kRegOptionNonVolatile == REG_OPTION_NON_VOLATILE);
static_assert(kRegNone == REG_NONE && kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ &&
              kRegBinary == REG_BINARY && kRegDword == REG_DWORD && kRegMultiSz == REG_MULTI_SZ &&
              kRegQword == REG_QWORD);
static_assert(sizeof(unsigned long) == sizeof(DWORD), "the interface's lengths are DWORDs");
static_assert(sizeof(char16_t) == sizeof(WCHAR), "the interface's wide text is the registry's UTF-16");

namespace {

HKEY Native(RegHandle key) { return reinterpret_cast<HKEY>(key); }
LPCWSTR Native(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }

}  // namespace

long Win32Registry::RegOpenKeyExA(const char* subKey, unsigned long reserved, unsigned long access,
                                  RegHandle* result) {
    HKEY key = nullptr;
    const LONG status = ::RegOpenKeyExA(HKEY_CURRENT_USER, subKey, reserved, access, &key);
    *result = status == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : nullptr;
    return status;
}

long Win32Registry::RegEnumValueA(RegHandle key, unsigned long index, char* name,
                                  unsigned long* nameLength, unsigned long* type,
                                  unsigned char* data, unsigned long* dataLength) {
    return ::RegEnumValueA(Native(key), index, name, nameLength, nullptr, type, data, dataLength);
}

long Win32Registry::RegDeleteValueA(RegHandle key, const char* name) {
    return ::RegDeleteValueA(Native(key), name);
}

long Win32Registry::RegDeleteKeyA(const char* subKey) {
    return ::RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
}

long Win32Registry::RegDeleteTreeA(const char* subKey) {
    return ::RegDeleteTreeA(HKEY_CURRENT_USER, subKey);
}

long Win32Registry::RegCreateKeyExA(const char* subKey, unsigned long reserved, const char* keyClass,
                                    unsigned long options, unsigned long access, RegHandle* result,
                                    unsigned long* disposition) {
    HKEY key = nullptr;
    const LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, subKey, reserved,
                                          const_cast<char*>(keyClass), options, access, nullptr,
                                          &key, disposition);
    *result = status == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : nullptr;
    return status;
}

long Win32Registry::RegSetValueExA(RegHandle key, const char* name, unsigned long reserved,
                                   unsigned long type, const unsigned char* data, unsigned long size) {
    return ::RegSetValueExA(Native(key), name, reserved, type, data, size);
}

long Win32Registry::RegCloseKey(RegHandle key) {
    return ::RegCloseKey(Native(key));
}

long Win32Registry::RegQueryValueExA(RegHandle key, const char* name, unsigned long* type,
                                     unsigned char* data, unsigned long* dataLength) {
    return ::RegQueryValueExA(Native(key), name, nullptr, type, data, dataLength);
}

long Win32Registry::RegEnumValueW(RegHandle key, unsigned long index, char16_t* name,
                                  unsigned long* nameLength, unsigned long* type,
                                  unsigned char* data, unsigned long* dataLength) {
    return ::RegEnumValueW(Native(key), index, reinterpret_cast<LPWSTR>(name), nameLength, nullptr,
                           type, data, dataLength);
}

long Win32Registry::RegQueryValueExW(RegHandle key, const char16_t* name, unsigned long* type,
                                     unsigned char* data, unsigned long* dataLength) {
    return ::RegQueryValueExW(Native(key), Native(name), nullptr, type, data, dataLength);
}

long Win32Registry::RegDeleteValueW(RegHandle key, const char16_t* name) {
    return ::RegDeleteValueW(Native(key), Native(name));
}

long Win32Registry::RegSetValueExW(RegHandle key, const char16_t* name, unsigned long reserved,
                                   unsigned long type, const unsigned char* data, unsigned long size) {
    // A string's bytes followed by a zero character are stored with that zero, as if it
    // were the string's end: given from a copy that ends otherwise, a value that had
    // no zero of its own moves with exactly its bytes. One that ends in its zero needs no copy.
    const bool ended = size >= 2 && size % 2 == 0 && data && data[size - 2] == 0 && data[size - 1] == 0;
    if (data && !ended && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
        std::vector<unsigned char> exact(data, data + size);
        exact.insert(exact.end(), 2, 0xFF);
        return ::RegSetValueExW(Native(key), Native(name), reserved, type, exact.data(), size);
    }
    return ::RegSetValueExW(Native(key), Native(name), reserved, type, data, size);
}

}  // namespace hl
