#include "KeyValues.h"

#include <algorithm>

#include "ProductNames.h"
#include "ValueText.h"

namespace hl {

namespace {

constexpr unsigned long kMaxName = 16384;                   // the registry's limit on names, with the zero
constexpr unsigned long kMaxDataBuffer = 64ul * 1024 * 1024;  // far past any real address list

// Every value in its wide form and, if asked, as the list shows it.
bool ReadValues(IRegistry& registry, RegHandle key, bool listed, std::vector<ListedValue>& values) {
    values.clear();
    // Room for what the browser writes; a larger name or value grows its buffer. The
    // platform copies through buffers of the size it is given, so they start small.
    std::u16string name(kTextBuffer, u'\0');
    std::string data(2 * kTextBuffer, '\0');
    char shownName[kTextBuffer];
    unsigned char shownData[kTextBuffer];
    for (unsigned long index = 0;;) {
        unsigned long nameLength = static_cast<unsigned long>(name.size());
        unsigned long dataLength = static_cast<unsigned long>(data.size());
        unsigned long type = kRegNone;
        const long result = registry.RegEnumValueW(key, index, &name[0], &nameLength, &type,
                                                   reinterpret_cast<unsigned char*>(&data[0]), &dataLength);
        if (result == kErrorNoMoreItems) return true;
        if (result == kErrorMoreData) {
            // The data length, when it is given, is the size needed; otherwise the
            // name is what did not fit. Grow and read the same index again.
            if (dataLength > data.size() && dataLength <= kMaxDataBuffer) data.resize(dataLength);
            else if (name.size() < kMaxName) name.resize(std::min<std::size_t>(name.size() * 4, kMaxName));
            else return false;
            continue;
        }
        if (result != kErrorSuccess) return false;

        ListedValue value;
        value.value.name.assign(name.data(), std::min<std::size_t>(nameLength, name.size() - 1));
        value.value.type = type;
        value.value.data.assign(data.data(), std::min<std::size_t>(dataLength, data.size()));
        ++index;
        if (!listed) {
            values.push_back(std::move(value));
            continue;
        }

        unsigned long shownNameLength = kTextBuffer;
        unsigned long shownDataLength = kTextBuffer;
        const long shown = registry.RegEnumValueA(key, index - 1, shownName, &shownNameLength, nullptr, shownData,
                                                  &shownDataLength);
        // Only a value too long for the list is one it cannot show; any other
        // answer leaves unknown which row the value stands for.
        if (shown != kErrorSuccess && shown != kErrorMoreData) return false;
        if (shown == kErrorSuccess) {
            value.shown = true;
            value.name.assign(shownName, std::min(shownNameLength, kTextBuffer - 1));
            value.name.resize(std::find(value.name.begin(), value.name.end(), '\0') - value.name.begin());
            value.text = ValueText(shownData, std::min(shownDataLength, kTextBuffer));
        }
        values.push_back(std::move(value));
    }
}

}  // namespace

bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values) {
    std::vector<ListedValue> read;
    if (!ReadValues(registry, key, false, read)) return false;
    values.clear();
    for (ListedValue& value : read) values.push_back(std::move(value.value));
    return true;
}

bool ReadListedValues(IRegistry& registry, RegHandle key, std::vector<ListedValue>& values) {
    return ReadValues(registry, key, true, values);
}

bool QueryValue(IRegistry& registry, RegHandle key, const std::u16string& name, unsigned long& type,
                std::string& data) {
    for (unsigned long size = 0;;) {
        data.assign(size, '\0');
        const unsigned long room = size;
        const long result = registry.RegQueryValueExW(key, name.c_str(), &type,
                                                      room ? reinterpret_cast<unsigned char*>(&data[0]) : nullptr,
                                                      &size);
        // Asked without room, or given too little, it says how much the value needs.
        if ((result == kErrorSuccess && room == 0 && size > 0) || (result == kErrorMoreData && size > room)) {
            if (size > kMaxDataBuffer) return false;
            continue;
        }
        if (result != kErrorSuccess) return false;
        data.resize(std::min(size, room));
        return true;
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

bool IsNumberedUrlName(const std::u16string& name) {
    constexpr std::size_t prefix = sizeof kUrlValuePrefix - 1;
    if (name.size() <= prefix) return false;
    for (std::size_t i = 0; i < prefix; ++i)  // case-blind, as the registry compares names
        if ((name[i] | 0x20) != kUrlValuePrefix[i]) return false;
    return std::all_of(name.begin() + prefix, name.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::u16string Widened(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace hl
