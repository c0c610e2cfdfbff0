// A small driver for the run and screenshot scripts: starts the program and
// waits for its window, or sends a window a command or a key, from outside.
//   windowctl start <exe>                    prints the milliseconds until the main window
//                                            shows, then waits for the program to end
//   windowctl wait <caption> [ms]            waits until a window with that caption shows
//   windowctl gone <caption> [ms]            waits until no window with that caption is left
//   windowctl command <caption> <id>         posts the command of control <id>
//   windowctl syscommand <caption> <id>      posts a system command
//   windowctl key <caption> <virtual key>    posts a key press to the control with the focus
//   windowctl rect <caption>                 prints the window's place as WxH+X+Y
//   windowctl ieframe <ms>                   keeps a window of the browser's frame class open
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kListId = 1000;  // the main window is told from its message boxes by its list

struct Search {
    const char* caption;
    DWORD processId;  // 0: any process
    HWND found;
};

BOOL CALLBACK Visit(HWND hWnd, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    if (!::IsWindowVisible(hWnd)) return TRUE;
    char text[256] = "";
    ::GetWindowTextA(hWnd, text, sizeof text);
    if (std::strcmp(text, search->caption) != 0) return TRUE;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (search->processId && processId != search->processId) return TRUE;
    // Prefer the window with the list when several share the caption.
    if (!search->found || ::GetDlgItem(hWnd, kListId)) search->found = hWnd;
    return TRUE;
}

HWND Find(const char* caption, DWORD processId = 0) {
    Search search = {caption, processId, nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitFor(const char* caption, DWORD timeoutMs, DWORD processId = 0) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND found = Find(caption, processId)) return found;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        ::Sleep(5);
    }
}

int Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "windowctl: %s: %s\n", what, detail);
    return 1;
}

DWORD Number(const char* text) {
    return static_cast<DWORD>(std::strtoul(text, nullptr, 0));
}

int Start(const char* exe) {
    std::string commandLine = std::string("\"") + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, begin, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return Fail("cannot start", exe);
    const HWND window = WaitFor("Hedgeloom", 30000, process.dwProcessId);
    ::QueryPerformanceCounter(&end);
    ::CloseHandle(process.hThread);
    if (!window) {
        ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hProcess);
        return Fail("no main window from", exe);
    }
    std::printf("%.0f\n", 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
    std::fflush(stdout);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

int PostKey(HWND window, WORD key) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    HWND target = ::GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : window;
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    return 0;
}

// Stands in for a running browser: a top-level window of its frame class.
int BrowserFrame(DWORD lifetimeMs) {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = ::DefWindowProcA;
    frameClass.hInstance = ::GetModuleHandleA(nullptr);
    frameClass.lpszClassName = "IEFrame";
    if (!::RegisterClassA(&frameClass)) return Fail("cannot register", "IEFrame");
    HWND frame = ::CreateWindowA("IEFrame", "Browser", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                 nullptr, frameClass.hInstance, nullptr);
    if (!frame) return Fail("cannot create", "IEFrame");
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < lifetimeMs) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::Sleep(10);
    }
    ::DestroyWindow(frame);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Fail("usage", "start|wait|gone|command|syscommand|key|rect|ieframe ...");
    const std::string verb = argv[1];
    if (verb == "start") return Start(argv[2]);
    if (verb == "ieframe") return BrowserFrame(Number(argv[2]));

    const char* caption = argv[2];
    if (verb == "gone") {
        const DWORD timeout = argc > 3 ? Number(argv[3]) : 10000;
        const DWORD start = ::GetTickCount();
        while (Find(caption))
            if (::GetTickCount() - start > timeout) return Fail("still open", caption);
            else ::Sleep(20);
        return 0;
    }
    const HWND window = WaitFor(caption, verb == "wait" && argc > 3 ? Number(argv[3]) : 10000);
    if (!window) return Fail("no window", caption);
    if (verb == "wait") return 0;
    if (verb == "rect") {
        RECT rect;
        ::GetWindowRect(window, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
        return 0;
    }
    if (argc < 4) return Fail("missing argument for", verb.c_str());
    const DWORD value = Number(argv[3]);
    if (verb == "command") {
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(value, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, static_cast<int>(value))));
        return 0;
    }
    if (verb == "syscommand") {
        ::PostMessageA(window, WM_SYSCOMMAND, value, 0);
        return 0;
    }
    if (verb == "key") return PostKey(window, static_cast<WORD>(value));
    return Fail("unknown verb", verb.c_str());
}
