// The bulk check commands and the commands that open addresses.
#include "ProgramNames.h"
#include "TypedUrlHistory.h"

namespace hl {

void CTypedUrlHistory::SetAllChecks(bool (*newState)(bool current)) {
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) m_list.SetCheck(row, newState(m_list.GetCheck(row)) || KeptByPolicy(row));
}

void CTypedUrlHistory::OnCheckAll() {
    SetAllChecks([](bool) { return true; });
}

void CTypedUrlHistory::OnUncheckAll() {
    SetAllChecks([](bool) { return false; });
}

void CTypedUrlHistory::OnInvertChecks() {
    SetAllChecks([](bool current) { return !current; });
}

// A click on a check box is the user checking or unchecking, often row after
// row before a pruning: it must not open the address that may be about to go.
void CTypedUrlHistory::OnClickList(const ClickNotice* notification, std::intptr_t* result) {
    if (notification && notification->iItem >= 0 && !notification->onCheckBox) OpenRow(notification->iItem);
    *result = 0;
}

void CTypedUrlHistory::OpenRow(int row) {
    if (row < 0 || row >= m_list.GetItemCount()) return;
    const std::string address = m_list.GetItemText(row, 0);
    m_shell.ShellExecuteA("open", address.c_str(), kSwShowNormal);  // a failure stays quiet
}

void OnVisitSite(IShell& shell) {
    shell.ShellExecuteA("open", kMakerSite, kSwShowNormal);
}

}  // namespace hl
