#include "support/MemoryRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "ProductNames.h"
#include "driver/RegValue.h"

namespace hltest {

namespace {

bool IsString(unsigned long type) {
    return type == hl::kRegSz || type == hl::kRegExpandSz || type == hl::kRegMultiSz;
}

// Simple upper-casing over the scripts the tests use; the real registry has the whole table.
char16_t Upper(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F) || (c >= 0xFF41 && c <= 0xFF5A))
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    if (c >= 0x100 && c <= 0x17F && c % 2 == 1 && c != 0x131 && c != 0x149 && c != 0x17F) return static_cast<char16_t>(c - 1);
    return c;
}

}  // namespace

std::string Folded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::u16string FoldedWide(std::u16string text) {
    for (char16_t& c : text) c = Upper(c);
    return text;
}

std::string ToCodePage(CodePage page, const std::u16string& text) {
    if (page == CodePage::Utf8) return drive::Utf8(text);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            ++i;  // one character outside the page, one '?'
        out += c < 0x100 ? static_cast<char>(c) : '?';
    }
    return out;
}

std::u16string FromCodePage(CodePage page, const std::string& text) {
    if (page == CodePage::Utf8) return drive::Utf16(text);
    std::u16string out;
    for (const char c : text) out += static_cast<unsigned char>(c);
    return out;
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

std::vector<MemoryRegistry::Value>::iterator MemoryRegistry::Find(Key& key, const std::u16string& name) {
    const std::u16string folded = FoldedWide(name);
    return std::find_if(key.values.begin(), key.values.end(),
                        [&](const Value& v) { return FoldedWide(v.name) == folded; });
}

void MemoryRegistry::Store(Key& key, const std::u16string& name, unsigned long type, std::string data) {
    auto same = Find(key, name);
    if (same != key.values.end()) {
        *same = {same->name, type, std::move(data)};  // a replaced value keeps its spelling and place
        return;
    }
    auto at = key.values.end();
    if (m_order == EnumOrder::ByName)
        at = std::find_if(key.values.begin(), key.values.end(),
                          [&](const Value& v) { return FoldedWide(name) < FoldedWide(v.name); });
    key.values.insert(at, {name, type, std::move(data)});
}

long MemoryRegistry::Delete(hl::RegHandle handle, const std::u16string& name) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    auto it = Find(*key, name);
    if (it == key->values.end()) return hl::kErrorFileNotFound;
    key->values.erase(it);
    return hl::kErrorSuccess;
}

template <typename Char>
long MemoryRegistry::Enum(hl::RegHandle handle, unsigned long index, bool ansi, Char* name, unsigned long* nameLength,
                          unsigned long* type, unsigned char* data, unsigned long* dataLength) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    if (index >= key->values.size()) return hl::kErrorNoMoreItems;
    const Value& value = key->values[index];
    std::basic_string<Char> shownName;  // as the call's form of text has it
    if constexpr (sizeof(Char) == 1) shownName = ToCodePage(m_page, value.name);
    else shownName = value.name;
    if (shownName.size() >= *nameLength) return hl::kErrorMoreData;
    const std::string bytes = ansi && IsString(value.type) ? ToCodePage(m_page, drive::Utf16Units(value.data)) : value.data;
    const unsigned long size = static_cast<unsigned long>(bytes.size());
    if (data && size > *dataLength) {
        *dataLength = size;  // the size it would need
        return hl::kErrorMoreData;
    }
    std::copy(shownName.c_str(), shownName.c_str() + shownName.size() + 1, name);
    *nameLength = static_cast<unsigned long>(shownName.size());
    if (type) *type = value.type;
    if (data) std::memcpy(data, bytes.data(), size);
    if (dataLength) *dataLength = size;
    return hl::kErrorSuccess;
}

long MemoryRegistry::Query(hl::RegHandle handle, const std::u16string& name, bool ansi, unsigned long* type,
                           unsigned char* data, unsigned long* dataLength) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    auto it = Find(*key, name);
    if (it == key->values.end()) return hl::kErrorFileNotFound;
    const std::string bytes = ansi && IsString(it->type) ? ToCodePage(m_page, drive::Utf16Units(it->data)) : it->data;
    const unsigned long size = static_cast<unsigned long>(bytes.size());
    if (type) *type = it->type;
    const unsigned long room = dataLength ? *dataLength : 0;
    if (dataLength) *dataLength = size;
    if (!data) return hl::kErrorSuccess;
    if (size > room) return hl::kErrorMoreData;
    std::memcpy(data, bytes.data(), size);
    return hl::kErrorSuccess;
}

long MemoryRegistry::Remove(const std::string& path, bool tree) {
    const std::string folded = Folded(path), below = folded + "\\";
    if (!m_keys.count(folded)) return hl::kErrorFileNotFound;
    auto first = m_keys.lower_bound(below), last = first;
    while (last != m_keys.end() && last->first.rfind(below, 0) == 0) ++last;
    if (first != last && !tree) return hl::kErrorAccessDenied;  // as Windows answers for a key with subkeys
    for (auto it = first; it != last; ++it) it->second->deleted = true;  // handles still open on them now fail
    m_keys.erase(first, last);
    m_keys[folded]->deleted = true;
    m_keys.erase(folded);
    return hl::kErrorSuccess;
}

long MemoryRegistry::RegSetValueExA(hl::RegHandle handle, const char* name, unsigned long, unsigned long type,
                                    const unsigned char* data, unsigned long size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (IsString(type)) bytes = drive::Utf16Bytes(FromCodePage(m_page, bytes));
    return RegSetValueExW(handle, FromCodePage(m_page, name).c_str(), 0, type,
                          reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
}

long MemoryRegistry::RegSetValueExW(hl::RegHandle handle, const char16_t* name, unsigned long, unsigned long type,
                                    const unsigned char* data, unsigned long size) {
    Key* key = nullptr;
    if (const long status = Resolve(handle, key)) return status;
    Store(*key, name, type, std::string(reinterpret_cast<const char*>(data), size));
    return hl::kErrorSuccess;
}

unsigned MemoryRegistry::GetProfileIntA(const char* section, const char* entry, int defaultValue) {
    auto key = m_keys.find(Folded(std::string(hl::kProfileKey) + "\\" + section));
    if (key == m_keys.end()) return static_cast<unsigned>(defaultValue);
    auto value = Find(*key->second, FromCodePage(m_page, entry));
    if (value == key->second->values.end() || value->type != hl::kRegDword || value->data.size() != 4)
        return static_cast<unsigned>(defaultValue);
    std::uint32_t number = 0;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}

bool MemoryRegistry::WriteProfileInt(const char* section, const char* entry, int value) {
    hl::RegHandle key = Open(std::string(hl::kProfileKey) + "\\" + section, true);
    const std::uint32_t number = static_cast<std::uint32_t>(value);
    RegSetValueExA(key, entry, 0, hl::kRegDword, reinterpret_cast<const unsigned char*>(&number), 4);
    return RegCloseKey(key) == hl::kErrorSuccess;
}

}  // namespace hltest
