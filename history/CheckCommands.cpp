// The bulk check commands and the commands that open addresses.
#include "ProductNames.h"
#include "TypedUrlHistory.h"

namespace hl {

void CTypedUrlHistory::SetAllChecks(bool (*newState)(bool current)) {
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) m_list.SetCheck(row, newState(m_list.GetCheck(row)));
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

void CTypedUrlHistory::OnClickList(const void*, std::intptr_t* result) {
    const int row = m_list.GetNextSelectedItem(-1);
    if (row >= 0) {
        const std::string address = m_list.GetItemText(row, 0);
        m_shell.ShellExecuteA("open", address.c_str(), kSwShowNormal);  // a failure stays quiet
    }
    *result = 0;
}

void OnVisitSite(IShell& shell) {
    shell.ShellExecuteA("open", kMakerSite, kSwShowNormal);
}

}  // namespace hl
