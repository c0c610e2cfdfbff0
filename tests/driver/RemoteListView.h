// A SysListView32 of another process, read and changed through its messages, their pointers into its memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver/RegValue.h"

namespace drive {

struct ListColumn {
    std::string heading;
    int width;
    int format;
};

class RemoteListView {
public:
    RemoteListView(HANDLE process, HWND list) : m_process(process), m_list(list) {}

    HWND hwnd() const { return m_list; }
    int Count() const;
    bool Checked(int row) const;
    bool SetChecked(int row, bool checked) const;
    // Every row from the top, a few messages each: for short lists.
    std::vector<Row> Rows() const;
    // Every row's check from the top, one message each.
    std::vector<bool> Checks() const;
    // Every column, left to right.
    std::vector<ListColumn> Columns() const;
    // A part of the row (LVIR_BOUNDS, LVIR_LABEL, ...) in screen coordinates.
    bool RectOnScreen(int row, int part, RECT* rect) const;
    // The selected rows, top first.
    std::vector<int> Selected() const;
    // The middle of the row's check box on the screen, between the row's left edge and its label.
    bool CheckBoxOnScreen(int row, POINT* point) const;

private:
    HANDLE m_process;
    HWND m_list;
};

}  // namespace drive
