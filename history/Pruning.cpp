// "Delete Unchecked": pruning the browser's key and renumbering what is left.
//
// A row stands for its address; the name it was loaded under is only where the
// address was then. The browser (or a second copy of this program) may have
// rewritten its key since, so a value belongs to a row only while it holds the
// row's address, and values are moved with their own type and bytes, never
// written back from the text the list shows.
#include <unordered_map>
#include <unordered_set>

#include "Journal.h"
#include "KeyValues.h"
#include "ProgramNames.h"
#include "RedrawSuspended.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"

namespace hl {

namespace {

std::string UrlName(std::size_t number) { return kUrlValuePrefix + std::to_string(number); }

// Finds the value that is a row's address among a key's values, by its type and
// bytes exactly, each value given to one row at most. Text as the list shows it
// will not do: on a legacy code page two addresses can read alike.
class AddressIndex {
public:
    explicit AddressIndex(const std::vector<StoredValue>& values) : m_values(&values), m_taken(values.size()) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            m_byName[values[i].name].push_back(i);
            m_byContents[Contents(values[i])].push_back(i);
        }
    }

    // The untaken value under the row's own name if it still holds the row's address, or -1.
    long TakeNamed(const StoredValue& row) {
        auto it = m_byName.find(row.name);
        if (it == m_byName.end()) return -1;
        for (std::size_t i : it->second)
            if (!m_taken[i] && SameContents((*m_values)[i], row)) return Take(i);
        return -1;
    }
    // The first untaken value, in enumeration order, that holds the row's address, or -1.
    long TakeAny(const StoredValue& row) {
        auto it = m_byContents.find(Contents(row));
        if (it == m_byContents.end()) return -1;
        for (std::size_t i : it->second)
            if (!m_taken[i]) return Take(i);
        return -1;
    }
    long Take(const StoredValue& row) {
        const long named = TakeNamed(row);
        return named >= 0 ? named : TakeAny(row);
    }
    bool Taken(std::size_t i) const { return m_taken[i]; }

private:
    static std::string Contents(const StoredValue& value) { return std::to_string(value.type) + ':' + value.data; }
    long Take(std::size_t i) {
        m_taken[i] = true;
        return static_cast<long>(i);
    }

    const std::vector<StoredValue>* m_values;
    std::vector<bool> m_taken;
    std::unordered_map<std::u16string, std::vector<std::size_t>> m_byName;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byContents;
};

// A key's values; false when the key is there but could not be read whole.
bool ReadKey(IRegistry& registry, const char* path, std::vector<StoredValue>& values, bool* exists = nullptr) {
    values.clear();
    ScopedKey key(registry);
    const long opened = key.Open(path);
    if (exists) *exists = opened == kErrorSuccess;
    return opened == kErrorSuccess ? ReadAllValues(registry, key.get(), values) : opened == kErrorFileNotFound;
}

// A value's name, type and bytes in one string, each part of it unmistakable.
std::string Identity(const StoredValue& value) {
    return std::to_string(value.name.size()) + ':' + NameBytes(value.name) + std::to_string(value.type) + ':' +
           value.data;
}

// Whether the value under this name is still exactly this one.
bool Holds(IRegistry& registry, RegHandle key, const StoredValue& value) {
    StoredValue now;
    return QueryValue(registry, key, value.name, now.type, now.data) == kErrorSuccess && SameContents(now, value);
}

}  // namespace

