// The address list: the rows of the main window's list control, reached only
// through these operations. Column 0 holds the address, column 1 the name of the
// registry value it came from; rows are counted from 0 at the top.
#pragma once

#include <cstdint>
#include <string>

namespace hl {

// What the list tells its owner just before row iItem goes: the row and its
// check box can still be read while the notice is handled.
struct RowNotice {
    int iItem;
};

// Where a click on the list landed: the row under the pointer (-1 for none), and
// whether it hit the row's check box rather than its address.
struct ClickNotice {
    int iItem;
    bool onCheckBox;
};

class IAddressList {
public:
    // Removes every row; the list reports each row's removal first.
    virtual bool DeleteAllItems() = 0;
    // Inserts a row at nItem with the text of column 0; returns its position or -1.
    virtual int InsertItem(int nItem, const char* text) = 0;
    virtual bool SetItemText(int nItem, int nSubItem, const char* text) = 0;
    virtual std::string GetItemText(int nItem, int nSubItem) = 0;
    // A number the row carries for its owner, unseen; 0 until it is set.
    virtual bool SetItemData(int nItem, std::uintptr_t data) = 0;
    virtual std::uintptr_t GetItemData(int nItem) = 0;
    virtual bool GetCheck(int nItem) = 0;
    virtual bool SetCheck(int nItem, bool check) = 0;
    virtual int GetItemCount() = 0;
    // Removes one row; the list reports the removal first.
    virtual bool DeleteItem(int nItem) = 0;
    // The next selected row after nItem (-1 to start from the top), or -1.
    virtual int GetNextSelectedItem(int nItem) = 0;
    // Suspends or resumes drawing around a batch of changes.
    virtual void SetRedraw(bool redraw) = 0;

protected:
    ~IAddressList() = default;
};

}  // namespace hl
