#include "BaselineApp.h"

#include <cstdlib>
#include <cstring>

#include "AppRegistry.h"
#include "BenchPhases.h"
#include "HeadlessHistory.h"
#include "ProductNames.h"
#include "RegistryOps.h"
#include "Win32Shell.h"

namespace {

CBaselineApp theApp;

// Signals one phase's end and waits for the go-ahead of the next. Started
// without the benchmark around it, the baseline runs straight through.
void Handshake(const char* done, const char* next) {
    if (HANDLE event = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, done)) {
        ::SetEvent(event);
        ::CloseHandle(event);
    }
    if (HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, next)) {
        ::WaitForSingleObject(event, INFINITE);
        ::CloseHandle(event);
    }
}

}  // namespace

BOOL CBaselineApp::InitInstance() {
    // The same profile location as the program's start-up fixes.
    SetRegistryKey(hl::kRegistryKeyName);
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = _strdup(hl::kProfileName);

    CAppRegistry registry(*this);
    hl::CRowList rows;
    hl::Win32Shell shell;
    CHeadlessHistory history(registry, rows, shell);
    history.FillList();
    Handshake(bench::kLoadedEvent, bench::kPruneEvent);
    history.OnDeleteUnchecked();
    Handshake(bench::kPrunedEvent, bench::kCloseEvent);
    history.Close();

    // The exit code tells the benchmark whether the rewrite saved.
    m_exitCode = history.Failed() ? 1 : 0;
    return FALSE;
}
