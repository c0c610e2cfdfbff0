// A top-level window of the browser's frame class, as a running Internet
// Explorer would show, kept by a thread of its own that answers its messages.
#pragma once

#include <windows.h>

#include <thread>

namespace drive {

class FakeBrowserWindow {
public:
    FakeBrowserWindow();
    ~FakeBrowserWindow();
    FakeBrowserWindow(const FakeBrowserWindow&) = delete;
    FakeBrowserWindow& operator=(const FakeBrowserWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }

private:
    void Run();

    HANDLE m_ready;
    HWND m_hwnd = nullptr;
    DWORD m_threadId = 0;
    std::thread m_thread;
};

}  // namespace drive
