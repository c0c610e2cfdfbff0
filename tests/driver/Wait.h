// Polling with a deadline: the program under test runs in another process, so
// every observation is "sooner or later, or never within reason".
#pragma once

#include <windows.h>

namespace drive {

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = 20) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(pollMs);
    }
}

}  // namespace drive
