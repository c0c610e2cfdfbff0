#include "DataExchange.h"

#include <cassert>

#include "Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;  // bound when the dialog opened; later exchanges keep it
    assert(pDX && pDX->m_pDlgWnd && ::IsWindow(pDX->m_pDlgWnd->m_hWnd));
    rControl.m_hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    assert(rControl.m_hWnd);  // the template has no control of that number
}
