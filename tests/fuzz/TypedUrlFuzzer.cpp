// Fuzzes loading and pruning over the in-memory registry and list: the input chooses the browser's key, the check
// marks, the registry calls that fail and the commands; a breach of what pruning promises aborts with its reason.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ProductNames.h"
#include "TypedUrlHistory.h"
#include "support/FaultyRegistry.h"
#include "RowList.h"
#include "support/MemoryRegistry.h"

namespace {

using hltest::Folded;
using hltest::RegOp;
using Value = std::tuple<std::string, unsigned long, std::string>;  // name, type, data
using Values = std::vector<Value>;

struct History final : hl::IShell, hl::CTypedUrlHistory {
    History(hl::IRegistry& registry, hl::IAddressList& list) : CTypedUrlHistory(registry, list, *this) {}
    void ShowMessage(const char* text) override {
        ++messages;
        last = text;
    }
    void ShellExecuteA(const char*, const char*, int) override {}
    int messages = 0;
    std::string last;
};

[[noreturn]] void Breach(const char* invariant, const std::string& detail) {
    std::fprintf(stderr, "invariant broken: %s %s\n", invariant, detail.c_str());
    std::abort();
}

bool Has(const Values& values, const Value& value) { return std::count(values.begin(), values.end(), value); }

// The list's text for a value's data: up to its first zero, at most 259 characters.
std::string Shown(const std::string& data) { return data.substr(0, std::min<std::size_t>(data.find('\0'), 259)); }

// The browser's key in enumeration order, read from the model with room for anything.
Values ReadKey(hl::IRegistry& registry) {
    Values values;
    hl::RegHandle key = nullptr;  // stays null, and enumerates nothing, if the key is gone
    std::string name(1 << 16, '\0'), data(1 << 16, '\0');
    registry.RegOpenKeyExA(hl::kTypedUrlsKey, 0, hl::kKeyAllAccess, &key);
    for (unsigned long nameLength = 1 << 16, dataLength = 1 << 16, type = 0;
         registry.RegEnumValueA(key, values.size(), &name[0], &nameLength, &type,
                                reinterpret_cast<unsigned char*>(&data[0]), &dataLength) == hl::kErrorSuccess;
         nameLength = dataLength = 1 << 16)
        values.emplace_back(name.substr(0, nameLength), type, data.substr(0, dataLength));
    registry.RegCloseKey(key);
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    // The input's bytes read as choices; once they run out every choice is the first.
    std::size_t pos = 0;
    const auto pick = [&](unsigned n) { return (pos < size ? bytes[pos++] : 0u) % n; };
    // A short pattern of the input's bytes repeated, zeros and 8-bit bytes included, to a
    // length that often lands on the edges of the 260-byte buffers.
    const auto text = [&] {
        static constexpr std::size_t kEdges[] = {0, 1, 3, 258, 259, 260, 261, 300};
        const unsigned b = pick(256);
        std::string pattern(1 + pick(4), '\0'), chosen(b < 0xC0 ? b % 40 : kEdges[b % 8], '\0');
        for (char& c : pattern) c = static_cast<char>(pick(256));
        for (std::size_t i = 0; i < chosen.size(); ++i) chosen[i] = pattern[i % pattern.size()];
        return chosen;
    };
    hltest::MemoryRegistry memory(pick(2) ? hltest::EnumOrder::ByName : hltest::EnumOrder::Creation);
    hltest::FaultyRegistry registry(memory);
    hl::CRowList list;
    History history(registry, list);

    // The browser's key, of every type, with or without check marks; the default value, and
    // names the registry takes for one (the later value replaces the earlier), among them.
    hl::RegHandle key = nullptr;
    memory.RegCreateKeyExA(hl::kTypedUrlsKey, 0, "", 0, hl::kKeyAllAccess, &key, nullptr);
    for (unsigned count = pick(12); count > 0; --count) {
        const unsigned kind = pick(6);
        std::string name = kind == 0 ? "" : kind == 1 ? "u" + text()
                                                      : (kind == 2 ? "URL" : "url") + std::to_string(pick(31));
        name.resize(std::min(name.find('\0'), name.size()));  // a name passes as a C string
        std::string data = text();
        data.resize(data.size() + pick(2));  // with or without its zero
        memory.RegSetValueExA(key, name.c_str(), 0, pick(12), reinterpret_cast<const unsigned char*>(data.data()),
                              static_cast<unsigned long>(data.size()));
        if (pick(2)) memory.WriteProfileInt(hl::kSection, Shown(data).c_str(), pick(4));  // only 1 is checked
    }
    memory.RegCloseKey(key);

    // Failing calls by operation and number from 1, each with a result the platform gives
    // for it. At most one changes the registry: after two, a loss is the registry's doing.
    std::map<std::pair<RegOp, int>, long> faults;
    for (unsigned count = pick(5), writes = 0; count > 0; --count) {
        const auto op = static_cast<RegOp>(pick(10));  // a close is never failed
        const int n = 1 + static_cast<int>(pick(48));
        const long code = op == RegOp::Enum && pick(2) ? hl::kErrorMoreData : hl::kErrorAccessDenied;
        if (op < RegOp::DeleteValue || op > RegOp::Set || writes++ == 0) faults[{op, n}] = code;
    }
    std::multiset<RegOp> failed;  // during the current step
    bool pruning = false;
    registry.onCall = [&](RegOp op, int n, const std::string&) {
        const auto fault = faults.find({op, n});
        if (fault == faults.end()) return hl::kErrorSuccess;
        failed.insert(op);
        // A listed value that no longer fits has changed since it was loaded: that is the browser
        // rewriting its key, which the contract tests try. Here it is a read that fails.
        return pruning && fault->second == hl::kErrorMoreData ? hl::kErrorAccessDenied : fault->second;
    };

    // Loaded, from the bottom up: the values that fit the buffers, in the key's order, but those a failure drops.
    history.FillList();
    const auto& rows = list.Rows();
    std::size_t unmatched = rows.size();
    for (const auto& [name, type, data] : ReadKey(memory)) {
        if (name.size() >= hl::kTextBuffer || data.size() > hl::kTextBuffer) continue;
        const auto* lowest = unmatched ? &rows[unmatched - 1] : nullptr;
        const bool shown = lowest && lowest->text[0] == Shown(data) && lowest->text[1] == name;
        unmatched -= shown;
        if (!shown && failed.empty()) Breach("a value that fits the buffers is not shown as it is", name);
    }
    if (unmatched) Breach("a row shows no value of the key", rows[unmatched - 1].text[1]);

    for (int command = 0; command < 24 && pos < size; ++command) {
        const unsigned choice = pick(256), row = choice / 6 % (rows.size() + 1);  // or one past the last
        if (choice % 6 == 0) history.OnCheckAll();
        if (choice % 6 == 1) history.OnUncheckAll();
        if (choice % 6 == 2) history.OnInvertChecks();
        if (choice % 6 == 3) list.SetCheck(static_cast<int>(row), !list.GetCheck(static_cast<int>(row)));
        if (choice % 6 == 5) break;  // the window closes
        if (choice % 6 != 4) continue;

        // Pruning deletes exactly the unchecked rows, but those whose key would not open, and keeps the
        // order of the rest. Saved, the key holds them as url1..urlN from the top, each as the value it
        // came from, and every value no row came from, type and bytes unchanged. Not saved, it holds what it held, less some of the rows gone.
        const auto before = rows;
        const Values keyBefore = ReadKey(memory);
        const int messages = history.messages;
        failed.clear();
        pruning = true;
        history.OnDeleteUnchecked();
        pruning = false;
        const Values now = ReadKey(memory);
        // A journal an earlier pruning left that cannot be put back yet: nothing is pruned over it.
        if (history.messages != messages && (history.last == hl::CTypedUrlHistory::kJournalKeptMessage ||
                                             history.last == hl::CTypedUrlHistory::kJournalUnreadableMessage)) {
            if (failed.empty()) Breach("a pruning refused while every call succeeded", "");
            if (now != keyBefore || rows.size() != before.size() ||
                !std::equal(rows.begin(), rows.end(), before.begin(), [](const auto& a, const auto& b) {
                    return a.text[0] == b.text[0] && a.text[1] == b.text[1] && a.checked == b.checked;
                }))
                Breach("a refused pruning changed the key or the rows", "");
            continue;
        }
        std::set<std::string> rowNames, keptNames;
        std::vector<std::string> loadedAs(rows.size());  // each kept row's name before the pruning
        std::size_t unkept = rows.size(), wentBelow = 0;  // walking up from the bottom
        for (auto r = before.rbegin(); r != before.rend(); ++r) {
            rowNames.insert(Folded(r->text[1]));
            const auto* lowest = unkept ? &rows[unkept - 1] : nullptr;  // the lowest row not yet matched
            // Rows of one text are told apart by the value each was loaded from.
            const bool stays = lowest && lowest->data == r->data && lowest->text[0] == r->text[0] &&
                               lowest->checked == r->checked;
            if (stays) loadedAs[unkept - 1] = r->text[1];
            // An unchecked row stays only if its key would not open, at first nor after each later deletion.
            if (stays ? !r->checked && failed.count(RegOp::Open) <= wentBelow : r->checked)
                Breach("not just the unchecked rows went", r->text[0]);
            unkept -= stays;
            wentBelow += !stays;
        }
        if (unkept) Breach("a row that was not there, or out of order", rows[unkept - 1].text[0]);
        for (const auto& r : rows) keptNames.insert(Folded(r.text[1]));
        if (history.messages != messages && failed.empty()) Breach("a save failed while every call succeeded", "");
        if (history.messages != messages) {
            for (const auto& [name, type, data] : keyBefore)  // a failed save renames no row
                if (!Has(now, {name, type, data}) && (keptNames.count(Folded(name)) || !rowNames.count(Folded(name))))
                    Breach("a failed save lost", name);
            for (const auto& v : now)
                if (!Has(keyBefore, v)) Breach("a failed save left what the key did not hold", std::get<0>(v));
            continue;
        }
        std::multiset<std::pair<unsigned long, std::string>> held, expected;
        for (const auto& [name, type, data] : now) held.emplace(type, data);
        for (const auto& [name, type, data] : keyBefore)
            if (!rowNames.count(Folded(name))) expected.emplace(type, data);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // A row is saved as the value it was loaded from, its type and bytes unchanged.
            Value source(loadedAs[i], hl::kRegSz, rows[i].text[0] + '\0');
            for (const auto& [name, type, data] : keyBefore)
                if (name == loadedAs[i] && Shown(data) == rows[i].text[0]) source = Value(name, type, data);
            const std::string number = "url" + std::to_string(i + 1);
            if (rows[i].text[1] != number || !Has(now, Value(number, std::get<1>(source), std::get<2>(source))))
                Breach("a kept address is not saved under its row's number as it was", number);
            expected.emplace(std::get<1>(source), std::get<2>(source));
        }
        if (held != expected) Breach("the saved key holds more or less than the rows and what no row came from", "");
    }
    if (registry.OpenHandles() != 0) Breach("a key was left open", "");
    return 0;
}
