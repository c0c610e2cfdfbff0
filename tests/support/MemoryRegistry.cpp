#include "support/MemoryRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace hltest {

namespace {

constexpr long kInvalidParameter = 87;
constexpr unsigned long kCreatedNewKey = 1;
constexpr unsigned long kOpenedExistingKey = 2;

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}

bool NameBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Fold(x)) < static_cast<unsigned char>(Fold(y));
    });
}

std::vector<std::string> Split(const char* path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = path ? path : ""; *p; ++p) {
        if (*p == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty() || !parts.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

MemoryRegistry::MemoryRegistry(EnumOrder order) : m_order(order), m_root(std::make_shared<Key>()) {}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Find(const char* path, bool create, bool* created) {
    if (created) *created = false;
    std::shared_ptr<Key> key = m_root;
    for (const std::string& part : Split(path)) {
        if (part.empty()) return nullptr;  // the real registry refuses empty path components too
        auto it = std::find_if(key->subkeys.begin(), key->subkeys.end(),
                               [&](const std::shared_ptr<Key>& k) { return SameName(k->name, part); });
        if (it != key->subkeys.end()) {
            key = *it;
            continue;
        }
        if (!create) return nullptr;
        auto child = std::make_shared<Key>();
        child->name = part;
        key->subkeys.push_back(child);
        key = child;
        if (created) *created = true;
    }
    return key;
}

long MemoryRegistry::Resolve(hl::RegHandle handle, std::shared_ptr<Key>& key) const {
    auto it = m_handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == m_handles.end()) return hl::kErrorInvalidHandle;
    key = it->second;
    return key->deleted ? hl::kErrorKeyDeleted : hl::kErrorSuccess;
}

hl::RegHandle MemoryRegistry::NewHandle(std::shared_ptr<Key> key) {
    const std::uintptr_t id = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(id, std::move(key));
    return reinterpret_cast<hl::RegHandle>(id);
}

void MemoryRegistry::Store(Key& key, const std::string& name, unsigned long type, std::string data) {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const Value& v) { return SameName(v.name, name); });
    if (it != key.values.end()) {
        it->type = type;  // a replaced value keeps its name's spelling and its place
        it->data = std::move(data);
        return;
    }
    auto at = key.values.end();
    if (m_order == EnumOrder::ByName)
        at = std::find_if(key.values.begin(), key.values.end(),
                          [&](const Value& v) { return NameBefore(name, v.name); });
    key.values.insert(at, Value{name, type, std::move(data)});
}

long MemoryRegistry::RegOpenKeyExA(const char* subKey, unsigned long, unsigned long,
                                   hl::RegHandle* result) {
    *result = nullptr;
    std::shared_ptr<Key> key = Find(subKey, false);
    if (!key) return hl::kErrorFileNotFound;
    *result = NewHandle(std::move(key));
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegEnumValueA(hl::RegHandle handle, unsigned long index, char* name,
                                   unsigned long* nameLength, unsigned long* type,
                                   unsigned char* data, unsigned long* dataLength) {
    std::shared_ptr<Key> key;
    if (const long status = Resolve(handle, key)) return status;
    if (!name || !nameLength || (data && !dataLength)) return kInvalidParameter;
    if (index >= key->values.size()) return hl::kErrorNoMoreItems;
    const Value& value = key->values[index];
    if (value.name.size() >= *nameLength) return hl::kErrorMoreData;
    if (data && value.data.size() > *dataLength) {
        *dataLength = static_cast<unsigned long>(value.data.size());  // the size it would need
        return hl::kErrorMoreData;
    }
    std::memcpy(name, value.name.c_str(), value.name.size() + 1);
    *nameLength = static_cast<unsigned long>(value.name.size());
    if (type) *type = value.type;
    if (data) std::memcpy(data, value.data.data(), value.data.size());
    if (dataLength) *dataLength = static_cast<unsigned long>(value.data.size());
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegDeleteValueA(hl::RegHandle handle, const char* name) {
    std::shared_ptr<Key> key;
    if (const long status = Resolve(handle, key)) return status;
    const std::string wanted = name ? name : "";
    auto it = std::find_if(key->values.begin(), key->values.end(),
                           [&](const Value& v) { return SameName(v.name, wanted); });
    if (it == key->values.end()) return hl::kErrorFileNotFound;
    key->values.erase(it);
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegDeleteKeyA(const char* subKey) {
    std::vector<std::string> parts = Split(subKey);
    if (parts.empty()) return hl::kErrorAccessDenied;
    std::shared_ptr<Key> key = Find(subKey, false);
    if (!key) return hl::kErrorFileNotFound;
    if (!key->subkeys.empty()) return hl::kErrorAccessDenied;  // as Windows answers for a key with subkeys
    parts.pop_back();
    std::string parentPath;
    for (const std::string& part : parts) parentPath += (parentPath.empty() ? "" : "\\") + part;
    std::shared_ptr<Key> parent = Find(parentPath.c_str(), false);
    parent->subkeys.erase(std::find(parent->subkeys.begin(), parent->subkeys.end(), key));
    key->deleted = true;  // handles still open on it now fail
    key->values.clear();
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegCreateKeyExA(const char* subKey, unsigned long, const char*, unsigned long,
                                     unsigned long, hl::RegHandle* result,
                                     unsigned long* disposition) {
    *result = nullptr;
    bool created = false;
    std::shared_ptr<Key> key = Find(subKey, true, &created);
    if (!key) return hl::kErrorFileNotFound;
    if (disposition) *disposition = created ? kCreatedNewKey : kOpenedExistingKey;
    *result = NewHandle(std::move(key));
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegSetValueExA(hl::RegHandle handle, const char* name, unsigned long,
                                    unsigned long type, const unsigned char* data, unsigned long size) {
    std::shared_ptr<Key> key;
    if (const long status = Resolve(handle, key)) return status;
    if (!data && size) return kInvalidParameter;
    Store(*key, name ? name : "", type, std::string(reinterpret_cast<const char*>(data), data ? size : 0));
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegCloseKey(hl::RegHandle handle) {
    return m_handles.erase(reinterpret_cast<std::uintptr_t>(handle)) ? hl::kErrorSuccess
                                                                      : hl::kErrorInvalidHandle;
}

unsigned MemoryRegistry::GetProfileIntA(const char* section, const char* entry, int defaultValue) {
    const std::string path = std::string(hl::kProfileKey) + "\\" + section;
    std::shared_ptr<Key> key = Find(path.c_str(), false);
    if (!key) return static_cast<unsigned>(defaultValue);
    for (const Value& value : key->values) {
        if (!SameName(value.name, entry)) continue;
        if (value.type != hl::kRegDword || value.data.size() != 4) break;
        std::uint32_t number = 0;
        std::memcpy(&number, value.data.data(), 4);
        return number;
    }
    return static_cast<unsigned>(defaultValue);
}

bool MemoryRegistry::WriteProfileInt(const char* section, const char* entry, int value) {
    const std::string path = std::string(hl::kProfileKey) + "\\" + section;
    std::shared_ptr<Key> key = Find(path.c_str(), true);
    if (!key) return false;
    const std::uint32_t number = static_cast<std::uint32_t>(value);
    Store(*key, entry, hl::kRegDword, std::string(reinterpret_cast<const char*>(&number), 4));
    return true;
}

}  // namespace hltest
