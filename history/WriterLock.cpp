// Taking and giving back the writer lock, and the close that holds it until the rows are gone.
#include "TypedUrlHistory.h"

namespace hl {

bool CTypedUrlHistory::TakeLock() {
    // The lock is taken once for the outermost operation: a pruning remembers
    // the marks, a close removes rows, each under the lock it already holds.
    if (m_lockDepth == 0 && m_lock && !m_lock->Lock()) return false;
    ++m_lockDepth;
    return true;
}

void CTypedUrlHistory::GiveLock() {
    if (--m_lockDepth == 0 && m_lock) m_lock->Unlock();
}

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

}  // namespace hl
