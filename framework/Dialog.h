// A modal dialog built from a template of the program's resources, answering
// its messages through its event table.
#pragma once

#include <windows.h>

#include "DataExchange.h"
#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until EndDialog; returns its result, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    // Leaves the message being handled to the dialog manager's own processing.
    void Default();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterWindow(HWND hWndOwner);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool* m_pDefaultRequested = nullptr;  // the flag of the message now being handled
};
