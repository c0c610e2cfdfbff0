// A list control in memory: two text columns, a check box and a selection per
// row, and the removal notice raised before a row goes, however it goes. The
// bench's baseline keeps its rows here too: inserting at the top moves no row,
// so that a long list costs the baseline its registry calls and little else.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "AddressList.h"

namespace hltest {

class MemoryList final : public hl::IAddressList {
public:
    struct Row {
        std::string text[2];
        std::uintptr_t data = 0;
        bool checked = false;
        bool selected = false;
    };

    // Told each row's position just before the row is removed.
    std::function<void(int row)> onRemove;
    bool drawing = true;  // false while the owner has drawing suspended

    void Select(int row) { m_rows.at(static_cast<std::size_t>(row)).selected = true; }
    // The window closes: the control goes, and with it every row still in it.
    void Destroy() { DeleteAllItems(); }
    const std::deque<Row>& Rows() const { return m_rows; }

    bool DeleteAllItems() override;
    int InsertItem(int nItem, const char* text) override;
    bool SetItemText(int nItem, int nSubItem, const char* text) override;
    std::string GetItemText(int nItem, int nSubItem) override;
    int GetItemText(int nItem, int nSubItem, char* buffer, int length) override;
    bool SetItemData(int nItem, std::uintptr_t data) override;
    std::uintptr_t GetItemData(int nItem) override {
        return Valid(nItem) ? m_rows[static_cast<std::size_t>(nItem)].data : 0;
    }
    bool GetCheck(int nItem) override { return Valid(nItem) && m_rows[static_cast<std::size_t>(nItem)].checked; }
    bool SetCheck(int nItem, bool check) override;
    int GetItemCount() override { return static_cast<int>(m_rows.size()); }
    bool DeleteItem(int nItem) override;
    int GetNextSelectedItem(int nItem) override;
    void SetRedraw(bool redraw) override { drawing = redraw; }

private:
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }

    std::deque<Row> m_rows;
};

}  // namespace hltest
