#include "contract/PruningOracle.h"

#include <algorithm>
#include <iterator>

#include "ScopedKey.h"
#include "support/MemoryRegistry.h"

namespace hltest {

void NaiveScan(hl::IRegistry& registry, hl::IAddressList& list) {
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (list.GetCheck(i)) continue;
        const std::string name = list.GetItemText(i, 1);
        hl::ScopedKey key(registry);
        const long opened = key.Open(hl::kTypedUrlsKey);
        if (opened != hl::kErrorSuccess && opened != hl::kErrorFileNotFound) continue;
        if (key) registry.RegDeleteValueA(key.get(), name.c_str());
        key.Close();
        list.DeleteItem(i);
        i = -1;
    }
}

std::vector<RawValue> ExpectedKey(const std::vector<Row>& rows, const std::vector<RawValue>& unshown) {
    std::vector<RawValue> key;
    for (const Row& row : rows) key.push_back(Sz("url" + std::to_string(key.size() + 1), row.address));
    for (RawValue value : unshown) {
        const std::string name = Folded(value.name);
        if (name.size() > 3 && name.compare(0, 3, "url") == 0 &&
            name.find_first_not_of("0123456789", 3) == std::string::npos)
            value.name = "url" + std::to_string(key.size() + 1);
        key.push_back(value);
    }
    return key;
}

std::vector<RawValue> Unshown(const std::vector<RawValue>& enumerated) {
    std::vector<RawValue> unshown;
    std::copy_if(enumerated.begin(), enumerated.end(), std::back_inserter(unshown),
                 [](const RawValue& value) { return !Fits(value); });
    return unshown;
}

std::vector<RawValue> Sorted(std::vector<RawValue> values) {
    std::sort(values.begin(), values.end(),
              [](const RawValue& a, const RawValue& b) { return Folded(a.name) < Folded(b.name); });
    return values;
}

}  // namespace hltest
