#include "support/Values.h"

#include <algorithm>
#include <iterator>

#include "support/MemoryRegistry.h"

namespace hltest {

std::vector<RegValue> ReadKey(hl::IRegistry& registry, const std::string& path, bool* exists, bool* complete) {
    std::vector<RegValue> values;
    hl::RegHandle key = nullptr;
    const bool opened = registry.RegOpenKeyExA(path.c_str(), 0, hl::kKeyAllAccess, &key) == hl::kErrorSuccess;
    if (exists) *exists = opened;
    long result = hl::kErrorNoMoreItems;
    std::string name(1 << 12, '\0'), data(1 << 12, '\0');
    for (unsigned long nameLength, dataLength, type = 0; opened;) {
        nameLength = static_cast<unsigned long>(name.size()), dataLength = static_cast<unsigned long>(data.size());
        result = registry.RegEnumValueA(key, static_cast<unsigned long>(values.size()), &name[0], &nameLength, &type,
                                        reinterpret_cast<unsigned char*>(&data[0]), &dataLength);
        if (result == hl::kErrorMoreData && dataLength > data.size()) data.resize(dataLength);  // a long value: again, with room
        else if (result != hl::kErrorSuccess) break;
        else values.push_back({name.substr(0, nameLength), type, data.substr(0, dataLength)});
    }
    if (complete) *complete = result == hl::kErrorNoMoreItems;
    if (opened) registry.RegCloseKey(key);
    return values;
}

std::vector<WideValue> SortedWide(std::vector<WideValue> values) {
    std::sort(values.begin(), values.end(),
              [](const WideValue& a, const WideValue& b) { return FoldedWide(a.name) < FoldedWide(b.name); });
    return values;
}

std::vector<RegValue> Numbered(std::size_t count) {
    std::vector<RegValue> values;
    for (std::size_t i = 1; i <= count; ++i)
        values.push_back(Sz("url" + std::to_string(i), "http://site" + std::to_string(i) + "/"));
    return values;
}

std::string ShownText(const std::string& data) {
    return data.substr(0, std::min<std::size_t>(data.find('\0'), hl::kTextBuffer - 1));
}

bool Fits(const RegValue& value, CodePage page) {
    const std::string text = ShownText(value.data);
    return value.name.size() < hl::kTextBuffer && value.data.size() <= hl::kTextBuffer &&
           ToCodePage(page, FromCodePage(page, text)) == text;
}

bool NumberedUrlName(const std::string& name) {
    const std::string folded = Folded(name);
    return folded.size() > 3 && folded.compare(0, 3, "url") == 0 &&
           folded.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::vector<RegValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RegValue>& enumerated,
                                  CodePage page) {
    std::vector<RegValue> key;
    for (const Row& row : rows) {
        RegValue value = Sz("", row.address);
        for (const RegValue& source : enumerated)
            if (source.name == row.name && Fits(source, page) && ShownText(source.data) == row.address) value = source;
        value.name = "url" + std::to_string(key.size() + 1);
        key.push_back(value);
    }
    std::size_t number = rows.size();
    for (RegValue value : Unshown(enumerated, page)) {
        if (NumberedUrlName(value.name)) value.name = "url" + std::to_string(++number);
        key.push_back(value);
    }
    return key;
}

std::vector<RegValue> Unshown(const std::vector<RegValue>& enumerated, CodePage page) {
    std::vector<RegValue> unshown;
    std::copy_if(enumerated.begin(), enumerated.end(), std::back_inserter(unshown),
                 [page](const RegValue& value) { return !Fits(value, page); });
    return unshown;
}

std::vector<RegValue> Sorted(std::vector<RegValue> values) {
    std::sort(values.begin(), values.end(),
              [](const RegValue& a, const RegValue& b) { return Folded(a.name) < Folded(b.name); });
    return values;
}

std::string ListField(const std::string& text) {
    std::string field;
    for (char c : text) field += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return field;
}

}  // namespace hltest
