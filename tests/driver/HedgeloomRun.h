// One run of the program under test: its own process, watched from outside, ended when this goes at the latest.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "RemoteListView.h"
#include "resource.h"

namespace drive {

class HedgeloomRun {
public:
    explicit HedgeloomRun(const std::string& exePath);
    ~HedgeloomRun();
    HedgeloomRun(const HedgeloomRun&) = delete;
    HedgeloomRun& operator=(const HedgeloomRun&) = delete;

    bool Started() const { return m_process != nullptr; }
    HANDLE Process() const { return m_process; }
    DWORD ProcessId() const { return m_processId; }

    // The main window, the dialog with the address list: waits until it exists and, if asked, shows (ten
    // thousand rows, on a machine that others keep busy, take seconds).
    HWND WaitForMainWindow(bool visible = true, DWORD timeoutMs = 30000);
    HWND MainWindow() const { return m_main; }
    HWND Control(int id) const { return GetDlgItem(m_main, id); }
    RemoteListView List() const { return RemoteListView(m_process, Control(IDC_LIST)); }
    // Milliseconds from the start of the process to its main window being found.
    DWORD StartToWindowMs() const { return m_startToWindowMs; }

    // This process's visible dialogs other than the main window: message boxes, the About box.
    std::vector<HWND> OtherDialogs() const;
    HWND WaitForOtherDialog(const char* caption, DWORD timeoutMs = 10000) const;

    bool WaitForExit(DWORD ms = 15000) { return m_process && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0; }
    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        return m_process && GetExitCodeProcess(m_process, &code) ? code : STILL_ACTIVE;
    }
    // Ends the process at once, wherever it is, as a crash or a power cut would.
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
    ULONGLONG m_startTick = 0;
    DWORD m_startToWindowMs = 0;
};

// A run from a command line or a script, a file its standard output, waited for to its end.
struct CommandRun {
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    std::string output;         // what it wrote to standard output, byte for byte
    bool showedWindow = false;  // a visible window of its own came up meanwhile
    double ms = 0;              // from its start to its end
};
CommandRun RunCommand(const std::string& exePath, const std::string& arguments, DWORD timeoutMs = 120000);

// A path as the Unix side writes it ("/work/...") as Windows starts it ("Z:\work\..."); Windows paths as they are.
std::string WindowsPath(const std::string& path);

}  // namespace drive
