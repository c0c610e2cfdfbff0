// The main window: the address list with its check boxes and the buttons that
// act on it. The typed-address handlers come from CTypedUrlHistory.
#pragma once

#include "AppRegistry.h"
#include "Dialog.h"
#include "ListCtrl.h"
#include "ListCtrlAddressList.h"
#include "TypedUrlHistory.h"
#include "Win32Shell.h"
#include "resource.h"

class CHistoryDlg : public CDialog, public hl::CTypedUrlHistory {
public:
    explicit CHistoryDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_MAIN };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void ShowMessage(const char* text) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);
    void OnAbout();
    void OnVisitSite();
    // The list's notifications, handed on to the typed-address handlers.
    void OnClickList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDeleteItemList(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    CListCtrl m_list;
    CListCtrlAddressList m_addressList{m_list};
    CAppRegistry m_registry{*AfxGetApp()};
    hl::Win32Shell m_shell;
    HICON m_hIcon;
};
