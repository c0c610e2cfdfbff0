#include "HeadlessList.h"

#include <algorithm>
#include <cstring>

bool CHeadlessList::DeleteAllItems() {
    // Last row first: no row moves up while the others go.
    while (!m_rows.empty()) DeleteItem(static_cast<int>(m_rows.size()) - 1);
    return true;
}

int CHeadlessList::InsertItem(int nItem, const char* text) {
    if (nItem < 0) return -1;
    const int at = std::min(nItem, GetItemCount());
    auto row = std::make_unique<Row>();
    row->text[0] = text ? text : "";
    m_rows.insert(m_rows.begin() + at, std::move(row));
    return at;
}

bool CHeadlessList::SetItemText(int nItem, int nSubItem, const char* text) {
    if (!Valid(nItem) || !ValidColumn(nSubItem)) return false;
    m_rows[nItem]->text[nSubItem] = text ? text : "";
    return true;
}

std::string CHeadlessList::GetItemText(int nItem, int nSubItem) {
    return Valid(nItem) && ValidColumn(nSubItem) ? m_rows[nItem]->text[nSubItem] : std::string();
}

int CHeadlessList::GetItemText(int nItem, int nSubItem, char* buffer, int length) {
    if (length <= 0) return 0;
    const std::string* text = Valid(nItem) && ValidColumn(nSubItem) ? &m_rows[nItem]->text[nSubItem] : nullptr;
    const std::size_t count = text ? std::min(text->size(), static_cast<std::size_t>(length - 1)) : 0;
    if (count) std::memcpy(buffer, text->data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

bool CHeadlessList::SetCheck(int nItem, bool check) {
    if (!Valid(nItem)) return false;
    m_rows[nItem]->checked = check;
    return true;
}

bool CHeadlessList::DeleteItem(int nItem) {
    if (!Valid(nItem)) return false;
    if (onRemove) onRemove(nItem);
    m_rows.erase(m_rows.begin() + nItem);
    return true;
}
