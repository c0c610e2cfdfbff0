// The typed-address logic of the main window: loading the list, remembering check
// marks, the check and open commands, and pruning. The window owns one and hands
// it the list's notices; a run without a window, the tests and the bench own theirs.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "AddressList.h"
#include "Journal.h"
#include "KeepPolicy.h"
#include "KeyValues.h"
#include "RegistryOps.h"
#include "Shell.h"
#include "WriterLock.h"

namespace hl {

class CRowList;
class ScopedKey;

class CTypedUrlHistory {
public:
    CTypedUrlHistory(const CTypedUrlHistory&) = delete;
    CTypedUrlHistory& operator=(const CTypedUrlHistory&) = delete;

    // Empties the list and reloads it from the browser's key, newest value on top.
    void FillList();
    // Remembers the check mark of a row that is about to leave the list.
    void OnDeleteItemList(const RowNotice* notification, std::intptr_t* result);
    // Has rows kept in memory report each removal here, as the window's list reports it.
    void HearRemovals(CRowList& rows);
    // Remembers every row's check mark, as the rows' removal on closing does.
    void RememberChecks();

    // The window begins to close: every row's mark is remembered now, and the
    // writer lock is kept until EndClose, once the rows are gone, so that a copy
    // started meanwhile reads the marks only once they are written. False, with
    // the user told, when another copy keeps the lock: the window stays open.
    bool BeginClose();
    void EndClose();
    // The whole close, the window's and that of a run without one: BeginClose,
    // every row's removal from the list, EndClose. False, with nothing closed,
    // while another copy keeps the lock.
    bool Close();
    // Whether loading gave way to another copy that kept the lock: nothing was loaded.
    bool LockedOut() const { return m_lockedOut; }
    // What the last load made of a journal left by a pruning cut short: while one
    // stays, the key may hold a rewrite half done.
    Recovery JournalAtLoad() const { return m_recovery; }
    // Without a lock, no other copy is waited for.
    void SetWriterLock(IWriterLock* lock) { m_lock = lock; }
    // Without a keep policy, only the user's marks keep addresses.
    void SetKeepPolicy(IKeepPolicy* policy) { m_keepPolicy = policy; }
    // Whether the keep policy could be read the last time it was: when the list
    // loaded, and again when a pruning began.
    bool KeepPolicyRead() const { return m_keepPolicyRead; }

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
    static constexpr const char kSaveUndoneAtNextStartMessage[] =
        "The typed addresses could not be saved, nor put back as they were.\n"
        "Internet Explorer's list is put back as it was before this pruning when Hedgeloom next starts.";
    static constexpr const char kJournalKeptMessage[] =
        "Nothing was deleted: an earlier pruning that was cut short could not be undone yet.\n"
        "Close Hedgeloom and Internet Explorer, then try again.";
    static constexpr const char kJournalUnreadableMessage[] =
        "Nothing was deleted: the journal of an earlier pruning cannot be read, so it cannot be undone.\n"
        "Hedgeloom keeps it under HKEY_CURRENT_USER\\Software\\Corvanta\\Hedgeloom\\Journal. "
        "Look at Internet Explorer's typed addresses, then delete that key to prune again.";
    static constexpr const char kJournalKeptListMessage[] =
        "Nothing was listed: an earlier pruning was cut short, and Internet Explorer's list could not be put back yet.\n"
        "Close Internet Explorer, then try again.";
    static constexpr const char kJournalUnreadableListMessage[] =
        "Nothing was listed: the journal of an earlier pruning cannot be read, so the list may be half rewritten.\n"
        "Hedgeloom keeps it under HKEY_CURRENT_USER\\Software\\Corvanta\\Hedgeloom\\Journal.";
    static constexpr const char kWindowOpenMessage[] =
        "Hedgeloom is open in a window: nothing was pruned.\n"
        "The window's check marks are saved when it closes; close it, then prune again.";
    static constexpr const char kPolicyUnreadableMessage[] =
        "Nothing was deleted: the addresses your organization always keeps could not be read.\n"
        "Try again later, or ask your administrator about the policy \"Addresses always kept\".";
    static constexpr const char kPolicyUnreadableListMessage[] =
        "Nothing was listed: the addresses your organization always keeps could not be read.\n"
        "Try again later, or ask your administrator about the policy \"Addresses always kept\".";
    static constexpr const char kMarksUnreadableMessage[] =
        "Nothing was pruned: the check marks cannot be read, so every address would count as unchecked.\n"
        "Hedgeloom keeps them under HKEY_CURRENT_USER\\Software\\Corvanta\\Hedgeloom\\TypedUrls.";
    static constexpr const char kKeptByPolicyTip[] = "Always kept by your organization";
    static constexpr const char kBusyMessage[] =
        "Another Hedgeloom is changing Internet Explorer's typed addresses.\n"
        "Try again once it has finished.";

protected:
    CTypedUrlHistory(IRegistry& registry, IAddressList& list, IShell& shell)
        : m_registry(registry), m_list(list), m_shell(shell) {}
    virtual ~CTypedUrlHistory() = default;

