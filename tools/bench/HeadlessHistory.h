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

    bool Failed() const { return m_failed; }

protected:
    void ShowMessage(const char*) override { m_failed = true; }

private:
    CAppRegistry m_registry;
    hl::CRowList m_rows;
    hl::Win32Shell m_shell;
    bool m_failed = false;
};
