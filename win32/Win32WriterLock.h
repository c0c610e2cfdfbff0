// A lock as a named mutex of the user's: the user's keys are the same in every
// session, so the name lives in the global namespace and carries the user's SID
// (Global\<name>.<SID>), and only the user may open it. Every copy the user
// runs, in any session, sees the same one.
#pragma once

#include <string>

#include "WriterLock.h"

namespace hl {

class Win32WriterLock final : public IWriterLock {
public:
    // name: the lock's own part of the name; waitMs: how long Lock waits for
    // another copy before it gives up.
    Win32WriterLock(const char* name, unsigned long waitMs);
    ~Win32WriterLock();
    Win32WriterLock(const Win32WriterLock&) = delete;
    Win32WriterLock& operator=(const Win32WriterLock&) = delete;

    bool Lock() override;
    void Unlock() override;

private:
    void* m_mutex;  // null when it could not be made: no copy then gets the lock
    unsigned long m_waitMs;
    bool m_held = false;
};

}  // namespace hl
