// The typed-address logic of the main window: loading the list, remembering check
// marks, the check and open commands, and pruning. The window derives from this
// class, so its event table names these handlers as its own members.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "AddressList.h"
#include "RegistryOps.h"
#include "Shell.h"

namespace hl {

class CTypedUrlHistory {
public:
    CTypedUrlHistory(const CTypedUrlHistory&) = delete;
    CTypedUrlHistory& operator=(const CTypedUrlHistory&) = delete;

    // Empties the list and reloads it from the browser's key, newest value on top.
    void FillList();
    // Remembers the check mark of a row that is about to leave the list.
    void OnDeleteItemList(const RowNotice* notification, std::intptr_t* result);
    // Remembers every row's check mark, as the rows' removal on closing does.
    void RememberChecks();

    void OnCheckAll();
    void OnUncheckAll();
    void OnInvertChecks();
    // Opens the address of the row clicked; a click on a check box only checks.
    void OnClickList(const ClickNotice* notification, std::intptr_t* result);

    // What the list's menu and keys act on: the selected rows, top first.
    std::vector<int> SelectedRows();
    // Checks or unchecks the selected rows; nothing is written until they leave the list.
    void CheckSelected(bool check);
    // Space on a selection: every row of it takes the focused row's check,
    // provided the focused row is one of them.
    void SpreadCheck(int focusedRow, const std::vector<int>& selection);
    // The selected addresses top first, one a line, as they are to be copied.
    std::string SelectedAddresses();
    // Opens the row's address, as a click on it does.
    void OpenRow(int row);
    // The row's whole address and, where the browser stamped it, when it was
    // last typed, written as formatTime writes a FILETIME.
    std::string RowTip(int row, std::string (*formatTime)(std::uint64_t fileTime));

    // Deletes the unchecked addresses, forgets all check marks, renumbers the rest.
    void OnDeleteUnchecked();
    // Replaces the browser's key by the rows, as url1 to urlN from the top.
    void RewriteTypedUrls();

    static constexpr const char kSaveFailedMessage[] =
        "The typed addresses could not be saved.\n"
        "The addresses you kept are still in Internet Explorer's list, but they were not renumbered.";

protected:
    CTypedUrlHistory(IRegistry& registry, IAddressList& list, IShell& shell)
        : m_registry(registry), m_list(list), m_shell(shell) {}
    virtual ~CTypedUrlHistory() = default;

    // Tells the user of a failure; the window shows it in a message box.
    virtual void ShowMessage(const char* text) = 0;

    IShell& Shell() { return m_shell; }
    // The browser's stamp of the value the row came from, while that value still holds the row's address.
    bool LastTyped(int row, std::uint64_t& fileTime);

private:
    void SetAllChecks(bool (*newState)(bool current));
    void RememberCheck(int row);
    // Whether the value of that name, as the list would show it, is that address.
    bool HoldsAddress(RegHandle key, const std::string& name, const std::string& address);
    // The rewrite itself; false when the addresses or their stamps could not be
    // saved. journalNeeded: the keys may be neither as they were nor as meant.
    bool Rewrite(bool& journalNeeded);

    IRegistry& m_registry;
    IAddressList& m_list;
    IShell& m_shell;
    // The values the last pruning deleted, by name and address; one that
    // survived its deletion must not come back through the rewrite.
    std::unordered_set<std::string> m_pruned;
    // A row that loading takes back has no check mark to remember.
    bool m_discarding = false;
};

}  // namespace hl
