// "Delete Unchecked": pruning the browser's key and renumbering what is left.
#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "KeyValues.h"
#include "RedrawSuspended.h"
#include "ScopedKey.h"
#include "TypedUrlHistory.h"

namespace hl {

namespace {

std::string UrlName(std::size_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "url%zu", number);
    return name;
}

}  // namespace

void CTypedUrlHistory::OnDeleteUnchecked() {
    RedrawSuspended quiet(m_list);
    m_prunedNames.clear();

    // After each deletion the scan starts again from the top. The rows above the
    // deleted one do not change meanwhile: the checked ones are passed over and
    // the unchecked ones whose key would not open are tried again. So instead of
    // walking them again, the scan retries just those rows, top first, and then
    // goes on where it was; the rows deleted and the registry calls made are the
    // same as those of a walk from the top.
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
        // instead of staying on to be written back by the rewrite.
        if (key) m_registry.RegDeleteValueA(key.get(), name.c_str());  // a value already gone is fine
        key.Close();
        m_prunedNames.push_back(name);
        m_list.DeleteItem(row);  // its removal notice remembers the address as unchecked

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

void CTypedUrlHistory::RewriteTypedUrls() {
    // What the key holds now, whatever the list could show of it. Without a full
    // reading the key is left as it is: emptying it could lose what was not read.
    std::vector<StoredValue> before;
    {
        ScopedKey key(m_registry);
        const long opened = key.Open(kTypedUrlsKey);
        if (opened == kErrorSuccess ? !ReadAllValues(m_registry, key.get(), before)
                                    : opened != kErrorFileNotFound) {
            m_prunedNames.clear();
            ShowMessage(kSaveFailedMessage);
            return;
        }
    }

    // The new contents: the rows as url1 to urlN from the top, then every value
    // that is neither a row nor one just pruned, numbered on where it was numbered.
    // The names are folded once into a set: looking each value up in the rows
    // one by one would cost the square of a long list.
    std::unordered_set<std::string> listedOrPruned;
    std::vector<StoredValue> after;
    const int rows = m_list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        char text[kTextBuffer];
        m_list.GetItemText(row, 0, text, static_cast<int>(kTextBuffer));
        listedOrPruned.insert(FoldedValueName(m_list.GetItemText(row, 1)));
        after.push_back({UrlName(after.size() + 1), kRegSz, std::string(text) + '\0'});
    }
    for (const std::string& name : m_prunedNames) listedOrPruned.insert(FoldedValueName(name));
    for (const StoredValue& value : before) {
        if (listedOrPruned.count(FoldedValueName(value.name))) continue;
        StoredValue kept = value;
        if (IsNumberedUrlName(kept.name)) kept.name = UrlName(after.size() + 1);
        after.push_back(std::move(kept));
    }
    m_prunedNames.clear();

    // The key is emptied value by value rather than deleted and made again: a key
    // that was deleted and then could not be created would take every address
    // with it. Its subkeys, if any, stay.
    ScopedKey key(m_registry);
    if (key.Create(kTypedUrlsKey) != kErrorSuccess) {
        ShowMessage(kSaveFailedMessage);  // nothing has been changed yet
        return;
    }
    bool saved = true;
    for (const StoredValue& value : before) {
        const long result = m_registry.RegDeleteValueA(key.get(), value.name.c_str());
        if (result != kErrorSuccess && result != kErrorFileNotFound) saved = false;
    }
    for (std::size_t i = 0; saved && i < after.size(); ++i)
        saved = StoreValue(m_registry, key.get(), after[i]) == kErrorSuccess;

    if (saved) {
        for (int row = 0; row < rows; ++row)
            m_list.SetItemText(row, 1, after[static_cast<std::size_t>(row)].name.c_str());
        return;
    }

    // Put back as much as can be written of what the key held.
    for (const StoredValue& value : after) m_registry.RegDeleteValueA(key.get(), value.name.c_str());
    for (const StoredValue& value : before) StoreValue(m_registry, key.get(), value);
    ShowMessage(kSaveFailedMessage);
}

}  // namespace hl
