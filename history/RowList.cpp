#include "RowList.h"

#include <algorithm>

namespace hl {

bool CRowList::DeleteAllItems() {
    while (!m_rows.empty()) DeleteItem(GetItemCount() - 1);
    return true;
}

int CRowList::InsertItem(int nItem, const char* text) {
    if (nItem < 0) return -1;
    const int at = std::min(nItem, GetItemCount());
    Row row;
    row.text[0] = Kept(text);
    m_rows.insert(m_rows.begin() + at, std::move(row));
    return at;
}

bool CRowList::SetItemText(int nItem, int nSubItem, const char* text) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return false;
    At(nItem).text[nSubItem] = Kept(text);
    return true;
}

std::string CRowList::GetItemText(int nItem, int nSubItem) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return std::string();
    return At(nItem).text[nSubItem];
}

bool CRowList::SetItemData(int nItem, std::uintptr_t data) {
    if (!Valid(nItem)) return false;
    At(nItem).data = data;
    return true;
}

bool CRowList::SetCheck(int nItem, bool check) {
    if (!Valid(nItem)) return false;
    At(nItem).checked = check;
    return true;
}

bool CRowList::DeleteItem(int nItem) {
    if (!Valid(nItem)) return false;
    if (onRemove) onRemove(nItem);
    m_rows.erase(m_rows.begin() + nItem);
    return true;
}

int CRowList::GetNextSelectedItem(int nItem) {
    for (int row = std::max(nItem + 1, 0); row < GetItemCount(); ++row)
        if (At(row).selected) return row;
    return -1;
}

}  // namespace hl
