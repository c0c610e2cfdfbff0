// "Delete Unchecked": pruning the browser's key and renumbering what is left.
//
// A row stands for its address; the name it was loaded under is only where the
// address was then. The browser (or a second copy of this program) may have
// rewritten its key since, so a value belongs to a row only while it holds the
// row's address, and values are moved with their own type and bytes, never
// written back from the text the list shows.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "Journal.h"
#include "KeyValues.h"
#include "ProductNames.h"
#include "RedrawSuspended.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"
#include "ValueText.h"

namespace hl {

namespace {

std::string UrlName(std::size_t number) { return kUrlValuePrefix + std::to_string(number); }

// Finds the value that holds a row's address among a key's values, each value
// given to one row at most.
class AddressIndex {
public:
    explicit AddressIndex(const std::vector<ListedValue>& values) : m_values(&values), m_taken(values.size()) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (!values[i].shown) continue;
            m_byName[values[i].name].push_back(i);
            m_byText[values[i].text].push_back(i);
        }
    }

    // The untaken value under this name if it still holds this address, or -1.
    long TakeNamed(const std::string& name, const std::string& text) {
        auto it = m_byName.find(name);
        if (it == m_byName.end()) return -1;
        for (std::size_t i : it->second)
            if (!m_taken[i] && (*m_values)[i].text == text) return Take(i);
        return -1;
    }
    // The first untaken value, in enumeration order, that holds this address, or -1.
    long TakeAny(const std::string& text) {
        auto it = m_byText.find(text);
        if (it == m_byText.end()) return -1;
        for (std::size_t i : it->second)
            if (!m_taken[i]) return Take(i);
        return -1;
    }
    long Take(const std::string& name, const std::string& text) {
        const long named = TakeNamed(name, text);
        return named >= 0 ? named : TakeAny(text);
    }
    bool Taken(std::size_t i) const { return m_taken[i]; }

private:
    long Take(std::size_t i) {
        m_taken[i] = true;
        return static_cast<long>(i);
    }

    const std::vector<ListedValue>* m_values;
    std::vector<bool> m_taken;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byName;
    std::unordered_map<std::string, std::vector<std::size_t>> m_byText;
};

// A key's values, read as `read` reads them; false when the key is there but could not be read whole.
template <typename Value>
bool ReadKey(IRegistry& registry, const char* path, bool (*read)(IRegistry&, RegHandle, std::vector<Value>&),
             std::vector<Value>& values, bool* exists = nullptr) {
    values.clear();
    ScopedKey key(registry);
    const long opened = key.Open(path);
    if (exists) *exists = opened == kErrorSuccess;
    return opened == kErrorSuccess ? read(registry, key.get(), values) : opened == kErrorFileNotFound;
}

// Neither a name nor an address as the list shows them holds a zero.
std::string PrunedKey(const std::string& name, const std::string& text) { return name + '\0' + text; }

std::vector<StoredValue> Stored(const std::vector<ListedValue>& values) {
    std::vector<StoredValue> stored;
    for (const ListedValue& value : values) stored.push_back(value.value);
    return stored;
}

}  // namespace

void CTypedUrlHistory::OnDeleteUnchecked() {
    const Exclusive exclusive(*this);
    if (!exclusive) {
        ShowMessage(kBusyMessage);
        return;
    }
    RedrawSuspended quiet(m_list);
    m_pruned.clear();

    // Where each address is now. While every row's value still holds its address
    // one question per row tells so; from the first that does not, the whole key
    // is read once, through the handle the scan has open.
    std::vector<ListedValue> now;
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

        const std::string name = m_list.GetItemText(row, 1);
        const std::string address = m_list.GetItemText(row, 0);
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
        // already gone is fine too.
        if (key && !read && HoldsAddress(key.get(), name, address)) {
            m_registry.RegDeleteValueA(key.get(), name.c_str());
            m_pruned.insert(PrunedKey(name, address));
        } else if (key) {
            if (!read) {
                read = true;
                known = ReadListedValues(m_registry, key.get(), now);
                where = AddressIndex(now);
            }
            const long found = known ? where.Take(name, address) : -1;
            if (found >= 0) {
                const ListedValue& value = now[static_cast<std::size_t>(found)];
                m_registry.RegDeleteValueW(key.get(), value.value.name.c_str());
                m_pruned.insert(PrunedKey(value.name, address));
            } else if (!known) {
                // Not fully read: the name the row was loaded under is all there is to go by.
                m_registry.RegDeleteValueA(key.get(), name.c_str());
                m_pruned.insert(PrunedKey(name, address));
            }
        }
        key.Close();
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

    m_registry.RegDeleteKeyA(kSectionKey);  // forget every check mark, kept rows' too
    RewriteTypedUrls();
}

bool CTypedUrlHistory::HoldsAddress(RegHandle key, const std::string& name, const std::string& address) {
    unsigned char data[kTextBuffer];
    unsigned long size = kTextBuffer;
    return m_registry.RegQueryValueExA(key, name.c_str(), nullptr, data, &size) == kErrorSuccess &&
           ValueText(data, std::min(size, kTextBuffer)) == address;
}

void CTypedUrlHistory::RewriteTypedUrls() {
    const Exclusive exclusive(*this);
    if (!exclusive) {
        ShowMessage(kBusyMessage);
        return;
    }
    bool journalNeeded = false;
    const bool saved = Rewrite(journalNeeded);
    m_pruned.clear();
    // Remembered at once, as the close would: a process that ends before the
    // window closes must not leave every kept address unchecked.
    RememberChecks();
    if (!journalNeeded) RemoveJournal(m_registry);
    if (!saved) ShowMessage(kSaveFailedMessage);
}

