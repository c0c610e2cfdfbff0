#include "HedgeloomRun.h"

#include <cstdio>

#include "Wait.h"
#include "WindowFacts.h"

namespace drive {

namespace {

bool IsDialog(HWND hwnd) { return ClassOf(hwnd) == "#32770"; }

}  // namespace

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

// Starts a program by its path or, as a command line would, by its name; its standard handles
// inherited if given.
static bool Spawn(const std::string& path, const std::string& arguments, STARTUPINFOA& startup,
                  PROCESS_INFORMATION& info) {
    std::string commandLine = "\"" + path + "\"" + arguments;
    const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, startup.hStdOutput != nullptr, 0,
                                        nullptr, nullptr, &startup, &info);
    if (started) CloseHandle(info.hThread);
    return started;
}

HedgeloomRun::HedgeloomRun(const std::string& exePath) {
    const std::string path = WindowsPath(exePath);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Wine now and then refuses to start a process (ERROR_INTERNAL_ERROR) on a
    // loaded machine just after another was killed. None of the program's own
    // code has run by then, so trying again hides none of its faults.
    for (int attempt = 1;; ++attempt) {
        m_startTick = GetTickCount64();
        if (Spawn(path, "", startup, info)) break;
        std::printf("driver: starting %s failed with %lu\n", path.c_str(), GetLastError());
        if (attempt == 3) return;
        Sleep(500);
    }
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
}

HedgeloomRun::~HedgeloomRun() {
    if (!m_process) return;
    // A test that failed half-way must not leave its window to the next one.
    Kill();
    CloseHandle(m_process);
}

void HedgeloomRun::Kill() {
    if (!Running()) return;
    TerminateProcess(m_process, 255);
    WaitForSingleObject(m_process, 5000);
}

HWND HedgeloomRun::WaitForMainWindow(bool visible, DWORD timeoutMs) {
    if (!m_process) return nullptr;
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(m_processId))
            if (IsDialog(hwnd) && GetDlgItem(hwnd, IDC_LIST) && (!visible || IsWindowVisible(hwnd))) m_main = hwnd;
        return m_main || !Running();
    }, timeoutMs);
    if (m_main && !m_startToWindowMs) m_startToWindowMs = static_cast<DWORD>(GetTickCount64() - m_startTick);
    return m_main;
}

std::vector<HWND> HedgeloomRun::OtherDialogs() const {
    std::vector<HWND> dialogs;
    for (HWND hwnd : TopLevelWindowsOf(m_processId))
        if (hwnd != m_main && IsDialog(hwnd) && !GetDlgItem(hwnd, IDC_LIST) && IsWindowVisible(hwnd))
            dialogs.push_back(hwnd);
    return dialogs;
}

HWND HedgeloomRun::WaitForOtherDialog(const char* caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hwnd : OtherDialogs())
            if (TextOf(hwnd) == caption) found = hwnd;
        return found || !Running();
    }, timeoutMs);
    return found;
}

CommandRun RunCommand(const std::string& exePath, const std::string& arguments, DWORD timeoutMs) {
    CommandRun run;
    char folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "hlo", 0, file)) return run;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE output = CreateFileA(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (output == INVALID_HANDLE_VALUE) return run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = output;
    PROCESS_INFORMATION info{};
    const ULONGLONG start = GetTickCount64();
    if (!Spawn(WindowsPath(exePath), " " + arguments, startup, info)) {
        CloseHandle(output);
        return run;
    }
    run.ended = true;
    while (WaitForSingleObject(info.hProcess, 20) == WAIT_TIMEOUT) {
        for (HWND hwnd : TopLevelWindowsOf(info.dwProcessId))
            if (IsWindowVisible(hwnd)) run.showedWindow = true;
        if (GetTickCount64() - start > timeoutMs) {
            TerminateProcess(info.hProcess, 255);
            WaitForSingleObject(info.hProcess, 5000);
            run.ended = false;
            break;
        }
    }
    run.ms = static_cast<double>(GetTickCount64() - start);
    GetExitCodeProcess(info.hProcess, &run.exitCode);
    CloseHandle(info.hProcess);
    SetFilePointer(output, 0, nullptr, FILE_BEGIN);
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(output, buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
    CloseHandle(output);
    return run;
}

}  // namespace drive
