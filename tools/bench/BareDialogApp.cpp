// The benchmark's yardsticks for a windowed program: a dialog from a template
// and nothing else, so that what any dialog costs under this system (its start,
// and the wait between its window closing and its process ending) shows apart.
// Built twice: on a template of one button, and on Hedgeloom's own main window
// with its manifest, which tells the window's cost from the program's.
#include "BareDialog.h"
#include "Dialog.h"
#include "WinApp.h"
#include "resource.h"

namespace {

class CBareDialogApp : public CWinApp {
public:
    CBareDialogApp() : CWinApp("BareDialog") {}

    BOOL InitInstance() override {
        CDialog dlg(BENCH_DIALOG_TEMPLATE);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

CBareDialogApp theApp;

}  // namespace