void CTypedUrlHistory::OnDeleteUnchecked() {
    const Exclusive exclusive(*this);
    if (!exclusive) {
        ShowMessage(kBusyMessage);
        return;
    }
    RedrawSuspended quiet(m_list);
    // What the organization keeps is asked afresh; not knowing it, nothing may go.
    if (!ReadKeepPolicy()) {
        ShowMessage(kPolicyUnreadableMessage);
        return;
    }
    // A journal not yet put back holds what only it knows: a pruning would have
    // to write its own over it. It is tried again, and nothing is pruned while it stays.
    switch (RecoverFromJournal(m_registry)) {
    case Recovery::Clear:
        break;
    case Recovery::Kept:
        ShowMessage(kJournalKeptMessage);
        return;
    case Recovery::Unreadable:
        ShowMessage(kJournalUnreadableMessage);
        return;
    }
    m_pruned.clear();
    m_unfound.clear();
    // The marks are the keep-list of every later pruning: the kept ones are
    // written before anything is deleted, and the others forgotten only after.
    RememberKeptChecks();
    m_pruning = true;
    std::unordered_set<std::string> deleted;  // the marks of the addresses deleted

    // Where each address is now. While every row's value is still under its name
    // one question per row tells so; from the first that is not, the whole key
    // is read once, through the handle the scan has open.
    std::vector<StoredValue> now;
    bool read = false;
    bool known = false;
    AddressIndex where(now);

    // After each deletion the scan starts again from the top, so that a row whose
    // key would not open (held for a moment by the browser, say) is tried again
    // after every later deletion rather than given up at its first failure. The
    // rows above the deleted one do not change meanwhile: the checked ones are
    // passed over and the unchecked ones whose key would not open are tried
    // again. So instead of walking them again, the scan retries just those rows,
    // top first, and then goes on where it was; the rows deleted and the registry
    // calls made are the same as those of a walk from the top, without its cost
    // in a list of thousands.
    // A deleted address's stamp goes with it at once, rather than with the rewrite: a
    // process that ends in between must not leave it under a name the browser may give
    // another address. While the stamps' key would not open, the stamps wait for the
    // next deletion and the scan's end.
    ScopedKey times(m_registry);
    long stamps = kErrorAccessDenied;  // not opened yet
    std::vector<std::u16string> unforgotten;
    const auto forgetStamps = [&]() {
        if (stamps != kErrorSuccess && stamps != kErrorFileNotFound) stamps = times.Open(kTypedUrlsTimeKey);
        if (stamps == kErrorSuccess)
            for (const std::u16string& name : unforgotten) m_registry.RegDeleteValueW(times.get(), name.c_str());
        if (stamps == kErrorSuccess || stamps == kErrorFileNotFound) unforgotten.clear();
    };
    const auto forgetStamp = [&](const std::u16string& name) {
        unforgotten.push_back(name);
        forgetStamps();
    };
    std::vector<int> unopened;  // positions above `next`, ascending
    std::size_t retry = 0;      // the next entry of `unopened` to try in this pass
    int next = 0;               // the first row the scan has not reached yet
    for (;;) {
        const bool retrying = retry < unopened.size();
        int row;
        if (retrying) {
            row = unopened[retry];
        } else if (next < m_list.GetItemCount()) {
            row = next;
            if (m_list.GetCheck(row)) {
                ++next;
                continue;
            }
        } else {
            break;
        }

        const StoredValue* loaded = Loaded(row);
        ScopedKey key(m_registry);
        const long opened = key.Open(kTypedUrlsKey);
        if (opened != kErrorSuccess && opened != kErrorFileNotFound) {
            // The row stays for now, and its key is opened again on a later pass.
            if (retrying) {
                ++retry;
            } else {
                unopened.push_back(row);
                ++next;
                retry = unopened.size();
            }
            continue;
        }
        // A key that is gone holds the value no more: the address goes as asked,
        // instead of staying on to be written back by the rewrite. A value
        // already gone is fine too; and without a full reading of the key nothing
        // but the row's own value may go.
        if (key && loaded && !read && Holds(m_registry, key.get(), *loaded)) {
            if (m_registry.RegDeleteValueW(key.get(), loaded->name.c_str()) == kErrorSuccess) forgetStamp(loaded->name);
            m_pruned.insert(Identity(*loaded));
        } else if (key && loaded) {
            if (!read) {
                read = true;
                known = ReadAllValues(m_registry, key.get(), now);
                where = AddressIndex(now);
            }
            const long found = known ? where.Take(*loaded) : -1;
            if (found >= 0) {
                const StoredValue& value = now[static_cast<std::size_t>(found)];
                if (m_registry.RegDeleteValueW(key.get(), value.name.c_str()) == kErrorSuccess) forgetStamp(value.name);
                m_pruned.insert(Identity(value));
            } else if (!known) {
                // Where the address is cannot be told now; the rewrite, which reads
                // the key whole, looks for it as this scan would have.
                m_unfound.push_back(*loaded);
            }
        }
        key.Close();
        deleted.insert(FoldedName(m_list.GetItemText(row, 0)));
        m_list.DeleteItem(row);  // its removal notice remembers the address as unchecked

        // The rows below the deleted one each move up one place: `next` and the
        // positions waiting for a retry follow them.
        if (retrying) {
            unopened.erase(unopened.begin() + static_cast<std::ptrdiff_t>(retry));
            --next;
        }
        for (int& position : unopened)
            if (position > row) --position;
        retry = 0;
    }

    if (!unforgotten.empty()) forgetStamps();
    times.Close();
    ForgetMarks(!m_forgetOnlyDeleted && m_loadedWhole, deleted);
    m_pruning = false;
    m_registry.RegDeleteTreeA(kKeptKey);
    RewriteTypedUrls();
    m_keptMarks.clear();
}

