// Drives a Win32 program from outside, as a user would, and reads the registry it leaves: its windows as seen
// from outside, real input for what only a user can cause (a list's own click notice), one run of the program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "driver/RegValue.h"
#include "resource.h"

namespace drive {

// Every observation of another process is "sooner or later, or never within reason": polled until time is up.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD pollMs = 20) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(pollMs))
        if (GetTickCount64() >= deadline) return false;
    return true;
}

struct ControlFacts {
    HWND hwnd;
    int id;  // as GetDlgCtrlID gives it; a template's -1 may read as 0xFFFF
    std::string className, text;
    DWORD style, exStyle;
};

// A message to another process's window, given up on in time (long enough for a pruning of ten thousand
// addresses on a busy machine) so that a hung program fails a test rather than hangs it; `ok` tells which.
inline LRESULT SendTimed(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, 20000, &result) != 0;
    if (ok) *ok = answered;
    return answered ? static_cast<LRESULT>(result) : 0;
}

inline std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    return GetClassNameA(hwnd, name, sizeof name) ? name : "";
}
inline std::string TextOf(HWND hwnd) {
    std::string text(static_cast<std::size_t>(SendTimed(hwnd, WM_GETTEXTLENGTH)) + 1, '\0');
    text.resize(static_cast<std::size_t>(SendTimed(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}
// Direct children, first to last: the order in which the template lists them.
std::vector<ControlFacts> ChildrenOf(HWND parent);
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
inline HWND FocusOfThread(HWND hwnd) {
    GUITHREADINFO info{sizeof info, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Makes the window the foreground one, so that real input reaches it.
inline bool BringToFront(HWND hwnd) { return SetForegroundWindow(hwnd), WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000); }
// Real input: a left or right click at a point on the screen, the pointer moved there in a few steps, a key
// pressed and released while the `held` keys are down (VK_CONTROL, VK_SHIFT).
void ClickAt(POINT screen, bool right = false);
void MoveTo(POINT screen);
void TypeChord(std::initializer_list<WORD> held, WORD virtualKey);
inline void TypeKey(WORD virtualKey) { TypeChord({}, virtualKey); }
// A click posted, not sent: the button does the rest while the caller watches.
inline void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

// The real registry of the prefix, as the tests seed it and read it back.
class Registry {
public:
    explicit Registry(HKEY root = HKEY_CURRENT_USER) : m_root(root) {}

    void DeleteTree(const std::string& path) const { RegDeleteTreeA(m_root, path.c_str()); RegDeleteKeyA(m_root, path.c_str()); }
    bool CreateKey(const std::string& path) const { return SetAll(path, {}); }
    bool KeyExists(const std::string& path) const;
    bool Set(const std::string& path, const RegValue& value) const { return SetAll(path, {value}); }
    // Stores the values in this order, through one handle: a long list quickly.
    bool SetAll(const std::string& path, const std::vector<RegValue>& values) const;
    // Every value in the registry's order, none without the key; `complete`: no value stopped the enumeration.
    std::vector<RegValue> Values(const std::string& path, bool* complete = nullptr) const;
    // How many values the key holds, in one call: cheap enough to watch a key change.
    std::size_t ValueCount(const std::string& path) const;

private:
    HKEY m_root;
};

// A SysListView32 of another process, read and changed through its messages, their pointers into its memory.
struct RemoteListView {
    HANDLE process;
    HWND hwnd;
    int Count() const { return static_cast<int>(SendTimed(hwnd, LVM_GETITEMCOUNT)); }
    bool Checked(int row) const {
        return SendTimed(hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    }
    bool SetChecked(int row, bool checked) const;
    // Every row from the top, a few messages each: for short lists.
    std::vector<Row> Rows() const;
    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (int row = 0, count = Count(); row < count; ++row) checks.push_back(Checked(row));
        return checks;
    }
    // Every column, left to right, as "heading width format;".
    std::string Columns() const;
    // A part of the row (LVIR_BOUNDS, LVIR_LABEL, ...) in screen coordinates.
    bool RectOnScreen(int row, int part, RECT* rect) const;
    std::vector<int> Selected() const;
};

// One run of the program under test: its own process, watched from outside, ended when this goes at the latest.
class HedgeloomRun {
public:
    explicit HedgeloomRun(const std::string& exePath);
    // A test that failed half-way must not leave its window to the next one.
    ~HedgeloomRun() { Kill(); if (m_process) CloseHandle(m_process); }
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
    RemoteListView List() const { return {m_process, Control(IDC_LIST)}; }
    DWORD StartToWindowMs() const { return m_startToWindowMs; }

    // This process's visible dialogs other than the main window: message boxes, the About box.
    std::vector<HWND> OtherDialogs() const;
    HWND WaitForOtherDialog(const char* caption, DWORD timeoutMs = 10000) const;

    bool WaitForExit(DWORD ms = 15000) { return m_process && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0; }
    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    // Its exit status, once it ends within `waitMs`; STILL_ACTIVE while it runs.
    DWORD ExitCode(DWORD waitMs = 0) const {
        DWORD code = STILL_ACTIVE;
        return m_process && WaitForSingleObject(m_process, waitMs) != WAIT_FAILED && GetExitCodeProcess(m_process, &code)
                   ? code : STILL_ACTIVE;
    }
    // Ends the process at once, wherever it is, as a crash or a power cut would.
    void Kill() {
        if (Running() && TerminateProcess(m_process, 255)) WaitForSingleObject(m_process, 5000);
    }

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0, m_startToWindowMs = 0;
    HWND m_main = nullptr;
    ULONGLONG m_startTick = 0;
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
std::string WindowsPath(std::string path);

}  // namespace drive
