#include "Registry.h"

#include <cstring>
#include <memory>
#include <type_traits>

namespace drive {

namespace {

using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, LONG(WINAPI*)(HKEY)>;  // closed when it goes; null when it could not be had

Key Opened(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    return {RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr, RegCloseKey};
}

// Created if need be, for writing.
Key Created(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return {result == ERROR_SUCCESS ? key : nullptr, RegCloseKey};
}

}  // namespace

void Registry::DeleteTree(const std::string& path) const {
    RegDeleteTreeA(m_root, path.c_str());
    RegDeleteKeyA(m_root, path.c_str());
}

bool Registry::CreateKey(const std::string& path) const { return Created(m_root, path) != nullptr; }

bool Registry::KeyExists(const std::string& path) const { return Opened(m_root, path) != nullptr; }

std::size_t Registry::ValueCount(const std::string& path) const {
    const Key key = Opened(m_root, path);
    DWORD count = 0;
    if (!key.get() || RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

bool Registry::Set(const std::string& path, const RegValue& value) const { return SetAll(path, {value}); }

bool Registry::SetAll(const std::string& path, const std::vector<RegValue>& values) const {
    const Key key = Created(m_root, path);
    bool stored = key != nullptr;
    for (const RegValue& value : values)
        stored = stored && RegSetValueExA(key.get(), value.name.c_str(), 0, value.type,
                                          reinterpret_cast<const BYTE*>(value.data.data()),
                                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    return stored;
}

std::vector<RegValue> Registry::Values(const std::string& path, bool* complete) const {
    std::vector<RegValue> values;
    if (complete) *complete = true;
    const Key key = Opened(m_root, path);
    if (!key) return values;
    std::string data(65536, '\0');
    for (DWORD index = 0;;) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD dataLength = static_cast<DWORD>(data.size());
        const LONG result = RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&data[0]), &dataLength);
        if (result == ERROR_MORE_DATA && dataLength > data.size()) {
            // A value bigger than the buffer: read it again whole, so that an
            // export never ends early without saying so.
            data.resize(dataLength);
            continue;
        }
        if (result != ERROR_SUCCESS) {
            if (result != ERROR_NO_MORE_ITEMS && complete) *complete = false;
            break;
        }
        values.push_back({{name, nameLength}, type, data.substr(0, dataLength)});
        ++index;
    }
    return values;
}

std::optional<RegValue> Registry::Find(const std::string& path, const std::string& name) const {
    for (const RegValue& value : Values(path))
        if (_stricmp(value.name.c_str(), name.c_str()) == 0) return value;
    return std::nullopt;
}

}  // namespace drive
