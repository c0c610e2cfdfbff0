#include "UnattendedHistory.h"

#include "IsoTime.h"

namespace hl {

bool CUnattendedHistory::Prune() {
    m_message.clear();
    // Held from the load until the marks are written: a window's pruning in
    // between would be undone by this one's list.
    const Exclusive exclusive(*this);
    if (!exclusive) {
        ShowMessage(kBusyMessage);
        return false;
    }
    // An open window holds marks the profile has not seen yet: the user's
    // latest checks, which this pruning would delete.
    if (m_window && !m_window->Lock()) {
        ShowMessage(kWindowOpenMessage);
        return false;
    }
    if (m_window) m_window->Unlock();
    if (!MarksReadable()) {
        ShowMessage(kMarksUnreadableMessage);
        return false;
    }
    FillList();
    OnDeleteUnchecked();
    // Not knowing what the organization keeps, nothing was deleted; the marks stay as they were too.
    if (!KeepPolicyRead()) return false;
    Close();  // the window's close, as it would follow
    return m_message.empty();
}

std::string CUnattendedHistory::ListText() {
    m_message.clear();
    FillList();
    // A 0 may be an address the organization keeps: the list would mislead.
    if (!LockedOut() && !KeepPolicyRead()) {
        ShowMessage(kPolicyUnreadableListMessage);
        return {};
    }
    // Nor is a key half rewritten the user's list: what the journal would put back is missing from it.
    if (!LockedOut() && JournalAtLoad() != Recovery::Clear) {
        ShowMessage(JournalAtLoad() == Recovery::Unreadable ? kJournalUnreadableListMessage : kJournalKeptListMessage);
        return {};
    }
    std::string text;
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        std::uint64_t fileTime = 0;
        text += m_list.GetCheck(row) ? '1' : '0';
        text += '\t' + ListField(m_list.GetItemText(row, 1)) + '\t' + ListField(m_list.GetItemText(row, 0)) + '\t';
        if (LastTyped(row, fileTime)) text += IsoTime(fileTime);
        text += "\r\n";
    }
    return text;
}

void CUnattendedHistory::ShowMessage(const char* text) {
    if (!m_message.empty()) m_message += '\n';
    m_message += text;
}

std::string CUnattendedHistory::ListField(const std::string& text) {
    std::string field;
    for (char c : text) {
        switch (c) {
            case '\\': field += "\\\\"; break;
            case '\t': field += "\\t"; break;
            case '\n': field += "\\n"; break;
            case '\r': field += "\\r"; break;
            default: field += c;
        }
    }
    return field;
}

}  // namespace hl
