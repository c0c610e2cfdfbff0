#include "support/MemoryList.h"

#include <algorithm>
#include <cstring>

namespace hltest {

bool MemoryList::DeleteAllItems() {
    // As the real control does: bottom row first, each reported while still there.
    while (!m_rows.empty()) DeleteItem(GetItemCount() - 1);
    return true;
}

int MemoryList::InsertItem(int nItem, const char* text) {
    if (nItem < 0) return -1;
    const int at = std::min(nItem, GetItemCount());
    m_rows.insert(m_rows.begin() + at, Row{{text, ""}});
    return at;
}

bool MemoryList::SetItemText(int nItem, int nSubItem, const char* text) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return false;
    m_rows[static_cast<std::size_t>(nItem)].text[nSubItem] = text;
    return true;
}

std::string MemoryList::GetItemText(int nItem, int nSubItem) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return std::string();
    return m_rows[static_cast<std::size_t>(nItem)].text[nSubItem];
}

int MemoryList::GetItemText(int nItem, int nSubItem, char* buffer, int length) {
    if (length <= 0) return 0;
    const std::string text = GetItemText(nItem, nSubItem).substr(0, static_cast<std::size_t>(length - 1));
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

bool MemoryList::SetItemData(int nItem, std::uintptr_t data) {
    if (!Valid(nItem)) return false;
    m_rows[static_cast<std::size_t>(nItem)].data = data;
    return true;
}

bool MemoryList::SetCheck(int nItem, bool check) {
    if (!Valid(nItem)) return false;
    m_rows[static_cast<std::size_t>(nItem)].checked = check;
    return true;
}

bool MemoryList::DeleteItem(int nItem) {
    if (!Valid(nItem)) return false;
    if (onRemove) onRemove(nItem);
    m_rows.erase(m_rows.begin() + nItem);
    return true;
}

int MemoryList::GetNextSelectedItem(int nItem) {
    for (int row = std::max(nItem + 1, 0); row < GetItemCount(); ++row)
        if (m_rows[static_cast<std::size_t>(row)].selected) return row;
    return -1;
}

}  // namespace hltest
