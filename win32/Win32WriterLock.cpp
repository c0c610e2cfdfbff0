#include "Win32WriterLock.h"

#include <windows.h>

namespace hl {

Win32WriterLock::Win32WriterLock(const char* name, unsigned long waitMs)
    : m_mutex(::CreateMutexA(nullptr, FALSE, name)), m_waitMs(waitMs) {}

Win32WriterLock::~Win32WriterLock() {
    // A mutex stays owned by its thread after its handle is closed: give it back first.
    while (m_held > 0) Unlock();
    if (m_mutex) ::CloseHandle(m_mutex);
}

bool Win32WriterLock::Lock() {
    if (!m_mutex) return false;
    // Abandoned: the copy that held it ended without giving it back, perhaps in
    // the middle of a rewrite, whose journal is then ours to put back.
    const DWORD waited = ::WaitForSingleObject(m_mutex, m_waitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
    ++m_held;
    return true;
}

void Win32WriterLock::Unlock() {
    if (m_held == 0) return;
    --m_held;
    ::ReleaseMutex(m_mutex);
}

}  // namespace hl
