#include "HeadlessHistory.h"

CHeadlessHistory::CHeadlessHistory(CWinApp& app)
    : hl::CTypedUrlHistory(m_registry, m_rows, m_shell), m_registry(app) {
    m_rows.onRemove = [this](int row) {
        const hl::RowNotice notice{row};
        std::intptr_t result = 0;
        OnDeleteItemList(&notice, &result);
    };
}
