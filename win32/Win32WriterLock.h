// The writer lock as a named mutex in the session's namespace: every copy of the
// program that the user runs in this session sees the same one.
#pragma once

#include "WriterLock.h"

namespace hl {

class Win32WriterLock final : public IWriterLock {
public:
    // waitMs: how long Lock waits for another copy before it gives up.
    Win32WriterLock(const char* name, unsigned long waitMs);
    ~Win32WriterLock();
    Win32WriterLock(const Win32WriterLock&) = delete;
    Win32WriterLock& operator=(const Win32WriterLock&) = delete;

    bool Lock() override;
    void Unlock() override;

private:
    void* m_mutex;  // null when it could not be made: no copy then gets the lock
    unsigned long m_waitMs;
    int m_held = 0;
};

}  // namespace hl
