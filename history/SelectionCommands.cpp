// The commands of the list's menu and keys, which act on the selected rows, and
// the tip that shows a row's whole address.
#include <algorithm>

#include "TypedUrlHistory.h"

namespace hl {

std::vector<int> CTypedUrlHistory::SelectedRows() {
    std::vector<int> rows;
    const int count = m_list.GetItemCount();
    // The list gives the rows in its own order; a bound keeps a confused list from looping.
    for (int row = m_list.GetNextSelectedItem(-1); row > (rows.empty() ? -1 : rows.back()) && row < count;
         row = m_list.GetNextSelectedItem(row))
        rows.push_back(row);
    return rows;
}

void CTypedUrlHistory::CheckSelected(bool check) {
    for (int row : SelectedRows()) m_list.SetCheck(row, check || KeptByPolicy(row));
}

void CTypedUrlHistory::SpreadCheck(int focusedRow, const std::vector<int>& selection) {
    if (std::find(selection.begin(), selection.end(), focusedRow) == selection.end()) return;
    const int count = m_list.GetItemCount();
    const bool check = m_list.GetCheck(focusedRow);
    for (int row : selection)
        if (row >= 0 && row < count && m_list.GetCheck(row) != check && (check || !KeptByPolicy(row)))
            m_list.SetCheck(row, check);
}

std::string CTypedUrlHistory::SelectedAddresses() {
    std::string text;
    for (int row : SelectedRows()) {
        if (!text.empty()) text += "\r\n";
        text += m_list.GetItemText(row, 0);
    }
    return text;
}

std::string CTypedUrlHistory::RowTip(int row, std::string (*formatTime)(std::uint64_t)) {
    if (row < 0 || row >= m_list.GetItemCount()) return {};
    std::string tip = m_list.GetItemText(row, 0);
    std::uint64_t fileTime = 0;
    if (LastTyped(row, fileTime)) {
        const std::string when = formatTime(fileTime);
        if (!when.empty()) tip += "\r\nLast typed " + when;
    }
    if (KeptByPolicy(row)) tip += std::string("\r\n") + kKeptByPolicyTip;
    return tip;
}

}  // namespace hl
