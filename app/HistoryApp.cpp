#include "HistoryApp.h"

#include <cstdlib>
#include <cstring>

#include "AfxMessageBox.h"
#include "CommandLineRun.h"
#include "HistoryDlg.h"
#include "ProductNames.h"
#include "Win32WriterLock.h"

namespace {

constexpr char kOpenElsewhere[] =
    "Hedgeloom is already open in another session of yours.\n"
    "Close it there first: two windows would each save their own check marks over the other's.";

constexpr char kMainCaption[] = "Hedgeloom";  // as the main window's template has it

struct WindowSearch {
    DWORD session;
    HWND found;
};

BOOL CALLBACK IsOpenWindow(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    char className[16], caption[32];
    DWORD process = 0, session = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process == ::GetCurrentProcessId() || !::ProcessIdToSessionId(process, &session) ||
        session != search.session || !::GetClassNameA(hwnd, className, sizeof className) ||
        std::strcmp(className, "#32770") != 0 || !::GetWindowTextA(hwnd, caption, sizeof caption) ||
        std::strcmp(caption, kMainCaption) != 0 || !::GetDlgItem(hwnd, IDC_LIST))
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

// The user's open window in this session, if there is one.
HWND OpenWindow() {
    WindowSearch search{0, nullptr};
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &search.session);
    ::EnumWindows(IsOpenWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One window per user: two would each hold their own copy of the marks and
// save it over the other's. True when this start may open its window; otherwise
// the open one is brought to the front, or the user told where it is.
bool TakeWindowTurn(hl::IWriterLock& window) {
    // A window that is closing lets go of it at once: a start right after "Exit" waits a moment.
    for (int tries = 0; tries < 10; ++tries) {
        if (window.Lock()) return true;
        ::Sleep(50);
    }
    for (int tries = 0; tries < 50; ++tries) {
        if (HWND open = OpenWindow()) {
            if (::IsIconic(open)) ::ShowWindow(open, SW_RESTORE);
            ::SetForegroundWindow(open);
            return false;
        }
        // Still starting, or just closed.
        if (window.Lock()) return true;
        ::Sleep(100);
    }
    AfxMessageBox(kOpenElsewhere, MB_OK | MB_ICONINFORMATION);
    return false;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHistoryApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CHistoryApp theApp;

BOOL CHistoryApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    SetRegistryKey(hl::kRegistryKeyName);

    // The profile is "Hedgeloom" whatever the executable has been renamed to.
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = _strdup(hl::kProfileName);

    // Arguments ask for a run without a window; without any the window opens as ever.
    const std::vector<std::string> arguments = CommandLineArguments();
    if (!arguments.empty()) {
        m_exitCode = RunFromCommandLine(arguments);
        return FALSE;
    }

    hl::Win32WriterLock window{hl::kWindowLockName, 0};
    if (!TakeWindowTurn(window)) return FALSE;
    CHistoryDlg dlg(nullptr, &window);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;  // the window object ends with this block

    // Everything is done: end without a message loop.
    return FALSE;
}

int CHistoryApp::ExitInstance() {
    return m_exitCode;
}
