#include "support/Values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "support/MemoryRegistry.h"

namespace hltest {

std::ostream& operator<<(std::ostream& out, const RawValue& value) {
    using testing::PrintToString;
    return out << "{" << PrintToString(value.name) << " type " << value.type << " " << PrintToString(value.data) << "}";
}

std::ostream& operator<<(std::ostream& out, const Row& row) {
    using testing::PrintToString;
    return out << "{" << PrintToString(row.address) << " " << PrintToString(row.name)
               << (row.checked ? " checked}" : "}");
}

std::ostream& operator<<(std::ostream& out, const WideValue& value) {
    using testing::PrintToString;
    return out << "{" << PrintToString(ToCodePage(CodePage::Utf8, value.name)) << " type " << value.type << " "
               << PrintToString(value.data) << "}";
}

WideValue WideSz(const std::u16string& name, const std::u16string& text) {
    std::string data;
    for (char16_t c : text + u'\0') {
        data += static_cast<char>(c & 0xFF);
        data += static_cast<char>(c >> 8);
    }
    return {name, hl::kRegSz, data};
}

std::vector<WideValue> SortedWide(std::vector<WideValue> values) {
    std::sort(values.begin(), values.end(),
              [](const WideValue& a, const WideValue& b) { return FoldedWide(a.name) < FoldedWide(b.name); });
    return values;
}

RawValue Sz(const std::string& name, const std::string& text) { return {name, hl::kRegSz, text + '\0'}; }

RawValue Dword(const std::string& name, unsigned number) {
    return {name, hl::kRegDword, std::string(reinterpret_cast<const char*>(&number), 4)};
}

std::vector<RawValue> Numbered(std::size_t count) {
    std::vector<RawValue> values;
    for (std::size_t i = 1; i <= count; ++i)
        values.push_back(Sz("url" + std::to_string(i), "http://site" + std::to_string(i) + "/"));
    return values;
}

std::string ShownText(const std::string& data) {
    return data.substr(0, std::min<std::size_t>(data.find('\0'), hl::kTextBuffer - 1));
}

bool Fits(const RawValue& value, CodePage page) {
    const std::string text = ShownText(value.data);
    return value.name.size() < hl::kTextBuffer && value.data.size() <= hl::kTextBuffer &&
           ToCodePage(page, FromCodePage(page, text)) == text;
}

bool NumberedUrlName(const std::string& name) {
    const std::string folded = Folded(name);
    return folded.size() > 3 && folded.compare(0, 3, "url") == 0 &&
           folded.find_first_not_of("0123456789", 3) == std::string::npos;
}

std::vector<RawValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RawValue>& enumerated,
                                  CodePage page) {
    std::vector<RawValue> key;
    for (const Row& row : rows) {
        RawValue value = Sz("", row.address);
        for (const RawValue& source : enumerated)
            if (source.name == row.name && Fits(source, page) && ShownText(source.data) == row.address) value = source;
        value.name = "url" + std::to_string(key.size() + 1);
        key.push_back(value);
    }
    std::size_t number = rows.size();
    for (RawValue value : Unshown(enumerated, page)) {
        if (NumberedUrlName(value.name)) value.name = "url" + std::to_string(++number);
        key.push_back(value);
    }
    return key;
}

std::vector<RawValue> Unshown(const std::vector<RawValue>& enumerated, CodePage page) {
    std::vector<RawValue> unshown;
    std::copy_if(enumerated.begin(), enumerated.end(), std::back_inserter(unshown),
                 [page](const RawValue& value) { return !Fits(value, page); });
    return unshown;
}

std::vector<RawValue> Sorted(std::vector<RawValue> values) {
    std::sort(values.begin(), values.end(),
              [](const RawValue& a, const RawValue& b) { return Folded(a.name) < Folded(b.name); });
    return values;
}

}  // namespace hltest
