#include "support/MemoryRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace hltest {

std::string Folded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

long MemoryRegistry::Resolve(hl::RegHandle handle, Key*& key) const {
    auto it = m_handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == m_handles.end()) return hl::kErrorInvalidHandle;
    key = it->second.get();
    return key->deleted ? hl::kErrorKeyDeleted : hl::kErrorSuccess;
}

hl::RegHandle MemoryRegistry::Open(const std::string& path, bool create) {
    const std::string folded = Folded(path);
    if (create)  // with every key above it, as the real registry does
        for (std::size_t at = 0; at != std::string::npos; at = folded.find('\\', at + 1))
            if (at && !m_keys.count(folded.substr(0, at))) m_keys[folded.substr(0, at)] = std::make_shared<Key>();
    auto it = m_keys.find(folded);
    if (it == m_keys.end()) {
        if (!create) return nullptr;
        it = m_keys.emplace(folded, std::make_shared<Key>()).first;
    }
    const std::uintptr_t id = m_nextHandle += 4;
    m_handles.emplace(id, it->second);
    return reinterpret_cast<hl::RegHandle>(id);
}

void MemoryRegistry::Store(Key& key, const std::string& name, unsigned long type, std::string data) {
    auto same = std::find_if(key.values.begin(), key.values.end(),
                             [&](const Value& v) { return Folded(v.name) == Folded(name); });
    if (same != key.values.end()) {
        *same = {same->name, type, std::move(data)};  // a replaced value keeps its spelling and place
        return;
    }
    auto at = key.values.end();
    if (m_order == EnumOrder::ByName)
        at = std::find_if(key.values.begin(), key.values.end(),
                          [&](const Value& v) { return Folded(name) < Folded(v.name); });
    key.values.insert(at, {name, type, std::move(data)});
}

long MemoryRegistry::RegOpenKeyExA(const char* subKey, unsigned long, unsigned long, hl::RegHandle* result) {
    *result = Open(subKey, false);
    return *result ? hl::kErrorSuccess : hl::kErrorFileNotFound;
}

long MemoryRegistry::RegEnumValueA(hl::RegHandle handle, unsigned long index, char* name,
                                   unsigned long* nameLength, unsigned long* type, unsigned char* data,
                                   unsigned long* dataLength) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    if (index >= key->values.size()) return hl::kErrorNoMoreItems;
    const Value& value = key->values[index];
    if (value.name.size() >= *nameLength) return hl::kErrorMoreData;
    const unsigned long size = static_cast<unsigned long>(value.data.size());
    if (data && size > *dataLength) {
        *dataLength = size;  // the size it would need
        return hl::kErrorMoreData;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = static_cast<unsigned long>(value.name.size());
    if (type) *type = value.type;
    if (data) std::memcpy(data, value.data.data(), size);
    if (dataLength) *dataLength = size;
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegDeleteValueA(hl::RegHandle handle, const char* name) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    auto it = std::find_if(key->values.begin(), key->values.end(),
                           [&](const Value& v) { return Folded(v.name) == Folded(name); });
    if (it == key->values.end()) return hl::kErrorFileNotFound;
    key->values.erase(it);
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegDeleteKeyA(const char* subKey) {
    const std::string folded = Folded(subKey);
    auto it = m_keys.find(folded);
    if (it == m_keys.end()) return hl::kErrorFileNotFound;
    auto below = m_keys.lower_bound(folded + "\\");
    if (below != m_keys.end() && below->first.rfind(folded + "\\", 0) == 0)
        return hl::kErrorAccessDenied;  // as Windows answers for a key with subkeys
    it->second->deleted = true;  // handles still open on it now fail
    m_keys.erase(it);
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegCreateKeyExA(const char* subKey, unsigned long, const char*, unsigned long,
                                     unsigned long, hl::RegHandle* result, unsigned long*) {
    *result = Open(subKey, true);
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegSetValueExA(hl::RegHandle handle, const char* name, unsigned long, unsigned long type,
                                    const unsigned char* data, unsigned long size) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    Store(*key, name, type, std::string(reinterpret_cast<const char*>(data), size));
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegCloseKey(hl::RegHandle handle) {
    return m_handles.erase(reinterpret_cast<std::uintptr_t>(handle)) ? hl::kErrorSuccess
                                                                      : hl::kErrorInvalidHandle;
}

unsigned MemoryRegistry::GetProfileIntA(const char* section, const char* entry, int defaultValue) {
    auto key = m_keys.find(Folded(std::string(hl::kProfileKey) + "\\" + section));
    if (key == m_keys.end()) return static_cast<unsigned>(defaultValue);
    for (const Value& value : key->second->values) {
        if (Folded(value.name) != Folded(entry)) continue;
        if (value.type != hl::kRegDword || value.data.size() != 4) break;
        std::uint32_t number = 0;
        std::memcpy(&number, value.data.data(), 4);
        return number;
    }
    return static_cast<unsigned>(defaultValue);
}

bool MemoryRegistry::WriteProfileInt(const char* section, const char* entry, int value) {
    hl::RegHandle key = Open(std::string(hl::kProfileKey) + "\\" + section, true);
    const std::uint32_t number = static_cast<std::uint32_t>(value);
    RegSetValueExA(key, entry, 0, hl::kRegDword, reinterpret_cast<const unsigned char*>(&number), 4);
    return RegCloseKey(key) == hl::kErrorSuccess;
}

}  // namespace hltest
