// The writer lock in memory. Every lock made over one mutex stands for a copy of
// the program; like the platform's named mutex, the lock is owned by a thread, so
// a copy that runs on another thread is kept out while this one holds it.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "WriterLock.h"

namespace hltest {

class MemoryLock final : public hl::IWriterLock {
public:
    MemoryLock(std::shared_ptr<std::recursive_timed_mutex> mutex, unsigned long waitMs)
        : m_mutex(std::move(mutex)), m_waitMs(waitMs) {}
    ~MemoryLock() {
        while (m_held > 0) Unlock();
    }

    bool Lock() override {
        if (!m_mutex->try_lock_for(std::chrono::milliseconds(m_waitMs))) return false;
        ++m_held;
        return true;
    }
    void Unlock() override {
        if (m_held == 0) return;
        --m_held;
        m_mutex->unlock();
    }

private:
    std::shared_ptr<std::recursive_timed_mutex> m_mutex;
    unsigned long m_waitMs;
    int m_held = 0;
};

}  // namespace hltest
