// The main window: the address list with its check boxes and the buttons that
// act on it. The typed-address logic is its history's; the handlers hand on to it.
#pragma once

#include <vector>

#include "AppRegistry.h"
#include "Dialog.h"
#include "ListCtrl.h"
#include "ListCtrlAddressList.h"
#include "ProductNames.h"
#include "RowTip.h"
#include "TypedUrlHistory.h"
#include "Win32KeepPolicy.h"
#include "Win32Shell.h"
#include "Win32WriterLock.h"
#include "resource.h"

class CHistoryDlg : public CDialog {
public:
    // windowLock: held by the caller while this window is open; let go as it begins to close.
    explicit CHistoryDlg(CWnd* pParent = nullptr, hl::IWriterLock* windowLock = nullptr);

    enum { IDD = IDD_MAIN };

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Closes the history and takes the tip down; false while another copy keeps the keys.
    bool ReadyToClose();

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);
    void OnAbout();
    void OnVisitSite();
    void OnCheckAll();
    void OnUncheckAll();
    void OnInvertChecks();
    // Pruning runs on the window's thread with the wait cursor; the input that
    // came meanwhile is dropped.
    void OnDeleteUnchecked();
    // The list's notifications, handed on to the typed-address handlers.
    void OnClickList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDeleteItemList(NMHDR* pNMHDR, LRESULT* pResult);
    // A click on a check box and Space are the list's own: it asks first, and an
    // address the organization keeps is refused its unchecking.
    void OnItemChangingList(NMHDR* pNMHDR, LRESULT* pResult);

    // The list's context menu, its keys and its tip.
    void OnContextMenu(HWND hWnd, POINT point);
    void OnOpenRow();
    void OnCopyAddresses();
    void OnCheckSelected();
    void OnUncheckSelected();
    void OnKeyDownList(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnSpreadCheck(WPARAM focusedRow, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    // The history as the window has it: a failure is told in a message box, and
    // the window's lock is let go as the close begins.
    class CWindowHistory final : public hl::CTypedUrlHistory {
    public:
        CWindowHistory(hl::IRegistry& registry, hl::IAddressList& list, hl::IShell& shell,
                       hl::IWriterLock* windowLock)
            : CTypedUrlHistory(registry, list, shell), m_windowLock(windowLock) {}
        using CTypedUrlHistory::KeptByPolicy;  // the list asks before a check box is cleared

    protected:
        void ShowMessage(const char* text) override;
        void OnCloseBegun() override;

    private:
        hl::IWriterLock* m_windowLock;
    };

    CListCtrl m_list;
    CListCtrlAddressList m_addressList{m_list};
    CAppRegistry m_registry{*AfxGetApp()};
    hl::Win32Shell m_shell;
    hl::Win32KeepPolicy m_keepPolicy;
    hl::Win32WriterLock m_lock{hl::kWriterLockName, hl::kWriterLockWaitMs};
    // After everything it refers to: made once they are, gone before they go.
    CWindowHistory m_history;
    HICON m_hIcon;
    CRowTip m_rowTip;
    int m_menuRow = -1;  // the row the context menu was opened at, for "Open"
    std::vector<int> m_spreadRows;  // the selection that Space found
};
