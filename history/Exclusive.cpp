// Operations that run alone: the writer lock, taken for the outermost one and
// found held by those it runs (a pruning remembers the marks, a close removes
// rows, each under the lock it already holds). Its depth is counted here alone;
// the lock itself is taken and given back once each time.
#include "TypedUrlHistory.h"

namespace hl {

bool CTypedUrlHistory::TakeLock() {
    if (m_lockDepth == 0 && m_lock && !m_lock->Lock()) return false;
    ++m_lockDepth;
    return true;
}

void CTypedUrlHistory::GiveLock() {
    if (--m_lockDepth == 0 && m_lock) m_lock->Unlock();
}

}  // namespace hl
