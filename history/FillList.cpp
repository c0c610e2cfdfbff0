// Loading the address list from the browser's key, and the memory of check marks.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "Journal.h"
#include "KeyValues.h"
#include "ProgramNames.h"
#include "RedrawSuspended.h"
#include "RowList.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"
#include "ValueText.h"

namespace hl {

namespace {

// Results that say the key itself can no longer be read: no later index will do better.
bool KeyIsGone(long result) {
    return result == kErrorKeyDeleted || result == kErrorInvalidHandle ||
           result == kErrorAccessDenied || result == kErrorBadKey;
}

// A last guard for a registry that fails every index in a way we do not know.
constexpr int kMaxConsecutiveFailures = 16;

// Profile entries are value names, which the registry compares without regard to
// case: these addresses share one entry.
std::string MarkName(const std::string& address) { return FoldedName(address); }

bool IsAscii(const char* text) {
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80) return false;
    return true;
}

}  // namespace

void CTypedUrlHistory::FillList() {
    // A copy that is rewriting the keys or writing its marks is waited for; one
    // that goes on too long is left to it: nothing is loaded, nor recovered.
    m_loadedWhole = false;
    const Exclusive exclusive(*this);
    m_lockedOut = !exclusive;
    if (m_lockedOut) {
        ShowMessage(kBusyMessage);
        return;
    }

    // A rewrite that the end of the process cut off is undone before anything is shown;
    // a journal that stays is reported by the pruning it keeps from running.
    m_recovery = RecoverFromJournal(m_registry);

    RedrawSuspended quiet(m_list);
    m_list.DeleteAllItems();
    m_loaded.clear();
    m_keptMarks.clear();
    m_marksLockedOut = false;
    ReadKeepPolicy();

    // Until the key is read to its end, the rows are not all there is: a pruning
    // then forgets no mark of an address it did not see.
    ScopedKey key(m_registry);
    const long opened = key.Open(kTypedUrlsKey);
    m_loadedWhole = opened == kErrorFileNotFound;
    if (opened != kErrorSuccess) return;

    // The marks' key is opened once for all the rows; one that will not open is
    // asked again for each row's mark, as the profile is.
    ScopedKey marks(m_registry);
    const long marksOpened = marks.Open(kSectionKey);

    char name[kTextBuffer];
    unsigned char data[kTextBuffer];
    int failures = 0;
    for (unsigned long index = 0;; ++index) {
        unsigned long nameLength = kTextBuffer;
        unsigned long dataLength = kTextBuffer;
        const long result =
            m_registry.RegEnumValueA(key.get(), index, name, &nameLength, nullptr, data, &dataLength);
        if (result == kErrorNoMoreItems) m_loadedWhole = true;
        if (result == kErrorNoMoreItems || KeyIsGone(result)) break;
        // The row keeps the value exactly as the registry holds it, the bytes its
        // address is matched and moved by; the list's text may have lost characters
        // the code page has not. Read for a value too long to show as well: a value
        // there, just too long, says the enumeration goes on, however long the run.
        StoredValue exact;
        const long wide = result == kErrorSuccess || result == kErrorMoreData
                              ? ReadValueAt(m_registry, key.get(), index, exact)
                              : result;
        if (wide == kErrorNoMoreItems) m_loadedWhole = true;
        if (wide == kErrorNoMoreItems || KeyIsGone(wide)) break;
        if (wide != kErrorSuccess) {
            if (++failures >= kMaxConsecutiveFailures) break;
            continue;
        }
        failures = 0;
        if (result != kErrorSuccess) continue;  // too long for the list; kept by a pruning all the same
        // Half a UTF-16 pair is no character in any code page: its text would name another address's mark.
        if (HoldsBrokenText(exact)) continue;
        name[std::min(nameLength, kTextBuffer - 1)] = '\0';
        const std::string address = ValueText(data, std::min(dataLength, kTextBuffer));

        const int row = m_list.InsertItem(0, address.c_str());
        if (row < 0) continue;
        // Bytes that are no text in the code page come back from the list as
        // other characters: the row would stand for an address that is not the
        // value's. Such a value is left out, and kept, like one too long to show.
        if (m_list.GetItemText(row, 0) != address) {
            m_discarding = true;
            m_list.DeleteItem(row);
            m_discarding = false;
            continue;
        }
        m_list.SetItemText(row, 1, name);
        m_loaded.push_back(std::move(exact));
        m_list.SetItemData(row, m_loaded.size());
        if (Marked(marks, marksOpened, address) || KeptByPolicy(row)) m_list.SetCheck(row, true);
    }
}

bool CTypedUrlHistory::Marked(const ScopedKey& marks, long opened, const std::string& address) {
    // Read as the profile reads an entry: a mark is a 32-bit 1 and nothing else.
    unsigned long type = 0;
    std::uint32_t value = 0;
    unsigned long size = sizeof value;
    const long read = opened == kErrorSuccess
                          ? m_registry.RegQueryValueExA(marks.get(), address.c_str(), &type,
                                                        reinterpret_cast<unsigned char*>(&value), &size)
                          : opened;
    if (read == kErrorFileNotFound) return false;  // no marks at all, or none of this address
    // A mark the key would not give is asked of the profile, as it always was.
    if (read != kErrorSuccess) return m_registry.GetProfileIntA(kSection, address.c_str(), 0) == 1;
    return type == kRegDword && size == sizeof value && value == 1;
}

bool CTypedUrlHistory::MarksReadable() {
    ScopedKey marks(m_registry);
    const long opened = marks.Open(kSectionKey);
    return opened == kErrorSuccess || opened == kErrorFileNotFound;
}

