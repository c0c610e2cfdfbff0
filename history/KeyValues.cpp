#include "KeyValues.h"

#include <algorithm>
#include <cctype>

namespace hl {

namespace {

constexpr unsigned long kMaxNameBuffer = 16384;            // the registry's limit on names
constexpr unsigned long kMaxDataBuffer = 64ul * 1024 * 1024;  // far past any real address list

}  // namespace

bool ReadAllValues(IRegistry& registry, RegHandle key, std::vector<StoredValue>& values) {
    values.clear();
    std::string name(kTextBuffer, '\0');
    std::string data(kTextBuffer, '\0');
    for (unsigned long index = 0;;) {
        unsigned long nameLength = static_cast<unsigned long>(name.size());
        unsigned long dataLength = static_cast<unsigned long>(data.size());
        unsigned long type = kRegNone;
        const long result = registry.RegEnumValueA(key, index, &name[0], &nameLength, &type,
                                                   reinterpret_cast<unsigned char*>(&data[0]),
                                                   &dataLength);
        if (result == kErrorNoMoreItems) return true;
        if (result == kErrorMoreData) {
            // The data length, when it is given, is the size needed; otherwise the
            // name may be what did not fit. Grow and read the same index again.
            if (dataLength > data.size() && dataLength <= kMaxDataBuffer) {
                data.resize(dataLength);
            } else if (name.size() < kMaxNameBuffer) {
                name.resize(std::min<std::size_t>(name.size() * 2, kMaxNameBuffer));
            } else if (data.size() < kMaxDataBuffer) {
                data.resize(std::min<std::size_t>(data.size() * 2, kMaxDataBuffer));
            } else {
                return false;
            }
            continue;
        }
        if (result != kErrorSuccess) return false;
        StoredValue value;
        value.name.assign(name.data(), std::min<std::size_t>(nameLength, name.size()));
        value.name.resize(std::find(value.name.begin(), value.name.end(), '\0') - value.name.begin());
        value.type = type;
        value.data.assign(data.data(), std::min<std::size_t>(dataLength, data.size()));
        values.push_back(std::move(value));
        ++index;
    }
}

long StoreValue(IRegistry& registry, RegHandle key, const StoredValue& value) {
    return registry.RegSetValueExA(key, value.name.c_str(), 0, value.type,
                                   reinterpret_cast<const unsigned char*>(value.data.c_str()),
                                   static_cast<unsigned long>(value.data.size()));
}

bool IsNumberedUrlName(const std::string& name) {
    if (name.size() < 4 || !SameValueName(name.substr(0, 3), "url")) return false;
    return std::all_of(name.begin() + 3, name.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool SameValueName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string FoldedValueName(const std::string& name) {
    std::string folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

}  // namespace hl
