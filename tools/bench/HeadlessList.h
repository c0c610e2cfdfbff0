// Rows kept in memory as cheaply as a list can keep them, for the baseline:
// inserting at the top and removing from the middle move pointers only, so
// that the baseline's time is the registry's. Each row's removal is reported
// before the row goes, as the list control does.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AddressList.h"

class CHeadlessList final : public hl::IAddressList {
public:
    std::function<void(int row)> onRemove;

    bool DeleteAllItems() override;
    int InsertItem(int nItem, const char* text) override;
    bool SetItemText(int nItem, int nSubItem, const char* text) override;
    std::string GetItemText(int nItem, int nSubItem) override;
    int GetItemText(int nItem, int nSubItem, char* buffer, int length) override;
    bool GetCheck(int nItem) override { return Valid(nItem) && m_rows[nItem]->checked; }
    bool SetCheck(int nItem, bool check) override;
    int GetItemCount() override { return static_cast<int>(m_rows.size()); }
    bool DeleteItem(int nItem) override;
    // Nothing is ever selected: the baseline opens no address.
    int GetNextSelectedItem(int) override { return -1; }
    void SetRedraw(bool) override {}

private:
    struct Row {
        std::string text[2];
        bool checked = false;
    };
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    static bool ValidColumn(int column) { return column == 0 || column == 1; }

    std::vector<std::unique_ptr<Row>> m_rows;
};
