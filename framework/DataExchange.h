// Binding a dialog's controls to the member objects that wrap them.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Gives rControl the handle of the dialog's control nIDC, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
