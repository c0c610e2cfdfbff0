// The typed-address handlers over rows kept in memory: the same calls on the
// registry as the main window makes, without a list control to keep up.
#pragma once

#include "RowList.h"
#include "TypedUrlHistory.h"

class CHeadlessHistory final : public hl::CTypedUrlHistory {
public:
    CHeadlessHistory(hl::IRegistry& registry, hl::CRowList& rows, hl::IShell& shell)
        : CTypedUrlHistory(registry, rows, shell) {
        HearRemovals(rows);
    }

    bool Failed() const { return m_failed; }

protected:
    void ShowMessage(const char*) override { m_failed = true; }

private:
    bool m_failed = false;
};
