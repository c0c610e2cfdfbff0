#include "RemoteListView.h"

#include <commctrl.h>

#include "WindowFacts.h"

namespace drive {

namespace {

// Room for a row's text well past the 259 characters the program stores.
constexpr int kTextRoom = 1024;

// A block of memory inside the list's process, for the messages whose parameters are
// pointers: the control reads and writes them in its own space.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : m_process(process), m_base(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
          m_size(size) {}
    ~RemoteMemory() {
        if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The address of byte `offset` as the other process sees it.
    void* At(std::size_t offset = 0) const { return static_cast<char*>(m_base) + offset; }
    LPARAM Param() const { return reinterpret_cast<LPARAM>(m_base); }
    bool Write(std::size_t offset, const void* data, std::size_t size) {
        SIZE_T written = 0;
        return m_base && offset + size <= m_size && WriteProcessMemory(m_process, At(offset), data, size, &written) &&
               written == size;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const {
        SIZE_T read = 0;
        return m_base && offset + size <= m_size && ReadProcessMemory(m_process, At(offset), data, size, &read) &&
               read == size;
    }

private:
    HANDLE m_process;
    void* m_base;
    std::size_t m_size;
};

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

std::vector<Row> RemoteListView::Rows() const {
    RemoteMemory memory(m_process, sizeof(LVITEMA) + kTextRoom);
    auto textOf = [&](int row, int column) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = static_cast<char*>(memory.At(sizeof item));
        item.cchTextMax = kTextRoom;
        std::string text(kTextRoom, '\0');
        bool answered = false;
        if (memory.Write(0, &item, sizeof item))
            SendTimed(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), memory.Param(), &answered);
        return answered && memory.Read(sizeof item, &text[0], text.size()) ? std::string(text.c_str()) : "(unread)";
    };
    std::vector<Row> rows;
    for (int row = 0, count = Count(); row < count; ++row) rows.push_back({textOf(row, 0), textOf(row, 1), Checked(row)});
    return rows;
}

std::vector<bool> RemoteListView::Checks() const {
    std::vector<bool> checks;
    for (int row = 0, count = Count(); row < count; ++row) checks.push_back(Checked(row));
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