void CTypedUrlHistory::RewriteTypedUrls() {
    const Exclusive exclusive(*this);
    if (!exclusive) {
        ShowMessage(kBusyMessage);
        return;
    }
    bool journalKept = false;
    const bool saved = Rewrite(journalKept);
    m_pruned.clear();
    m_unfound.clear();
    // Remembered at once, as the close would: a process that ends before the
    // window closes must not leave every kept address unchecked.
    RememberChecks();
    if (!saved) ShowMessage(journalKept ? kSaveUndoneAtNextStartMessage : kSaveFailedMessage);
}

bool CTypedUrlHistory::Rewrite(bool& journalKept) {
    // What the key holds now, whatever the list could show of it. Without a full
    // reading the key is left as it is: emptying it could lose what was not read.
    std::vector<StoredValue> before;
    if (!ReadKey(m_registry, kTypedUrlsKey, before)) return false;

    // The rows as url1 to urlN from the top, each moved from the value that is
    // its address: the one under the row's name first, then any other. A row
    // whose value is gone is written back as it was loaded, byte for byte.
    AddressIndex index(before);
    const int rows = m_list.GetItemCount();
    std::vector<StoredValue*> loaded(static_cast<std::size_t>(rows));
    std::vector<long> sources(static_cast<std::size_t>(rows), -1);
    for (int row = 0; row < rows; ++row) {
        loaded[row] = Loaded(row);
        if (loaded[row]) sources[row] = index.TakeNamed(*loaded[row]);
    }
    // A deleted address the scan could not find goes wherever it is now, though
    // not from under a kept row's own name.
    for (const StoredValue& gone : m_unfound) index.Take(gone);
    std::vector<StoredValue> after;
    std::vector<long> origin;  // which old value each new one is, or -1 for a row's loaded value
    for (int row = 0; row < rows; ++row) {
        if (!loaded[row]) continue;  // no value to write; a row loading did not make
        if (sources[row] < 0) sources[row] = index.TakeAny(*loaded[row]);
        const StoredValue& source = sources[row] >= 0 ? before[static_cast<std::size_t>(sources[row])] : *loaded[row];
        after.push_back({Widened(UrlName(row + 1)), source.type, source.data});
        origin.push_back(sources[row]);
    }
    // Then every value no row stands for, unless it is one the pruning deleted
    // that would not go; those named url<number> numbered on after the rows.
    std::size_t numbered = static_cast<std::size_t>(rows);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (index.Taken(i) || m_pruned.count(Identity(before[i]))) continue;
        after.push_back(before[i]);
        if (IsNumberedUrlName(after.back().name)) after.back().name = Widened(UrlName(++numbered));
        origin.push_back(static_cast<long>(i));
    }

    // The browser's time stamps go with their addresses, and only theirs.
    // Stamps are moved, never shown: their wide form is all there is to read.
    // One that cannot be read would be lost, so nothing is changed then.
    std::vector<StoredValue> timesBefore;
    bool timesExist = false;
    if (!ReadKey(m_registry, kTypedUrlsTimeKey, timesBefore, &timesExist)) return false;
    std::vector<StoredValue> timesAfter;
    if (timesExist) {
        ScopedKey times(m_registry);
        if (times.Open(kTypedUrlsTimeKey) != kErrorSuccess) return false;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (origin[i] < 0) continue;
            StoredValue stamp{after[i].name, kRegNone, {}};
            const long found = QueryValue(m_registry, times.get(), before[static_cast<std::size_t>(origin[i])].name,
                                          stamp.type, stamp.data);
            if (found == kErrorFileNotFound) continue;
            if (found != kErrorSuccess) return false;
            timesAfter.push_back(std::move(stamp));
        }
    }

    std::vector<KeyContents> journal = {{JournaledKey::TypedUrls, before, after}};
    if (timesExist) journal.push_back({JournaledKey::TypedUrlsTime, timesBefore, timesAfter});
    if (!SaveJournaled(m_registry, journal, journalKept)) return false;

    // Each row now stands at its new name, holding what was moved there.
    for (int row = 0, moved = 0; row < rows; ++row) {
        m_list.SetItemText(row, 1, UrlName(row + 1).c_str());
        if (loaded[row]) *loaded[row] = after[static_cast<std::size_t>(moved++)];
    }
    return true;
}

}  // namespace hl
