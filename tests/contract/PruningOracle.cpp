#include "contract/PruningOracle.h"

#include <algorithm>
#include <cctype>

#include "ScopedKey.h"

namespace hltest {

void NaiveScan(hl::IRegistry& registry, hl::IAddressList& list) {
    for (int i = 0; i < list.GetItemCount();) {
        if (list.GetCheck(i)) {
            ++i;
            continue;
        }
        const std::string name = list.GetItemText(i, 1);
        hl::ScopedKey key(registry);
        if (key.Open(hl::kTypedUrlsKey) != hl::kErrorSuccess) {
            ++i;
            continue;
        }
        registry.RegDeleteValueA(key.get(), name.c_str());
        key.Close();
        list.DeleteItem(i);
        i = 0;
    }
}

std::vector<RawValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RawValue>& unshown) {
    std::vector<RawValue> key;
    for (const Row& row : rows) key.push_back(Sz("url" + std::to_string(key.size() + 1), row.address));
    for (RawValue value : unshown) {
        const bool numbered = value.name.size() > 3 &&
                              std::equal(value.name.begin(), value.name.begin() + 3, "url",
                                         [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }) &&
                              std::all_of(value.name.begin() + 3, value.name.end(),
                                          [](char c) { return c >= '0' && c <= '9'; });
        if (numbered) value.name = "url" + std::to_string(key.size() + 1);
        key.push_back(value);
    }
    return key;
}

std::vector<RawValue> Unshown(const std::vector<RawValue>& enumerated) {
    std::vector<RawValue> unshown;
    for (const RawValue& value : enumerated)
        if (!Fits(value)) unshown.push_back(value);
    return unshown;
}

std::vector<RawValue> Sorted(std::vector<RawValue> values) {
    auto folded = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::sort(values.begin(), values.end(),
              [&](const RawValue& a, const RawValue& b) { return folded(a.name) < folded(b.name); });
    return values;
}

}  // namespace hltest
