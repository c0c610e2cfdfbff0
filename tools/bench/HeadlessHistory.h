// The typed-address handlers over rows kept in memory: the same calls on the
// registry as the main window makes, without a list control to keep up.
#pragma once

#include "AppRegistry.h"
#include "TypedUrlHistory.h"
#include "Win32Shell.h"
#include "RowList.h"

class CHeadlessHistory final : public hl::CTypedUrlHistory {
public:
    explicit CHeadlessHistory(CWinApp& app);

    // The window closes: every row's mark is remembered as the close begins, and
    // again as each row still listed goes.
    void Close() {
        BeginClose();
        m_rows.DeleteAllItems();
        EndClose();
    }
    int Rows() { return m_rows.GetItemCount(); }
    bool Failed() const { return m_failed; }

protected:
    void ShowMessage(const char*) override { m_failed = true; }

private:
    CAppRegistry m_registry;
    hl::CRowList m_rows;
    hl::Win32Shell m_shell;
    bool m_failed = false;
};
