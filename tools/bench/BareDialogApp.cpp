// The benchmark's yardstick for a windowed program: a dialog from a template
// and nothing else, so that what any dialog costs under this system (its start,
// and the wait between its window closing and its process ending) shows apart.
#include "Dialog.h"
#include "WinApp.h"
#include "BareDialog.h"

namespace {

class CBareDialogApp : public CWinApp {
public:
    CBareDialogApp() : CWinApp("BareDialog") {}

    BOOL InitInstance() override {
        CDialog dlg(IDD_BARE);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

CBareDialogApp theApp;

}  // namespace
