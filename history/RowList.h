// The address list without a window: rows in memory, two text columns, a check
// box and a selection each, and the removal notice raised before a row goes,
// however it goes, as the list control raises it. A run without a window keeps
// its rows here, and so do the tests and the bench. Inserting at the top moves
// no row, so a long list costs little beyond its registry calls.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "AddressList.h"

namespace hl {

class CRowList : public IAddressList {
public:
    struct Row {
        std::string text[2];
        std::uintptr_t data = 0;
        bool checked = false;
        bool selected = false;
    };
    // keep: what the list makes of a text it is given, as a control that keeps
    // text in another form gives it back; null keeps it as given.
    explicit CRowList(std::string (*keep)(const char* text) = nullptr) : m_keep(keep) {}
    virtual ~CRowList() = default;

    // Told each row's position just before the row is removed.
    std::function<void(int row)> onRemove;
    bool drawing = true;  // false while the owner has drawing suspended

    void Select(int row) { m_rows.at(static_cast<std::size_t>(row)).selected = true; }
    const std::deque<Row>& Rows() const { return m_rows; }

    // Bottom row first, each reported while still there, as the control does.
    bool DeleteAllItems() override;
    int InsertItem(int nItem, const char* text) override;
    bool SetItemText(int nItem, int nSubItem, const char* text) override;
    std::string GetItemText(int nItem, int nSubItem) override;
    bool SetItemData(int nItem, std::uintptr_t data) override;
    std::uintptr_t GetItemData(int nItem) override { return Valid(nItem) ? At(nItem).data : 0; }
    bool GetCheck(int nItem) override { return Valid(nItem) && At(nItem).checked; }
    bool SetCheck(int nItem, bool check) override;
    int GetItemCount() override { return static_cast<int>(m_rows.size()); }
    bool DeleteItem(int nItem) override;
    int GetNextSelectedItem(int nItem) override;
    void SetRedraw(bool redraw) override { drawing = redraw; }

private:
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    Row& At(int row) { return m_rows[static_cast<std::size_t>(row)]; }
    std::string Kept(const char* text) const { return m_keep ? m_keep(text) : std::string(text); }

    std::string (*m_keep)(const char* text);
    std::deque<Row> m_rows;
};

}  // namespace hl
