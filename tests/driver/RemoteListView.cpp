#include "RemoteListView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "RemoteMemory.h"
#include "WindowFacts.h"

namespace drive {

namespace {

// Room for a row's text well past the 259 characters the program stores.
constexpr int kTextRoom = 1024;

}  // namespace

int RemoteListView::Count() const {
    return static_cast<int>(SendTimed(m_list, LVM_GETITEMCOUNT));
}

bool RemoteListView::Checked(int row) const {
    const LRESULT state = SendTimed(m_list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

bool RemoteListView::SetChecked(int row, bool checked) const {
    RemoteMemory memory(m_process, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    return memory.Write(0, &item, sizeof item) &&
           SendTimed(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), memory.Param()) != 0;
}

std::vector<Row> RemoteListView::Rows(bool withNames) const {
    // A cross-process message costs Wine about half a millisecond, and so does a
    // block of another process's memory: a long list is read in batches, each one
    // block that holds the requests and texts of many rows, written and read back
    // at once, so that what remains per row is one message for each column.
    constexpr int kBatch = 128;
    constexpr std::size_t kCell = sizeof(LVITEMA) + kTextRoom;
    std::vector<Row> rows;
    const int count = Count();
    RemoteMemory memory(m_process, 2 * kBatch * kCell);
    std::vector<char> block(2 * kBatch * kCell);
    for (int first = 0; first < count; first += kBatch) {
        const int batch = std::min(kBatch, count - first);
        std::fill(block.begin(), block.end(), '\0');
        for (int cell = 0; cell < 2 * batch; ++cell) {
            LVITEMA item{};
            item.iItem = first + cell / 2;
            item.iSubItem = cell % 2;
            item.mask = LVIF_TEXT | (item.iSubItem == 0 ? LVIF_STATE : 0);
            item.stateMask = LVIS_STATEIMAGEMASK;
            item.pszText = static_cast<char*>(memory.At(cell * kCell + sizeof item));
            item.cchTextMax = kTextRoom;
            std::memcpy(&block[cell * kCell], &item, sizeof item);
        }
        const std::size_t used = 2 * static_cast<std::size_t>(batch) * kCell;
        if (!memory.Write(0, block.data(), used)) break;
        for (int cell = 0; cell < 2 * batch; cell += withNames ? 1 : 2)
            SendTimed(m_list, LVM_GETITEMA, 0, memory.Param(cell * kCell));
        if (!memory.Read(0, block.data(), used)) break;
        auto textOf = [&](int cell) {
            const char* text = &block[cell * kCell + sizeof(LVITEMA)];
            return std::string(text, strnlen(text, kTextRoom - 1));
        };
        for (int row = 0; row < batch; ++row) {
            LVITEMA item{};
            std::memcpy(&item, &block[2 * row * kCell], sizeof item);
            rows.push_back({textOf(2 * row), textOf(2 * row + 1),
                            (item.state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2)});
        }
    }
    return rows;
}

std::vector<bool> RemoteListView::Checks() const {
    std::vector<bool> checks;
    for (const Row& row : Rows(kWithoutNames)) checks.push_back(row.checked);
    return checks;
}

std::vector<ListColumn> RemoteListView::Columns() const {
    std::vector<ListColumn> columns;
    RemoteMemory memory(m_process, sizeof(LVCOLUMNA) + kTextRoom);
    for (int index = 0; index < 64; ++index) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = static_cast<char*>(memory.At(sizeof column));
        column.cchTextMax = kTextRoom;
        if (!memory.Write(0, &column, sizeof column)) break;
        if (!SendTimed(m_list, LVM_GETCOLUMNA, static_cast<WPARAM>(index), memory.Param())) break;
        std::string heading(kTextRoom, '\0');
        if (!memory.Read(0, &column, sizeof column) || !memory.Read(sizeof column, &heading[0], heading.size()))
            break;
        heading.resize(heading.find('\0'));
        columns.push_back({heading, column.cx, column.fmt & LVCFMT_JUSTIFYMASK});
    }
    return columns;
}

std::vector<int> RemoteListView::Selected() const {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(SendTimed(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                          LVNI_SELECTED))) >= 0 && (rows.empty() || row > rows.back());)
        rows.push_back(row);
    return rows;
}

bool RemoteListView::RectOnScreen(int row, int part, RECT* rect) const {
    RemoteMemory memory(m_process, sizeof(RECT));
    RECT found{};
    found.left = part;
    if (!memory.Write(0, &found, sizeof found) ||
        !SendTimed(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), memory.Param()) ||
        !memory.Read(0, &found, sizeof found))
        return false;
    MapWindowPoints(m_list, HWND_DESKTOP, reinterpret_cast<POINT*>(&found), 2);
    *rect = found;
    return true;
}

bool RemoteListView::CheckBoxOnScreen(int row, POINT* point) const {
    RECT bounds{}, label{};
    if (!RectOnScreen(row, LVIR_BOUNDS, &bounds) || !RectOnScreen(row, LVIR_LABEL, &label) ||
        label.left <= bounds.left)
        return false;
    *point = {(bounds.left + label.left) / 2, (label.top + label.bottom) / 2};
    return true;
}

}  // namespace drive
