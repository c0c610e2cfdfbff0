#include "KeyValues.h"

#include <algorithm>

#include "ProgramNames.h"

namespace hl {

namespace {

constexpr unsigned long kMaxName = 16384;                   // the registry's limit on names, with the zero
constexpr unsigned long kMaxDataBuffer = 64ul * 1024 * 1024;  // far past any real address list

// Reads through buffers that a whole key's reading shares. Room for what the browser
// writes; a larger name or value grows its buffer. The platform copies through
// buffers of the size it is given, so they start small.
long ReadAt(IRegistry& registry, RegHandle key, unsigned long index, StoredValue& value, std::u16string& name,
            std::string& data) {
    if (name.empty()) name.assign(kTextBuffer, u'\0');
    if (data.empty()) data.assign(2 * kTextBuffer, '\0');
    for (;;) {
        unsigned long nameLength = static_cast<unsigned long>(name.size());
        unsigned long dataLength = static_cast<unsigned long>(data.size());
        unsigned long type = kRegNone;
        const long result = registry.RegEnumValueW(key, index, &name[0], &nameLength, &type,
                                                   reinterpret_cast<unsigned char*>(&data[0]), &dataLength);
        if (result == kErrorMoreData) {
            // The data length, when it is given, is the size needed; otherwise the
            // name is what did not fit. Grow and read the same index again.
            if (dataLength > data.size() && dataLength <= kMaxDataBuffer) data.resize(dataLength);
            else if (name.size() < kMaxName) name.resize(std::min<std::size_t>(name.size() * 4, kMaxName));
            else return result;
            continue;
        }
        if (result != kErrorSuccess) return result;
        value.name.assign(name.data(), std::min<std::size_t>(nameLength, name.size() - 1));
        value.type = type;
        value.data.assign(data.data(), std::min<std::size_t>(dataLength, data.size()));
        return result;
    }
}

}  // namespace

long ReadValueAt(IRegistry& registry, RegHandle key, unsigned long index, StoredValue& value) {
    std::u16string name;
    std::string data;
    return ReadAt(registry, key, index, value, name, data);
}

bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values) {
    values.clear();
    std::u16string name;
    std::string data;
    for (unsigned long index = 0;; ++index) {
        StoredValue value;
        const long result = ReadAt(registry, key, index, value, name, data);
        if (result == kErrorNoMoreItems) return true;
        if (result != kErrorSuccess) return false;
        values.push_back(std::move(value));
    }
}

long QueryValue(IRegistry& registry, RegHandle key, const std::u16string& name, unsigned long& type,
                std::string& data) {
    for (unsigned long size = 2 * kTextBuffer;;) {
        data.assign(size, '\0');
        const unsigned long room = size;
        const long result = registry.RegQueryValueExW(key, name.c_str(), &type,
                                                      room ? reinterpret_cast<unsigned char*>(&data[0]) : nullptr,
                                                      &size);
        // Asked without room, or given too little, it says how much the value needs.
        if ((result == kErrorSuccess && room == 0 && size > 0) || (result == kErrorMoreData && size > room)) {
            if (size > kMaxDataBuffer) return kErrorMoreData;
            continue;
        }
        if (result != kErrorSuccess) return result;
        data.resize(std::min(size, room));
        return result;
    }
}

long StoreValue(IRegistry& registry, RegHandle key, const StoredValue& value) {
    return registry.RegSetValueExW(key, value.name.c_str(), 0, value.type,
                                   reinterpret_cast<const unsigned char*>(value.data.data()),
                                   static_cast<unsigned long>(value.data.size()));
}

bool ReplaceValues(IRegistry& registry, RegHandle key, const std::vector<StoredValue>& old,
                   const std::vector<StoredValue>& values) {
    bool done = true;
    for (const StoredValue& value : old) {
        const long result = registry.RegDeleteValueW(key, value.name.c_str());
        if (result != kErrorSuccess && result != kErrorFileNotFound) done = false;
    }
    for (const StoredValue& value : values) done = StoreValue(registry, key, value) == kErrorSuccess && done;
    return done;
}

bool HoldsBrokenText(const StoredValue& value) {
    if (value.type != kRegSz && value.type != kRegExpandSz && value.type != kRegMultiSz) return false;
    bool high = false;  // the last unit began a pair
    for (const char16_t unit : UnitsOf(value.data)) {
        const bool opens = unit >= 0xD800 && unit < 0xDC00, closes = unit >= 0xDC00 && unit < 0xE000;
        if (high != closes) return true;
        high = opens;
    }
    return high;
}

bool IsNumberedUrlName(const std::u16string& name) {
    constexpr std::size_t prefix = sizeof kUrlValuePrefix - 1;
    if (name.size() <= prefix) return false;
    if (FoldedName(name.substr(0, prefix)) != Widened(kUrlValuePrefix)) return false;  // case-blind, as the registry
    return std::all_of(name.begin() + prefix, name.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

unsigned long UrlNumber(const std::u16string& name) {
    if (!IsNumberedUrlName(name)) return 0;
    unsigned long number = 0;
    for (std::size_t i = sizeof kUrlValuePrefix - 1; i < name.size(); ++i) {
        if (number > 99999999ul) return 0;
        number = number * 10 + static_cast<unsigned long>(name[i] - u'0');
    }
    return number;
}

namespace {
template <typename Text>
Text FoldedAscii(Text text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<typename Text::value_type>(c - 'A' + 'a');
    return text;
}
}  // namespace

std::u16string FoldedName(std::u16string name) { return FoldedAscii(std::move(name)); }
std::string FoldedName(std::string name) { return FoldedAscii(std::move(name)); }

std::u16string Widened(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string NameBytes(const std::u16string& name) {
    std::string bytes;
    for (char16_t unit : name) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

std::u16string UnitsOf(const std::string& bytes) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    return units;
}

std::u16string StringText(const std::string& data) {
    std::u16string text = UnitsOf(data);
    return text.substr(0, text.find(u'\0'));
}

}  // namespace hl
