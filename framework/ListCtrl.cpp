#include "ListCtrl.h"

#include <cassert>
#include <cstring>

int CListCtrl::InsertColumn(int nCol, const char* heading, int nFormat, int nWidth) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = nFormat;
    column.cx = nWidth;
    column.pszText = const_cast<char*>(heading);
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, nCol, reinterpret_cast<LPARAM>(&column)));
}

BOOL CListCtrl::DeleteColumn(int nCol) {
    return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, nCol));
}

DWORD CListCtrl::GetExtendedStyle() const {
    return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
}

int CListCtrl::InsertItem(int nItem, const char* text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = nItem;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* text) {
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemText(int nItem, int nSubItem, char* buffer, int length) const {
    assert(buffer || length <= 0);
    if (length <= 0) return 0;
    buffer[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = buffer;
    item.cchTextMax = length;
    SendMessage(LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item));
    // Wine's list-view fills a buffer too short for the text to its last byte,
    // with no terminating zero, and then counts on past it.
    buffer[length - 1] = '\0';
    return static_cast<int>(std::strlen(buffer));
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
    // The list does not tell a text's length, so grow until the text leaves room.
    std::string text(256, '\0');
    for (;;) {
        const int length = GetItemText(nItem, nSubItem, &text[0], static_cast<int>(text.size()));
        if (length < static_cast<int>(text.size()) - 1 || text.size() >= 65536) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    return SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::GetCheck(int nItem) const {
    assert(HasCheckBoxes());  // without them the state image is no check mark
    const UINT state = static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, nItem, LVIS_STATEIMAGEMASK));
    return ((state >> 12) - 1) == 1;  // state image 1 is the empty box, 2 the checked one
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck) {
    assert(HasCheckBoxes());
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::HasCheckBoxes() const {
    return (GetExtendedStyle() & LVS_EX_CHECKBOXES) != 0;
}

int CListCtrl::GetItemCount() const {
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

BOOL CListCtrl::DeleteItem(int nItem) {
    return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, nItem));
}

BOOL CListCtrl::DeleteAllItems() {
    return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)));
}

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT));
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    LVITEMA item = {};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::HitTest(POINT point, UINT* pFlags) const {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    const int row = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (pFlags) *pFlags = hit.flags;
    return row;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
    assert(lpRect);
    lpRect->left = static_cast<LONG>(nCode);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK));
}
