// What the browser's keys hold for a row now: the value it stands for, and the
// browser's stamp of when its address was last typed.
#include <cstring>

#include "KeyValues.h"
#include "ProgramNames.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"

namespace hl {

bool CTypedUrlHistory::LastTyped(int row, std::uint64_t& fileTime) {
    const StoredValue* loaded = Loaded(row);
    if (!loaded) return false;
    // A value the browser has since given another address has no stamp of this row's.
    ScopedKey urls(m_registry);
    unsigned long type = kRegNone;
    std::string data;
    if (urls.Open(kTypedUrlsKey) != kErrorSuccess ||
        QueryValue(m_registry, urls.get(), loaded->name, type, data) != kErrorSuccess || type != loaded->type ||
        data != loaded->data)
        return false;
    urls.Close();
    ScopedKey times(m_registry);
    std::string stamp;
    // The browser stores a FILETIME of 8 bytes; anything else, or no time at all, is no stamp.
    if (times.Open(kTypedUrlsTimeKey) != kErrorSuccess ||
        QueryValue(m_registry, times.get(), loaded->name, type, stamp) != kErrorSuccess ||
        stamp.size() != sizeof fileTime)
        return false;
    std::memcpy(&fileTime, stamp.data(), sizeof fileTime);
    return fileTime != 0;
}

}  // namespace hl
