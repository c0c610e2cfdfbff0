// The close: the marks written under the writer lock, which is kept until the rows are gone.
#include "TypedUrlHistory.h"

namespace hl {

bool CTypedUrlHistory::BeginClose() {
    if (m_closing) return true;
    if (!TakeLock()) {
        ShowMessage(kBusyMessage);
        return false;
    }
    m_closing = true;
    OnCloseBegun();
    RememberChecks();
    return true;
}

void CTypedUrlHistory::EndClose() {
    if (!m_closing) return;
    m_closing = false;
    GiveLock();
}

bool CTypedUrlHistory::Close() {
    if (!BeginClose()) return false;
    m_list.DeleteAllItems();  // each row reports its removal, its mark remembered again
    EndClose();
    return true;
}

}  // namespace hl
