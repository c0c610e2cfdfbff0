#include "HistoryApp.h"

#include <cstdlib>
#include <cstring>

#include "CommandLineRun.h"
#include "HistoryDlg.h"
#include "ProductNames.h"

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

    CHistoryDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;  // the window object ends with this block

    // Everything is done: end without a message loop.
    return FALSE;
}

int CHistoryApp::ExitInstance() {
    return m_exitCode;
}