    // Tells the user of a failure; the window shows it in a message box.
    virtual void ShowMessage(const char* text) = 0;

    IShell& Shell() { return m_shell; }
    // The browser's stamp of the value the row stands for, while the key still holds that value.
    bool LastTyped(int row, std::uint64_t& fileTime);
    // Whether the organization keeps the row's address: no command may uncheck it.
    bool KeptByPolicy(int row);
    // Whether the marks can be read: a profile there but closed to us reads as
    // every address unchecked.
    bool MarksReadable();
    // The address's mark, from the marks' key as FillList opened it (opened: how that went).
    bool Marked(const ScopedKey& marks, long opened, const std::string& address);

    // Holds the writer lock for one operation, unless this window holds it already.
    class Exclusive {
    public:
        explicit Exclusive(CTypedUrlHistory& history) : m_history(history), m_held(history.TakeLock()) {}
        ~Exclusive() {
            if (m_held) m_history.GiveLock();
        }
        Exclusive(const Exclusive&) = delete;
        Exclusive& operator=(const Exclusive&) = delete;
        explicit operator bool() const { return m_held; }

    private:
        CTypedUrlHistory& m_history;
        bool m_held;
    };
    // The close has the lock and is about to write the marks: a window may now
    // let a copy started meanwhile begin, to load them once written.
    virtual void OnCloseBegun() {}

    // A pruning forgets only the marks of the addresses it deleted, keeping those
    // of addresses it never saw; the window's forgets every mark not kept.
    void ForgetOnlyDeleted() { m_forgetOnlyDeleted = true; }

private:
    bool TakeLock();
    void GiveLock();
    // Reads the keep policy afresh and checks every row it keeps; false when it cannot be read.
    bool ReadKeepPolicy();
    void SetAllChecks(bool (*newState)(bool current));
    void RememberCheck(int row);
    // Before a pruning changes anything: every checked row remembered as kept.
    void RememberKeptChecks();
    // Whether the address's mark is a kept row's, during a pruning.
    bool SharesAKeptMark(const std::string& address);
    // Forgets the marks of addresses not kept: all of them, or only those deleted.
    void ForgetMarks(bool all, const std::unordered_set<std::string>& deleted);
    // The value a row stands for, exactly as it was loaded or last moved; null
    // for a row loading did not make.
    StoredValue* Loaded(int row);
    // The rewrite itself; false when the addresses and their stamps could not be
    // saved. journalKept: they could not be put back either, and the journal
    // puts them back at the next start.
    bool Rewrite(bool& journalKept);

    IRegistry& m_registry;
    IAddressList& m_list;
    IShell& m_shell;
    // The values the last pruning deleted, by name, type and bytes; one that
    // survived its deletion must not come back through the rewrite.
    std::unordered_set<std::string> m_pruned;
    // The addresses the last pruning deleted but could not find, the key not
    // reading whole then; the rewrite, which reads it whole, leaves them out.
    std::vector<StoredValue> m_unfound;
    // A row that loading takes back has no check mark to remember.
    bool m_discarding = false;
    // The values the rows were loaded from; a row carries its place here, plus one.
    std::vector<StoredValue> m_loaded;
    // The entries of checked rows that have left the list since it was loaded,
    // and during a pruning those of every row it keeps.
    std::unordered_set<std::string> m_keptMarks;
    IKeepPolicy* m_keepPolicy = nullptr;
    KeepList m_keepList;
    bool m_keepPolicyRead = true;
    IWriterLock* m_lock = nullptr;
    int m_lockDepth = 0;  // operations of this window now holding the lock
    bool m_closing = false;
    bool m_forgetOnlyDeleted = false;
    bool m_pruning = false;
    bool m_keptOutsideAscii = false;  // the pruning's kept addresses include one beyond ASCII
    bool m_marksLockedOut = false;  // a row's mark found another copy holding the lock
    bool m_loadedWhole = false;     // the last load read the key to its end, or found none
    Recovery m_recovery = Recovery::Clear;
    bool m_lockedOut = false;
};

}  // namespace hl
