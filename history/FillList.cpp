// Loading the address list from the browser's key, and the memory of check marks.
#include <algorithm>
#include <cstring>

#include "Journal.h"
#include "ProductNames.h"
#include "RedrawSuspended.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"
#include "ValueText.h"

namespace hl {

namespace {

// Results that say the key itself can no longer be read: no later index will do better.
bool KeyIsGone(long result) {
    return result == kErrorKeyDeleted || result == kErrorInvalidHandle ||
           result == kErrorAccessDenied || result == kErrorBadKey;
}

// A last guard for a registry that fails every index in a way we do not know.
constexpr int kMaxConsecutiveFailures = 16;
// The browser keeps a few dozen addresses; a thousand in a row that do not fit
// is a registry that will not end its enumeration.
constexpr int kMaxConsecutiveOversize = 1024;

}  // namespace

void CTypedUrlHistory::FillList() {
    // A copy that is rewriting the keys or writing its marks is waited for; one
    // that goes on too long is left to it: nothing is loaded, nor recovered.
    const Exclusive exclusive(*this);
    m_lockedOut = !exclusive;
    if (m_lockedOut) {
        ShowMessage(kBusyMessage);
        return;
    }

    // A rewrite that the end of the process cut off is undone before anything is shown.
    RecoverFromJournal(m_registry);

    RedrawSuspended quiet(m_list);
    m_list.DeleteAllItems();

    ScopedKey key(m_registry);
    if (key.Open(kTypedUrlsKey) != kErrorSuccess) return;

    char name[kTextBuffer];
    unsigned char data[kTextBuffer];
    int failures = 0;
    int oversize = 0;
    for (unsigned long index = 0;; ++index) {
        unsigned long nameLength = kTextBuffer;
        unsigned long dataLength = kTextBuffer;
        const long result =
            m_registry.RegEnumValueA(key.get(), index, name, &nameLength, nullptr, data, &dataLength);
        if (result == kErrorNoMoreItems || KeyIsGone(result)) break;
        if (result != kErrorSuccess) {
            // A value whose name or data does not fit is skipped; anything else
            // counts towards giving up.
            if (result == kErrorMoreData ? ++oversize >= kMaxConsecutiveOversize
                                         : ++failures >= kMaxConsecutiveFailures)
                break;
            continue;
        }
        failures = 0;
        oversize = 0;
        name[std::min(nameLength, kTextBuffer - 1)] = '\0';
        const std::string address = ValueText(data, std::min(dataLength, kTextBuffer));

        const int row = m_list.InsertItem(0, address.c_str());
        if (row < 0) continue;
        // Bytes that are no text in the code page come back from the list as
        // other characters: the row would stand for an address that is not the
        // value's. Such a value is left out, and kept, like one too long to show.
        if (m_list.GetItemText(row, 0) != address) {
            m_discarding = true;
            m_list.DeleteItem(row);
            m_discarding = false;
            continue;
        }
        m_list.SetItemText(row, 1, name);
        if (m_registry.GetProfileIntA(kSection, address.c_str(), 0) == 1) m_list.SetCheck(row, true);
    }
}

void CTypedUrlHistory::OnDeleteItemList(const RowNotice* notification, std::intptr_t* result) {
    if (!m_discarding) RememberCheck(notification->iItem);
    *result = 0;
}

void CTypedUrlHistory::RememberChecks() {
    // Marks written beside another copy's would leave a mix of both.
    const Exclusive exclusive(*this);
    if (!exclusive) return;
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) RememberCheck(row);
}

void CTypedUrlHistory::RememberCheck(int row) {
    const std::string address = m_list.GetItemText(row, 0);
    m_registry.WriteProfileInt(kSection, address.c_str(), m_list.GetCheck(row) ? 1 : 0);
}

}  // namespace hl
