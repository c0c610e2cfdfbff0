// The address list as the main window provides it: its list control.
#pragma once

#include "AddressList.h"
#include "ListCtrl.h"

class CListCtrlAddressList final : public hl::IAddressList {
public:
    explicit CListCtrlAddressList(CListCtrl& list) : m_list(list) {}

    bool DeleteAllItems() override { return m_list.DeleteAllItems() != FALSE; }
    int InsertItem(int nItem, const char* text) override { return m_list.InsertItem(nItem, text); }
    bool SetItemText(int nItem, int nSubItem, const char* text) override {
        return m_list.SetItemText(nItem, nSubItem, text) != FALSE;
    }
    std::string GetItemText(int nItem, int nSubItem) override {
        return m_list.GetItemText(nItem, nSubItem);
    }
    bool SetItemData(int nItem, std::uintptr_t data) override { return m_list.SetItemData(nItem, data) != FALSE; }
    std::uintptr_t GetItemData(int nItem) override { return m_list.GetItemData(nItem); }
    bool GetCheck(int nItem) override { return m_list.GetCheck(nItem) != FALSE; }
    bool SetCheck(int nItem, bool check) override { return m_list.SetCheck(nItem, check) != FALSE; }
    int GetItemCount() override { return m_list.GetItemCount(); }
    bool DeleteItem(int nItem) override { return m_list.DeleteItem(nItem) != FALSE; }
    int GetNextSelectedItem(int nItem) override { return m_list.GetNextItem(nItem, LVNI_SELECTED); }
    void SetRedraw(bool redraw) override { m_list.SetRedraw(redraw); }

private:
    CListCtrl& m_list;
};
