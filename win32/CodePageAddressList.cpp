#include "CodePageAddressList.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A text as the list control gives it back: it keeps text in Unicode, taken
// from the code page and given back in it, so bytes that are no character of
// the code page (they become U+FFFD) do not read back as they went in.
std::string AsListKeepsIt(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::string();
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string kept(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &kept[0], size, nullptr, nullptr);
    kept.resize(static_cast<std::size_t>(size - 1));
    return kept;
}

}  // namespace

bool CCodePageAddressList::DeleteAllItems() {
    // Bottom row first, each reported while still there, as the control does.
    while (!m_rows.empty()) DeleteItem(GetItemCount() - 1);
    return true;
}

int CCodePageAddressList::InsertItem(int nItem, const char* text) {
    if (nItem < 0) return -1;
    const int at = std::min(nItem, GetItemCount());
    Row row;
    row.text[0] = AsListKeepsIt(text);
    m_rows.insert(m_rows.begin() + at, std::move(row));
    return at;
}

bool CCodePageAddressList::SetItemText(int nItem, int nSubItem, const char* text) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return false;
    m_rows[static_cast<std::size_t>(nItem)].text[nSubItem] = AsListKeepsIt(text);
    return true;
}

std::string CCodePageAddressList::GetItemText(int nItem, int nSubItem) {
    if (!Valid(nItem) || nSubItem < 0 || nSubItem > 1) return std::string();
    return m_rows[static_cast<std::size_t>(nItem)].text[nSubItem];
}

int CCodePageAddressList::GetItemText(int nItem, int nSubItem, char* buffer, int length) {
    if (length <= 0) return 0;
    const std::string text = GetItemText(nItem, nSubItem).substr(0, static_cast<std::size_t>(length - 1));
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<int>(text.size());
}

bool CCodePageAddressList::SetItemData(int nItem, std::uintptr_t data) {
    if (!Valid(nItem)) return false;
    m_rows[static_cast<std::size_t>(nItem)].data = data;
    return true;
}

bool CCodePageAddressList::SetCheck(int nItem, bool check) {
    if (!Valid(nItem)) return false;
    m_rows[static_cast<std::size_t>(nItem)].checked = check;
    return true;
}

bool CCodePageAddressList::DeleteItem(int nItem) {
    if (!Valid(nItem)) return false;
    if (onRemove) onRemove(nItem);
    m_rows.erase(m_rows.begin() + nItem);
    return true;
}