StoredValue* CTypedUrlHistory::Loaded(int row) {
    const std::uintptr_t id = m_list.GetItemData(row);
    return id > 0 && id <= m_loaded.size() ? &m_loaded[id - 1] : nullptr;
}

void CTypedUrlHistory::OnDeleteItemList(const RowNotice* notification, std::intptr_t* result) {
    if (!m_discarding) RememberCheck(notification->iItem);
    *result = 0;
}

void CTypedUrlHistory::HearRemovals(CRowList& rows) {
    rows.onRemove = [this](int row) {
        const RowNotice notice{row};
        std::intptr_t result = 0;
        OnDeleteItemList(&notice, &result);
    };
}

// Addresses that share an entry share its mark, and a kept one wins: no address
// the user kept may come back unchecked because a twin of it was not.
void CTypedUrlHistory::RememberChecks() {
    // Marks written beside another copy's would leave a mix of both.
    const Exclusive exclusive(*this);
    if (!exclusive) return;
    const int rows = m_list.GetItemCount();
    std::vector<std::string> addresses(static_cast<std::size_t>(rows));  // each row's text asked of the list once
    std::unordered_set<std::string> kept;
    for (int row = 0; row < rows; ++row) {
        addresses[row] = m_list.GetItemText(row, 0);
        if (m_list.GetCheck(row)) kept.insert(MarkName(addresses[row]));
    }
    // The unchecked first: a kept twin that the registry files under the same entry
    // (case folded beyond A to Z too) then has the last word.
    for (const bool keeps : {false, true})
        for (const std::string& address : addresses)
            if ((kept.count(MarkName(address)) > 0) == keeps) m_registry.WriteProfileInt(kSection, address.c_str(), keeps);
}

// Rows leave one by one, in the list's order: an unchecked row that leaves after
// a checked twin must not undo the twin's mark; one that leaves before has its
// mark undone by the twin's.
void CTypedUrlHistory::RememberCheck(int row) {
    // Only under the lock: a row that leaves outside a close (the session ending,
    // say) may leave beside another copy that writes the marks. Once kept out,
    // the rows that follow do not wait for it again.
    if (m_marksLockedOut) return;
    const Exclusive exclusive(*this);
    if (!exclusive) {
        m_marksLockedOut = true;
        return;
    }
    const std::string address = m_list.GetItemText(row, 0);
    const bool checked = m_list.GetCheck(row);
    if (checked) m_keptMarks.insert(MarkName(address));
    // Closing, every mark was written as the close began, the kept twins' last.
    else if (m_closing || (m_pruning ? SharesAKeptMark(address) : m_keptMarks.count(MarkName(address)) > 0)) return;
    m_registry.WriteProfileInt(kSection, address.c_str(), checked ? 1 : 0);
}

void CTypedUrlHistory::RememberKeptChecks() {
    m_keptMarks.clear();
    m_keptOutsideAscii = false;
    m_registry.RegDeleteTreeA(kKeptKey);
    ScopedKey kept(m_registry);
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (!m_list.GetCheck(row)) continue;
        const std::string address = m_list.GetItemText(row, 0);
        m_keptMarks.insert(MarkName(address));
        m_registry.WriteProfileInt(kSection, address.c_str(), 1);
        // Case beyond A to Z is the registry's to fold: it is asked, through a key of these names.
        if (!IsAscii(address.c_str()) && (kept || kept.Create(kKeptKey) == kErrorSuccess)) {
            m_keptOutsideAscii = true;
            const std::uint32_t one = 1;
            m_registry.RegSetValueExA(kept.get(), address.c_str(), 0, kRegDword,
                                      reinterpret_cast<const unsigned char*>(&one), sizeof one);
        }
    }
}

bool CTypedUrlHistory::SharesAKeptMark(const std::string& address) {
    if (m_keptMarks.count(MarkName(address))) return true;
    if (!m_keptOutsideAscii || IsAscii(address.c_str())) return false;
    ScopedKey kept(m_registry);
    // Unsure, it is kept: a mark left over does less harm than a kept one lost.
    const long opened = kept.Open(kKeptKey);
    if (opened != kErrorSuccess) return opened != kErrorFileNotFound;
    const long found = m_registry.RegQueryValueExA(kept.get(), address.c_str(), nullptr, nullptr, nullptr);
    return found != kErrorFileNotFound;
}

void CTypedUrlHistory::ForgetMarks(bool all, const std::unordered_set<std::string>& deleted) {
    ScopedKey section(m_registry);
    if (section.Open(kSectionKey) != kErrorSuccess) return;
    // Each entry's name as the list would show it, to be told from the kept
    // ones, and exactly as stored, to be deleted by; read whole before any goes.
    std::vector<std::u16string> forget;
    char name[kTextBuffer];
    for (unsigned long index = 0;; ++index) {
        unsigned long nameLength = kTextBuffer;
        const long result = m_registry.RegEnumValueA(section.get(), index, name, &nameLength, nullptr, nullptr, nullptr);
        if (result == kErrorNoMoreItems || KeyIsGone(result)) break;
        // A name too long for the list is no address's entry; any other is forgotten
        // unless it is a kept address's, or (from a run without a window) not one deleted.
        if (result == kErrorSuccess) {
            name[std::min(nameLength, kTextBuffer - 1)] = '\0';
            if ((!all && !deleted.count(MarkName(name))) || SharesAKeptMark(name)) continue;
        } else if (!all) {
            continue;
        }
        StoredValue exact;
        if (ReadValueAt(m_registry, section.get(), index, exact) == kErrorSuccess) forget.push_back(std::move(exact.name));
    }
    for (const std::u16string& entry : forget)
        m_registry.RegDeleteValueW(section.get(), entry.c_str());  // one that stays is only a stale mark
}

}  // namespace hl
