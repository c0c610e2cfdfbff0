#include "contract/PruningOracle.h"

#include "ProductNames.h"
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

}  // namespace hltest
