// The address list without a window: rows in memory whose text reads back
// exactly as it would from the main window's list control, through the ANSI
// code page. Each removal is reported before the row goes, as the control
// reports it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "AddressList.h"

class CCodePageAddressList final : public hl::IAddressList {
public:
    // Told each row's position just before the row is removed.
    std::function<void(int row)> onRemove;

    bool DeleteAllItems() override;
    int InsertItem(int nItem, const char* text) override;
    bool SetItemText(int nItem, int nSubItem, const char* text) override;
    std::string GetItemText(int nItem, int nSubItem) override;
    int GetItemText(int nItem, int nSubItem, char* buffer, int length) override;
    bool GetCheck(int nItem) override { return Valid(nItem) && m_rows[static_cast<std::size_t>(nItem)].checked; }
    bool SetCheck(int nItem, bool check) override;
    int GetItemCount() override { return static_cast<int>(m_rows.size()); }
    bool SetItemData(int nItem, std::uintptr_t data) override;
    std::uintptr_t GetItemData(int nItem) override {
        return Valid(nItem) ? m_rows[static_cast<std::size_t>(nItem)].data : 0;
    }
    bool DeleteItem(int nItem) override;
    // Nothing is ever selected without a window.
    int GetNextSelectedItem(int) override { return -1; }
    void SetRedraw(bool) override {}

private:
    struct Row {
        std::string text[2];  // as the control would give it back
        bool checked = false;
        std::uintptr_t data = 0;
    };
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::deque<Row> m_rows;
};
