#include "Dialog.h"

#include <commctrl.h>

#include <cassert>

#include "AfxMessageBox.h"
#include "WinApp.h"

namespace {

// Messages whose answer is the dialog procedure's own result rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    return message == WM_CHARTOITEM || message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
           message == WM_QUERYDRAGICON || message == WM_INITDIALOG ||
           (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

// Dialogs are made on one thread: a plain flag, not a guarded local static, whose
// guard brings the threads library into the program.
bool listViewClassRegistered = false;

void RegisterListViewClass() {
    if (listViewClassRegistered) return;
    listViewClassRegistered = true;  // a failure shows when the template's list cannot be made
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
}

HINSTANCE ResourceHandle() {
    const CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    assert(!m_hWnd);  // one dialog object, one window at a time
    RegisterListViewClass();
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : AfxGetSafeOwner();
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    return ::DialogBoxParamA(ResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    assert(::IsWindow(m_hWnd));
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::Default() {
    if (m_pDefaultRequested) *m_pDefaultRequested = true;
}

void CDialog::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CDialog::OnPaint() {
    Default();
}

void CDialog::CenterWindow(HWND hWndOwner) {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hWndOwner ? hWndOwner : m_hWnd, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    const RECT area = monitor.rcWork;
    RECT over = area;
    if (hWndOwner && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner))
        ::GetWindowRect(hWndOwner, &over);

    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = over.left + (over.right - over.left - width) / 2;
    LONG y = over.top + (over.bottom - over.top - height) / 2;
    // Keep the whole window, and above all its caption, on the screen.
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        const HWND owner = ::GetWindow(hWnd, GW_OWNER);
        const BOOL result = dialog->OnInitDialog();
        // The templates ask for no position: the framework centres the dialog
        // over its owner, or on the screen, before it is first shown.
        dialog->CenterWindow(owner);
        return result;
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!dialog) return FALSE;
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    // Until WM_NCDESTROY the list control still reports each row it destroys,
    // so notifications keep coming after WM_DESTROY.
    return dialog->WindowProc(message, wParam, lParam);
}

INT_PTR CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) {
        // F1 asks for help: the same command the help button of a dialog would give.
        message = WM_COMMAND;
        wParam = MAKEWPARAM(ID_HELP, 0);
        lParam = 0;
    }

    bool defaultRequested = false;
    bool* const outer = m_pDefaultRequested;  // a handler may run a nested modal loop
    m_pDefaultRequested = &defaultRequested;
    LRESULT result = 0;
    BOOL handled = OnWndMsg(message, wParam, lParam, &result);
    m_pDefaultRequested = outer;

    if (!handled && message == WM_COMMAND) {
        // A command the dialog does not answer goes on to the application's table.
        CWinApp* app = AfxGetApp();
        handled = app && app->OnWndMsg(message, wParam, lParam, &result);
    }
    if (!handled || defaultRequested) return FALSE;
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
