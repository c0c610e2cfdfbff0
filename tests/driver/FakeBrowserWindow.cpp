#include "FakeBrowserWindow.h"

namespace drive {

namespace {

constexpr const char kFrameClass[] = "IEFrame";

}  // namespace

FakeBrowserWindow::FakeBrowserWindow() : m_ready(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    m_thread = std::thread([this] { Run(); });
    WaitForSingleObject(m_ready, 5000);
}

FakeBrowserWindow::~FakeBrowserWindow() {
    if (m_threadId) PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
    if (m_thread.joinable()) m_thread.join();
    CloseHandle(m_ready);
}

void FakeBrowserWindow::Run() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a queue before anyone posts to it
    m_threadId = GetCurrentThreadId();

    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszClassName = kFrameClass;
    RegisterClassA(&frameClass);
    m_hwnd = CreateWindowExA(0, kFrameClass, "Internet Explorer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                             nullptr, nullptr, frameClass.hInstance, nullptr);
    SetEvent(m_ready);

    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (m_hwnd) DestroyWindow(m_hwnd);
    UnregisterClassA(kFrameClass, frameClass.hInstance);
}

}  // namespace drive
