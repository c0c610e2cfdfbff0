// A thin wrapper over a SysListView32 control: one list-view message per call.
// Debug builds assert what a call needs: the control exists (CWnd), the check
// calls have check boxes to work on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "Wnd.h"

class CListCtrl : public CWnd {
public:
    int InsertColumn(int nCol, const char* heading, int nFormat, int nWidth);
    BOOL DeleteColumn(int nCol);
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD dwNewStyle);

    int InsertItem(int nItem, const char* text);
    BOOL SetItemText(int nItem, int nSubItem, const char* text);
    std::string GetItemText(int nItem, int nSubItem) const;
    int GetItemText(int nItem, int nSubItem, char* buffer, int length) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE);
    int GetItemCount() const;
    bool HasCheckBoxes() const;
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    UINT GetItemState(int nItem, UINT nMask) const;
    // nItem -1 sets the state of every row.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    // The row at a point of the list's client area and what part of it is there (LVHT_...), or -1.
    int HitTest(POINT point, UINT* pFlags = nullptr) const;
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
};