bool CTypedUrlHistory::Rewrite(bool& journalNeeded) {
    // What the key holds now, whatever the list could show of it. Without a full
    // reading the key is left as it is: emptying it could lose what was not read.
    std::vector<ListedValue> before;
    if (!ReadKey(m_registry, kTypedUrlsKey, ReadListedValues, before)) return false;

    // The rows as url1 to urlN from the top, each moved from the value that
    // holds its address: the one under the row's name first, then any other.
    AddressIndex index(before);
    const int rows = m_list.GetItemCount();
    std::vector<std::string> texts(static_cast<std::size_t>(rows));
    std::vector<long> sources(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        char text[kTextBuffer];
        m_list.GetItemText(row, 0, text, static_cast<int>(kTextBuffer));
        texts[row] = text;
        sources[row] = index.TakeNamed(m_list.GetItemText(row, 1), texts[row]);
    }
    std::vector<StoredValue> after;
    std::vector<long> origin;  // which old value each new one is, or -1 for a row's text
    for (int row = 0; row < rows; ++row) {
        if (sources[row] < 0) sources[row] = index.TakeAny(texts[row]);
        StoredValue value;
        value.name = Widened(UrlName(row + 1));
        if (sources[row] >= 0) {
            const StoredValue& source = before[static_cast<std::size_t>(sources[row])].value;
            value.type = source.type;
            value.data = source.data;
        }
        after.push_back(std::move(value));
        origin.push_back(sources[row]);
    }
    // Then every value no row stands for, unless it is one the pruning deleted
    // that would not go; those named url<number> numbered on after the rows.
    std::size_t numbered = static_cast<std::size_t>(rows);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const ListedValue& value = before[i];
        if (index.Taken(i) || (value.shown && m_pruned.count(PrunedKey(value.name, value.text)))) continue;
        after.push_back(value.value);
        if (IsNumberedUrlName(after.back().name)) after.back().name = Widened(UrlName(++numbered));
        origin.push_back(static_cast<long>(i));
    }

    // The browser's time stamps go with their addresses, and only theirs.
    // Stamps are moved, never shown: their wide form is all there is to read.
    std::vector<StoredValue> timesBefore;
    bool timesExist = false;
    if (!ReadKey(m_registry, kTypedUrlsTimeKey, ReadAllValues, timesBefore, &timesExist)) return false;
    std::vector<StoredValue> timesAfter;
    if (timesExist) {
        ScopedKey times(m_registry);
        if (times.Open(kTypedUrlsTimeKey) != kErrorSuccess) return false;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (origin[i] < 0) continue;
            StoredValue stamp{after[i].name, kRegNone, {}};
            if (!QueryValue(m_registry, times.get(), before[static_cast<std::size_t>(origin[i])].value.name,
                            stamp.type, stamp.data))
                continue;
            timesAfter.push_back(std::move(stamp));
        }
    }

    std::vector<KeyContents> journal = {{JournaledKey::TypedUrls, Stored(before)}};
    if (timesExist) journal.push_back({JournaledKey::TypedUrlsTime, timesBefore});
    if (!WriteJournal(m_registry, journal)) return false;  // nothing has been changed yet

    // The key is emptied value by value rather than deleted and made again: a key
    // that was deleted and then could not be created would take every address
    // with it. Its subkeys, if any, stay.
    ScopedKey key(m_registry);
    if (key.Create(kTypedUrlsKey) != kErrorSuccess) return false;
    bool saved = true;
    for (const ListedValue& value : before) {
        const long result = m_registry.RegDeleteValueW(key.get(), value.value.name.c_str());
        if (result != kErrorSuccess && result != kErrorFileNotFound) saved = false;
    }
    for (std::size_t i = 0; saved && i < after.size(); ++i) {
        if (origin[i] >= 0) {
            saved = StoreValue(m_registry, key.get(), after[i]) == kErrorSuccess;
        } else {
            // No value holds the address any more: the row's text is all there is of it.
            const std::string& text = texts[i];
            saved = m_registry.RegSetValueExA(key.get(), UrlName(i + 1).c_str(), 0, kRegSz,
                                              reinterpret_cast<const unsigned char*>(text.c_str()),
                                              static_cast<unsigned long>(text.size() + 1)) == kErrorSuccess;
        }
    }
    if (!saved) {
        // Put back what the key held; if even that fails the journal stays, for the next start.
        std::vector<StoredValue> written;
        for (const StoredValue& value : after) written.push_back({value.name, kRegNone, {}});
        journalNeeded = !ReplaceValues(m_registry, key.get(), written, Stored(before));
        return false;
    }
    key.Close();

    for (int row = 0; row < rows; ++row) m_list.SetItemText(row, 1, UrlName(row + 1).c_str());

    // The addresses are saved whatever becomes of their stamps; stamps that
    // could not be moved are put back as they were.
    if (!timesExist) return true;
    ScopedKey times(m_registry);
    if (times.Open(kTypedUrlsTimeKey) == kErrorSuccess &&
        ReplaceValues(m_registry, times.get(), timesBefore, timesAfter))
        return true;
    // If even putting them back fails, the journal puts both keys back as they
    // were at the next start: better than addresses with others' stamps.
    if (times && !ReplaceValues(m_registry, times.get(), timesAfter, timesBefore)) journalNeeded = true;
    return false;
}

}  // namespace hl
