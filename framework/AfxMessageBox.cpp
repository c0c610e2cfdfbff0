#include "AfxMessageBox.h"

#include "WinApp.h"

HWND AfxGetSafeOwner() {
    if (HWND active = ::GetActiveWindow()) return active;
    // While the main window sets itself up it is not shown yet, so not active.
    const CWinApp* app = AfxGetApp();
    const HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    return main && ::IsWindow(main) ? main : nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp: there is no help file*/) {
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    const CWinApp* app = AfxGetApp();
    return ::MessageBoxA(AfxGetSafeOwner(), lpszText, app ? app->m_pszAppName : nullptr, nType);
}
