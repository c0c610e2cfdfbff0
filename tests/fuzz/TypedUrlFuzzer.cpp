// Fuzzes the whole promise over the in-memory registry: the input writes the browser's keys
// (addresses, stamps) and the marks, then plays a story of windows, /prune and /list runs, the
// browser typing in between, another copy holding the lock, failing registry calls and deaths
// at any call. After every step the keys and the marks are judged against what the step may do:
// no kept address or kept mark lost, nothing deleted back, every stamp with its own address.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ProductNames.h"
#include "RowList.h"
#include "TypedUrlHistory.h"
#include "UnattendedHistory.h"
#include "support/FaultyRegistry.h"
#include "support/MemoryRegistry.h"
#include "support/Values.h"

namespace {

using drive::Printable;
using hltest::RegOp;
using Contents = std::pair<unsigned long, std::string>;  // an address: its type and bytes
using Bag = std::map<Contents, int>;                    // addresses, each as often as the key holds it

[[noreturn]] void Breach(const char* invariant, const std::string& detail) {
    std::fprintf(stderr, "invariant broken: %s %s\n", invariant, Printable(detail).c_str());
    std::abort();
}

using Value = hltest::RegValue;
Contents ContentsOf(const Value& v) { return {v.type, v.data}; }
std::u16string NameKey(const std::string& name) {
    return hltest::FoldedWide(hltest::FromCodePage(hltest::CodePage::Latin1, name));
}

// The keys and the marks as a step leaves them.
struct State {
    std::vector<Value> urls, times;
    bool journal = false;
    std::map<std::u16string, std::string> marks;  // entry (as the registry compares it) -> its type and bytes

    std::string StampOf(const std::string& name) const {
        for (const Value& t : times)
            if (NameKey(t.name) == NameKey(name)) return t.data;
        return "-";  // no stamp
    }
    std::size_t Orphans() const {  // stamps under a name no address has
        return std::count_if(times.begin(), times.end(), [&](const Value& t) {
            return std::none_of(urls.begin(), urls.end(), [&](const Value& v) { return NameKey(v.name) == NameKey(t.name); });
        });
    }
    Bag Addresses() const {
        Bag bag;
        for (const Value& v : urls) ++bag[ContentsOf(v)];
        return bag;
    }
    std::map<std::pair<Contents, std::string>, int> Stamped() const {
        std::map<std::pair<Contents, std::string>, int> pairs;
        for (const Value& v : urls) ++pairs[{ContentsOf(v), StampOf(v.name)}];
        return pairs;
    }
};

State Snapshot(hl::IRegistry& registry) {
    State s;
    s.urls = hltest::ReadKey(registry, hl::kTypedUrlsKey);
    s.times = hltest::ReadKey(registry, hl::kTypedUrlsTimeKey);
    hltest::ReadKey(registry, hl::kJournalKey, &s.journal);
    for (const Value& mark : hltest::ReadKey(registry, hl::kSectionKey)) s.marks[NameKey(mark.name)] = std::to_string(mark.type) + ':' + mark.data;
    return s;
}

const std::string kOne("4:\1\0\0\0", 6);  // a mark that keeps its address: the DWORD 1
bool MarkedKept(const State& s, const std::string& text) {
    const auto mark = s.marks.find(NameKey(text));
    return mark != s.marks.end() && mark->second == kOne;
}
std::string Shown(const std::string& data) { return hltest::ShownText(data); }
bool Fits(const Value& v) { return hltest::Fits(v); }
bool Numbered(const std::string& name) { return hltest::NumberedUrlName(name); }
bool Within(const Bag& part, const Bag& whole) {  // as multisets
    for (const auto& [contents, count] : part)
        if (whole.count(contents) == 0 || whole.at(contents) < count) return false;
    return true;
}
Bag Plus(Bag a, const Bag& b) {
    for (const auto& [contents, count] : b) a[contents] += count;
    return a;
}
Bag Minus(Bag a, const Bag& b) {
    for (const auto& [contents, count] : b)
        if (a.count(contents)) a[contents] = std::max(0, a[contents] - count);
    for (auto i = a.begin(); i != a.end();) i = i->second ? std::next(i) : a.erase(i);
    return a;
}

// The writer lock and the window's lock as copies of the program take turns at them; a copy
// that dies gives them up, as the platform's abandoned mutex does.
struct Turn { int holder = 0; };
class TurnLock final : public hl::IWriterLock {
public:
    TurnLock(Turn& turn, int copy) : m_turn(turn), m_copy(copy) {}
    bool Lock() override {
        if (m_turn.holder && m_turn.holder != m_copy) return false;
        m_turn.holder = m_copy;
        ++m_depth;
        return true;
    }
    void Unlock() override {
        if (m_depth > 0 && --m_depth == 0) m_turn.holder = 0;
    }
    void Abandon() {
        if (m_turn.holder == m_copy) m_turn.holder = 0;
        m_depth = 0;
    }

private:
    Turn& m_turn;
    int m_copy;
    int m_depth = 0;
};

// Digits the organization keeps: every address holding one of them. Empty: no policy.
struct Policy final : hl::IKeepPolicy {
    bool ReadPatterns(std::vector<std::u16string>& out) override {
        out.clear();
        for (char digit : digits) out.push_back(u"*" + std::u16string(1, char16_t(digit)) + u"*");
        return readable;
    }
    bool Keeps(const std::string& text) const {
        return std::any_of(digits.begin(), digits.end(), [&](char d) { return text.find(d) != std::string::npos; });
    }
    std::string digits;
    bool readable = true;
};

// What a registry does for one step: calls that fail by operation and number, and the call
// from which on it no longer obeys, as if the process died there.
struct Faults {
    std::map<std::pair<RegOp, int>, long> failing;
    int deathAt = 0;
    int calls = 0;
    std::map<RegOp, int> counted;
    bool failed = false, died = false;
    long Call(RegOp op) {
        ++calls;
        if (deathAt && calls >= deathAt) return died = true, hl::kErrorAccessDenied;
        const auto fault = failing.find({op, ++counted[op]});
        if (fault == failing.end()) return hl::kErrorSuccess;
        failed = true;
        return fault->second;
    }
};

struct Shell final : hl::IShell {
    void ShellExecuteA(const char* verb, const char* file, int) override { opened = std::string(verb) == "open" ? file : "?"; }
    std::string opened = "-";
};

// One run of the program: its own registry handle on the shared hive, its rows and its locks.
struct Copy {
    Copy(hl::IRegistry& memory, Turn& writer, Turn& window, int id)
        : registry(memory), lock(writer, id), windowLock(window, id) {
        registry.onCall = [this, &writer, id](RegOp op, int, const std::string& what) {
            const bool writes = op == RegOp::DeleteValue || op == RegOp::DeleteKey || op == RegOp::Create ||
                                op == RegOp::Set || op == RegOp::WriteProfile;
            if (writes && writer.holder != id) Breach("written without the writer lock", what);
            return faults ? faults->Call(op) : 0;
        };
    }
    // A copy that ends, or dies, holds neither lock any more.
    ~Copy() {
        list.onRemove = nullptr;
        lock.Abandon();
        windowLock.Abandon();
    }
    void Wire(hl::CTypedUrlHistory& history, Policy& policy) {
        history.SetWriterLock(&lock);
        history.SetKeepPolicy(&policy);
        history.HearRemovals(list);
    }
    hltest::FaultyRegistry registry;
    hl::CRowList list;
    Shell shell;
    TurnLock lock, windowLock;
    Faults* faults = nullptr;
};

struct WindowHistory final : hl::CTypedUrlHistory {
    WindowHistory(hl::IRegistry& registry, hl::IAddressList& list, hl::IShell& shell)
        : CTypedUrlHistory(registry, list, shell) {}
    void ShowMessage(const char* text) override { messages.push_back(text); }
    using CTypedUrlHistory::RowTip;
    using CTypedUrlHistory::SelectedRows;
    std::vector<std::string> messages;
};

struct Window : Copy {
    Window(hl::IRegistry& memory, Turn& writer, Turn& windowTurn, Policy& policy, int id)
        : Copy(memory, writer, windowTurn, id), history(registry, list, shell) {
        Wire(history, policy);
    }
    WindowHistory history;
    std::vector<Value> loaded;  // each row's value, top first, as the key held it at the load
    bool policyRead = false;    // the organization's keep-list as the load found it
    bool loadedWhole = false;   // the load read the whole key
    bool browserSinceLoad = false;
};

struct Command : Copy {
    Command(hl::IRegistry& memory, Turn& writer, Turn& windowTurn, Policy& policy, int id)
        : Copy(memory, writer, windowTurn, id), history(registry, list, shell) {
        Wire(history, policy);
        history.SetWindowLock(&windowLock);
    }
    hl::CUnattendedHistory history;
};

std::string Time(std::uint64_t fileTime) { return "T" + std::to_string(fileTime); }
bool Stamped(const std::string& stamp) { return stamp.size() == 8 && stamp != std::string(8, '\0'); }

class Story {
public:
    Story(const std::uint8_t* bytes, std::size_t size)
        : m_bytes(bytes), m_size(size), m_memory(size && bytes[0] % 2 ? hltest::EnumOrder::ByName : hltest::EnumOrder::Creation) {}
    void Play();

private:
    unsigned Pick(unsigned n) { return (m_pos < m_size ? m_bytes[m_pos++] : 0u) % n; }
    bool More() const { return m_pos < m_size; }
    // A short pattern repeated, from letters that are case twins in and beyond ASCII, digits,
    // zeros and 8-bit bytes, to lengths that often land on the edges of the 260-byte buffers.
    std::string Text() {
        static constexpr std::size_t kEdges[] = {0, 1, 3, 258, 259, 260, 261, 300};
        static constexpr char kTwins[] = "aAzZ\xE9\xC9\xFF" "09:/\\\t\r\n";
        const unsigned b = Pick(256);
        std::string pattern(1 + Pick(4), '\0'), chosen(b < 0xC0 ? b % 24 : kEdges[b % 8], '\0');
        for (char& c : pattern) {
            const unsigned p = Pick(256);
            c = p < 128 ? kTwins[p % (sizeof kTwins - 1)] : static_cast<char>(Pick(256));
        }
        for (std::size_t i = 0; i < chosen.size(); ++i) chosen[i] = pattern[i % pattern.size()];
        // Often an earlier text again, its letters in the other case where it has one (A-Z, and
        // Latin-1's E acute): a twin that shares its mark, the registry comparing names case-blind.
        if (!m_texts.empty() && Pick(3) == 0) {
            chosen = m_texts[Pick(static_cast<unsigned>(m_texts.size()))];
            for (char& c : chosen)
                if (Pick(2)) c = std::isalpha(static_cast<unsigned char>(c)) && c > 0 ? c ^ 0x20 : c == '\xE9' ? '\xC9' : c == '\xC9' ? '\xE9' : c;
        }
        m_texts.push_back(chosen);
        return chosen;
    }
    std::string Name() {
        const unsigned kind = Pick(8);
        std::string name = kind == 0 ? "" : kind == 1 ? "u" + Text() : kind == 2 ? "url" + Text()
                         : (kind == 3 ? "URL" : "url") + std::to_string(Pick(12));
        name.resize(std::min(name.find('\0'), name.size()));  // a name passes as a C string
        return name;
    }
    void Write(const char* path, const std::string& name, unsigned long type, const std::string& data) {
        hl::RegHandle key = nullptr;
        m_memory.RegCreateKeyExA(path, 0, "", 0, hl::kKeyAllAccess, &key, nullptr);
        m_memory.RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<unsigned long>(data.size()));
        m_memory.RegCloseKey(key);
    }
    void Erase(const char* path, const std::string& name) {
        hl::RegHandle key = nullptr;
        if (m_memory.RegOpenKeyExA(path, 0, hl::kKeyAllAccess, &key) != hl::kErrorSuccess) return;
        m_memory.RegDeleteValueA(key, name.c_str());
        m_memory.RegCloseKey(key);
    }
    std::string Stamp() {
        const unsigned kind = Pick(4);
        std::string stamp(kind == 3 ? 4 : 8, '\0');
        if (kind != 0)
            for (char& c : stamp) c = static_cast<char>(Pick(256));
        return stamp;
    }
    // The browser types an address, or forgets one, with its stamp. Typed again, an address moves.
    void Browser(bool freeNamesOnly);
    Faults ChooseFaults(bool mayDie);
    // The window: opened, its checks changed, Delete Unchecked, closed.
    void OpenWindow(Faults& faults);
    void ChangeChecks();
    void DeleteUnchecked(Faults& faults);
    void CloseWindow(Faults& faults);
    void Prune(Faults& faults);
    void List(Faults& faults);
    // After a death: maybe the browser types, then starts follow, each of which may die too,
    // until one puts back what the journal holds.
    void Restart();
    // The keys and marks as the next start finds them, once it has put back a journal left.
    State Settled() { State now = Snapshot(m_memory); return now.journal ? (Restart(), Snapshot(m_memory)) : now; }
    // What a pruning may do to the keys: keep `required`, add nothing beyond `allowed`.
    void JudgeKeys(const State& before, const State& after, const Bag& required, const Bag& allowed);
    void JudgeMarksKept(const State& before, const State& after, const std::vector<std::string>& kept);
    void JudgeLoad(const Window& window, const State& state);
    void Unchanged(const State& before, const State& after, const char* what);

    const std::uint8_t* m_bytes;
    std::size_t m_size, m_pos = 1;
    hltest::MemoryRegistry m_memory;
    Turn m_writer, m_windowTurn;
    Policy m_policy;
    std::unique_ptr<Window> m_window;
    int m_copies = 0;
    Bag m_typed;  // what the browser wrote since the step being judged began
    std::vector<std::string> m_texts;  // every text made so far
    bool m_otherHolds = false;
};

void Story::Browser(bool freeNamesOnly) {
    const State now = Snapshot(m_memory);
    if (m_window) m_window->browserSinceLoad = true;
    if (!now.urls.empty() && Pick(4) == 0) {  // forgets one
        const Value& gone = now.urls[Pick(static_cast<unsigned>(now.urls.size()))];
        if (!freeNamesOnly) Erase(hl::kTypedUrlsKey, gone.name), Erase(hl::kTypedUrlsTimeKey, gone.name);
        return;
    }
    if (!now.urls.empty() && !freeNamesOnly && Pick(6) == 0) {  // writes a value's bytes again, as another type
        const Value& v = now.urls[Pick(static_cast<unsigned>(now.urls.size()))];
        return Write(hl::kTypedUrlsKey, v.name, v.type == hl::kRegSz ? hl::kRegExpandSz : hl::kRegSz, v.data);
    }
    std::string name = "url" + std::to_string(Pick(12));
    const bool taken = std::any_of(now.urls.begin(), now.urls.end(), [&](const Value& v) { return NameKey(v.name) == NameKey(name); });
    if (taken && freeNamesOnly) name = "url" + std::to_string(100 + m_copies);
    Value typed{name, hl::kRegSz, Text() + '\0'};
    if (!now.urls.empty() && Pick(3) == 0) {  // an address already there, typed again or given another type
        typed.data = now.urls[Pick(static_cast<unsigned>(now.urls.size()))].data;
        typed.type = Pick(2) ? hl::kRegSz : hl::kRegExpandSz;
    }
    if (!freeNamesOnly)
        for (const Value& v : now.urls)
            if (ContentsOf(v) == ContentsOf(typed)) Erase(hl::kTypedUrlsKey, v.name), Erase(hl::kTypedUrlsTimeKey, v.name);
    Write(hl::kTypedUrlsKey, typed.name, typed.type, typed.data);
    if (Pick(2)) Write(hl::kTypedUrlsTimeKey, typed.name, hl::kRegBinary, Stamp());
    else Erase(hl::kTypedUrlsTimeKey, typed.name);
    ++m_typed[ContentsOf(typed)];
}

Faults Story::ChooseFaults(bool mayDie) {
    Faults faults;
    const unsigned kind = Pick(4);
    if (kind == 1 && mayDie) faults.deathAt = 1 + static_cast<int>(Pick(160));
    // At most one failure that changes the registry: after two, a loss is the registry's doing.
    for (unsigned count = kind == 2 ? 1 + Pick(3) : 0, writes = 0; count > 0; --count) {
        // Reading a mark cannot fail as such: an unreadable profile is a failed open of its key.
        auto op = static_cast<RegOp>(Pick(10));
        if (op == RegOp::GetProfile) op = RegOp::Open;
        const int n = 1 + static_cast<int>(Pick(48));
        const long code = op == RegOp::Enum && Pick(2) ? hl::kErrorMoreData : hl::kErrorAccessDenied;
        if (op < RegOp::DeleteValue || op > RegOp::Set || writes++ == 0) faults.failing[{op, n}] = code;
    }
    return faults;
}

void Story::Unchanged(const State& before, const State& after, const char* what) {
    if (before.urls.size() != after.urls.size() || before.Stamped() != after.Stamped() || before.marks != after.marks)
        Breach(what, "changed the keys or the marks");
}

void Story::JudgeKeys(const State& before, const State& after, const Bag& required, const Bag& allowed) {
    const Bag now = after.Addresses();
    if (!Within(required, now)) Breach("a kept address is lost", "");
    if (!Within(now, Plus(allowed, m_typed))) Breach("an address not kept, twice, or deleted comes back", "");
    // Every stamp is one its address had, and a kept address keeps the stamp it had.
    const auto pairsBefore = before.Stamped();
    for (const auto& [pair, count] : after.Stamped()) {
        const bool typed = m_typed.count(pair.first);
        if (pair.second != "-" && !typed && (!pairsBefore.count(pair) || pairsBefore.at(pair) < count))
            Breach("an address with a stamp not its own", pair.first.second);
    }
    // An address that might have gone (a twin row of it unchecked) may stay as another copy of it.
    for (const Value& v : after.urls) {
        const Contents c = ContentsOf(v);
        if (m_typed.count(c) || !required.count(c) || before.Addresses()[c] != 1 || after.Addresses()[c] != 1) continue;
        for (const Value& b : before.urls)
            if (ContentsOf(b) == c && before.StampOf(b.name) != after.StampOf(v.name))
                Breach("a kept address lost its stamp", v.name);
    }
    // A deleted address's stamp goes with it: a death leaves at most the one being deleted.
    if (after.Orphans() > before.Orphans() + 1) Breach("stamps outlived their addresses", "");
    if (after.journal) Breach("a journal outlived a start that could put it back", "");
}

void Story::JudgeMarksKept(const State& before, const State& after, const std::vector<std::string>& kept) {
    for (const std::string& text : kept)
        if (MarkedKept(before, text) && !MarkedKept(after, text)) Breach("a kept mark is lost", text);
}

void Story::JudgeLoad(const Window& window, const State& state) {
    // Bottom up, the values that fit the buffers in the key's order, each checked if remembered or kept.
    const auto& rows = window.list.Rows();
    std::size_t row = rows.size();
    for (const Value& v : state.urls) {
        if (!Fits(v)) continue;
        if (row == 0 || rows[row - 1].text[0] != Shown(v.data) || rows[row - 1].text[1] != v.name)
            Breach("a value that fits the buffers is not shown as it is", v.name);
        const bool checked = MarkedKept(state, Shown(v.data)) || (m_policy.readable && m_policy.Keeps(Shown(v.data)));
        if (rows[--row].checked != checked) Breach("a row is not checked as its mark says", v.name);
    }
    if (row) Breach("a row shows no value of the key", rows[row - 1].text[1]);
}

void Story::OpenWindow(Faults& faults) {
    const State before = Snapshot(m_memory);
    m_window = std::make_unique<Window>(m_memory, m_writer, m_windowTurn, m_policy, ++m_copies);
    m_window->windowLock.Lock();
    m_window->faults = &faults;
    m_window->history.FillList();
    m_window->faults = nullptr;
    m_window->policyRead = m_policy.readable;
    m_window->loadedWhole = !faults.failed && !faults.died && !m_window->history.LockedOut();
    const State after = Snapshot(m_memory);
    if (faults.died) {
        m_window.reset();
        return JudgeKeys(before, Settled(), before.Addresses(), before.Addresses());
    }
    if (before.marks != after.marks) Breach("a load changed the marks", "");
    if (m_window->history.LockedOut()) {
        if (!m_otherHolds) Breach("a load kept out with the lock free", "");
        Unchanged(before, after, "a load kept out");
        return;
    }
    if (!before.journal && before.Stamped() != after.Stamped()) Breach("a load changed the keys", "");
    if (!faults.failed && !after.journal) JudgeLoad(*m_window, after);
    for (const auto& r : m_window->list.Rows()) {
        Value loaded{r.text[1], hl::kRegSz, r.text[0]};
        for (const Value& v : after.urls)
            if (v.name == r.text[1] && Shown(v.data) == r.text[0]) loaded = v;
        m_window->loaded.push_back(loaded);
    }
}

void Story::ChangeChecks() {
    auto& h = m_window->history;
    auto& list = m_window->list;
    const int rows = list.GetItemCount();
    const auto kept = [&](int row) { return m_window->policyRead && m_policy.Keeps(list.GetItemText(row, 0)); };
    for (unsigned count = 1 + Pick(4); count > 0; --count) {
        const unsigned choice = Pick(8);
        const int row = static_cast<int>(Pick(static_cast<unsigned>(rows) + 1));  // or one past the last
        // What each command leaves: no command unchecks what the organization keeps.
        std::vector<bool> checks;
        std::vector<int> selected;
        std::string addresses;
        for (int r = 0; r < rows; ++r) {
            checks.push_back(list.GetCheck(r));
            if (list.Rows()[static_cast<std::size_t>(r)].selected || (choice == 4 && r == row))
                selected.push_back(r), addresses += (addresses.empty() ? "" : "\r\n") + list.GetItemText(r, 0);
        }
        const bool check = Pick(2);
        const bool focused = std::count(selected.begin(), selected.end(), row) > 0;
        const std::vector<bool> before = checks;
        // Space: the list toggles the focused row (it will not uncheck what the organization
        // keeps), and the rest of the selection follows it.
        const bool spread = focused && (!before[static_cast<std::size_t>(row)] || kept(row));
        for (int r = 0; r < rows; ++r) {
            const bool was = before[static_cast<std::size_t>(r)], chosen = std::count(selected.begin(), selected.end(), r) > 0;
            bool now = was;
            switch (choice) {
            case 0: now = true; break;
            case 1: now = false; break;
            case 2: now = !was; break;
            case 3: now = r == row ? !was : was; break;
            case 4: now = chosen ? check : was; break;
            case 6: now = chosen && focused ? spread : was; break;
            }
            checks[static_cast<std::size_t>(r)] = now || kept(r);
        }
        m_window->shell.opened = "-";
        if (choice == 0) h.OnCheckAll();
        if (choice == 1) h.OnUncheckAll();
        if (choice == 2) h.OnInvertChecks();
        if (choice == 3 && (!list.GetCheck(row) || !kept(row)))
            list.SetCheck(row, !list.GetCheck(row));  // the list refuses to uncheck what the organization keeps
        if (choice == 4 && row < rows) list.Select(row);
        if (choice == 4) h.CheckSelected(check);
        if (choice == 6) {
            if (h.SelectedRows() != selected || h.SelectedAddresses() != addresses) Breach("the selection is not the rows selected, top first", addresses);
            if (focused && (!list.GetCheck(row) || !kept(row))) list.SetCheck(row, !list.GetCheck(row));
            h.SpreadCheck(row, h.SelectedRows());
        }
        if (choice == 7) {
            const hl::ClickNotice click{row < rows ? row : -1, check};
            std::intptr_t result = 1;
            m_window->history.OnClickList(&click, &result);
            const std::string opened = row < rows && !check ? list.GetItemText(row, 0) : "-";
            if (m_window->shell.opened != opened) Breach("a click opened what it should not", opened);
        }
        for (int r = 0; r < rows; ++r)
            if (list.GetCheck(r) != checks[static_cast<std::size_t>(r)]) Breach("a command checked a row it should not", std::to_string(choice));
        if (choice == 5 && row < rows) {
            // The tip tells the stamp of the row's own value, while the key still holds it as loaded.
            const Value& loaded = m_window->loaded[static_cast<std::size_t>(row)];
            std::string expected = list.GetItemText(row, 0);
            const State now = Snapshot(m_memory);
            for (const Value& v : now.urls)
                if (NameKey(v.name) == NameKey(loaded.name) && ContentsOf(v) == ContentsOf(loaded) &&
                    Stamped(now.StampOf(v.name))) {
                    std::uint64_t time = 0;
                    std::copy_n(now.StampOf(v.name).data(), 8, reinterpret_cast<char*>(&time));
                    expected += "\r\nLast typed " + Time(time);
                }
            if (kept(row)) expected += std::string("\r\n") + hl::CTypedUrlHistory::kKeptByPolicyTip;
            if (h.RowTip(row, Time) != expected) Breach("the tip is not the row's address and its own stamp", expected);
        }
    }
}

void Story::DeleteUnchecked(Faults& faults) {
    Window& w = *m_window;
    const State before = Snapshot(m_memory);
    // A pruning reads the organization's keep-list afresh and checks the rows it keeps.
    auto rowsBefore = w.list.Rows();
    for (auto& row : rowsBefore) row.checked = row.checked || (m_policy.readable && m_policy.Keeps(row.text[0]));
    Bag rowsBag, keptBag, uncheckedBag, movedBag;  // moved: unchecked, and no longer where it was loaded
    std::vector<std::string> keptTexts;
    std::set<std::u16string> rowNames;
    for (std::size_t i = 0; i < rowsBefore.size(); ++i) {
        const Value& own = w.loaded[i];
        rowNames.insert(NameKey(own.name));
        ++rowsBag[ContentsOf(own)];
        if (rowsBefore[i].checked) ++keptBag[ContentsOf(own)], keptTexts.push_back(rowsBefore[i].text[0]);
        else ++uncheckedBag[ContentsOf(own)];
        if (!rowsBefore[i].checked && std::none_of(before.urls.begin(), before.urls.end(), [&](const Value& v) {
                return NameKey(v.name) == NameKey(own.name) && ContentsOf(v) == ContentsOf(own); }))
            ++movedBag[ContentsOf(own)];
    }
    w.faults = &faults;
    w.history.messages.clear();
    w.history.OnDeleteUnchecked();
    w.faults = nullptr;
    if (!m_otherHolds) w.policyRead = m_policy.readable;  // read again by the pruning, as it was then
    const std::string message = w.history.messages.empty() ? "" : w.history.messages[0];
    const bool refused = !message.empty() && message != hl::CTypedUrlHistory::kSaveFailedMessage &&
                         message != hl::CTypedUrlHistory::kSaveUndoneAtNextStartMessage;
    // A save undone at once leaves no journal; one to be undone at the next start leaves it.
    if (!faults.died && (message == hl::CTypedUrlHistory::kSaveFailedMessage ||
                         message == hl::CTypedUrlHistory::kSaveUndoneAtNextStartMessage) &&
        Snapshot(m_memory).journal != (message == hl::CTypedUrlHistory::kSaveUndoneAtNextStartMessage))
        Breach("a failed save says otherwise than the journal it left", message);
    if (faults.died) m_window.reset();
    const State after = Settled();
    // Only the unchecked rows' addresses may go; the rows left (the kept ones, and an unchecked
    // one whose key would not open) are written back if the browser deleted one meanwhile.
    Bag leftBag = keptBag;
    for (const auto& row : m_window ? w.list.Rows() : std::deque<hl::CRowList::Row>())
        for (std::size_t i = 0; i < rowsBefore.size(); ++i)
            if (rowsBefore[i].data == row.data && !rowsBefore[i].checked) ++leftBag[ContentsOf(w.loaded[i])];
    JudgeKeys(before, after, Minus(before.Addresses(), uncheckedBag), Plus(before.Addresses(), leftBag));
    JudgeMarksKept(before, after, keptTexts);
    if (faults.died) return;
    if (refused) {
        if (!faults.failed && !m_otherHolds && m_policy.readable && !before.journal)
            Breach("a pruning refused while every call succeeded", message);
        return Unchanged(before, after, "a refused pruning");
    }
    if (!message.empty() && !faults.failed) Breach("a save failed while every call succeeded", message);
    // The rows left: every checked one, and an unchecked one only where a call failed, in their
    // order; saved, they are url1..urlN from the top, each the value it came from, with its stamp.
    const auto& rows = w.list.Rows();
    std::vector<Value> loaded;
    Bag left;
    std::size_t i = 0;
    for (const auto& row : rows) {
        for (; i < rowsBefore.size() && rowsBefore[i].data != row.data; ++i)
            if (rowsBefore[i].checked) Breach("a kept row left the list", rowsBefore[i].text[0]);
        if (i == rowsBefore.size() || rowsBefore[i].text[0] != row.text[0]) Breach("a row that was not there, or out of order", row.text[0]);
        if (!rowsBefore[i].checked && !faults.failed) Breach("an unchecked row stayed", row.text[0]);
        const std::string number = "url" + std::to_string(loaded.size() + 1);
        loaded.push_back(w.loaded[i]);
        ++left[ContentsOf(w.loaded[i])];
        if (message.empty()) {
            const auto at = std::find_if(after.urls.begin(), after.urls.end(), [&](const Value& v) { return v.name == number; });
            if (row.text[1] != number || at == after.urls.end() || ContentsOf(*at) != ContentsOf(w.loaded[i]))
                Breach("a kept address is not saved under its row's number as it was", number);
            if (!w.browserSinceLoad && after.StampOf(number) != before.StampOf(w.loaded[i].name))
                Breach("a kept address is saved without its own stamp", number);
            loaded.back().name = number;
        } else if (row.text[1] != rowsBefore[i].text[1]) {
            Breach("a row renamed though not saved", row.text[1]);
        }
        ++i;
    }
    for (; i < rowsBefore.size(); ++i)
        if (rowsBefore[i].checked) Breach("a kept row left the list", rowsBefore[i].text[0]);
    w.loaded = loaded;
    if (!message.empty()) return;
    w.browserSinceLoad = false;
    if (after.Addresses() != Plus(Plus(Minus(before.Addresses(), rowsBag), left), m_typed))
        Breach("the saved key holds more or less than the rows left and what no row came from", "");
    // After a load that read the whole key, the window forgets every mark but the kept rows'.
    for (const auto& mark : after.marks)
        if (w.loadedWhole && !faults.failed && std::none_of(rows.begin(), rows.end(), [&](const auto& r) { return NameKey(r.text[0]) == mark.first; }))
            Breach("a mark not kept outlived the window's pruning", "");
    for (const auto& row : rowsBefore) {
        if (faults.failed) break;  // a mark that could not be written
        const bool kept = std::any_of(rows.begin(), rows.end(), [&](const auto& r) { return NameKey(r.text[0]) == NameKey(row.text[0]); });
        if (MarkedKept(after, row.text[0]) != kept) Breach("a mark is not what the pruning left", row.text[0]);
    }
    // The values no row came from keep their names, but those the browser numbered, numbered on,
    // and a copy of a row's address, which that row took where its own was gone: kept, or deleted.
    for (const Value& b : before.urls)
        if (!rowNames.count(NameKey(b.name)) && !Numbered(b.name) && !keptBag.count(ContentsOf(b)) &&
            !movedBag.count(ContentsOf(b)) &&
            std::none_of(after.urls.begin(), after.urls.end(), [&](const Value& v) { return v.name == b.name && ContentsOf(v) == ContentsOf(b); }))
            Breach("a value no row came from was renamed", b.name);
    // Numbered from url1 on without a gap, but for what the browser typed at the next start.
    std::size_t numbered = 0;
    for (const Value& v : after.urls) numbered += Numbered(v.name) && !m_typed.count(ContentsOf(v));
    for (std::size_t n = 1; n <= numbered; ++n)
        if (std::none_of(after.urls.begin(), after.urls.end(), [&](const Value& v) { return v.name == "url" + std::to_string(n); }))
            Breach("the numbered values are not url1..urlN", std::to_string(n));
    for (const Value& t : after.times)
        if (std::none_of(after.urls.begin(), after.urls.end(), [&](const Value& v) { return NameKey(v.name) == NameKey(t.name); }))
            Breach("a stamp outlived its address", t.name);
}

void Story::CloseWindow(Faults& faults) {
    Window& w = *m_window;
    const State before = Snapshot(m_memory);
    std::vector<std::string> kept;
    for (const auto& r : w.list.Rows())
        if (r.checked) kept.push_back(r.text[0]);
    const auto rows = w.list.Rows();
    w.faults = &faults;
    // Closed as Exit does, or the session ends with the window open: the marks are written, and
    // the window goes without its close. Either gives way to another copy that holds the lock.
    const bool sessionEnds = Pick(4) == 0;
    const bool closing = !sessionEnds && w.history.BeginClose();
    if (closing) w.list.DeleteAllItems(), w.history.EndClose();
    if (sessionEnds) w.history.RememberChecks();
    w.faults = nullptr;
    if (sessionEnds && m_otherHolds) return Unchanged(before, Snapshot(m_memory), "marks written beside another copy");
    if (!closing && !sessionEnds && !faults.died) {
        if (!m_otherHolds && !faults.failed) Breach("a close refused with the lock free", "");
        return Unchanged(before, Snapshot(m_memory), "a refused close");
    }
    m_window.reset();
    const State after = Settled();
    if (before.Stamped() != after.Stamped() && !before.journal) Breach("a close changed the keys", "");
    JudgeMarksKept(before, after, kept);
    if (faults.died || faults.failed) return;
    for (const auto& r : rows) {
        const bool any = std::any_of(rows.begin(), rows.end(), [&](const auto& o) { return o.checked && NameKey(o.text[0]) == NameKey(r.text[0]); });
        if (MarkedKept(after, r.text[0]) != any) Breach("a mark is not remembered as the rows left it", r.text[0]);
    }
}

void Story::Prune(Faults& faults) {
    const State before = Snapshot(m_memory);
    bool done = false;
    std::string message;
    {
        Command run(m_memory, m_writer, m_windowTurn, m_policy, ++m_copies);
        run.faults = &faults;
        done = run.history.Prune();
        message = run.history.Message();
    }
    const State after = Settled();
    // Any value that does not fit, or is remembered as kept, or kept by the organization, stays;
    // the others may go, and only their marks may be forgotten.
    Bag required, deleted;
    std::vector<std::string> kept;
    for (const Value& v : before.urls) {
        const bool keeps = !Fits(v) || MarkedKept(before, Shown(v.data)) || m_policy.Keeps(Shown(v.data));
        ++(keeps ? required : deleted)[ContentsOf(v)];
        if (keeps && Fits(v)) kept.push_back(Shown(v.data));
    }
    JudgeKeys(before, after, required, before.Addresses());
    JudgeMarksKept(before, after, kept);
    for (const auto& mark : before.marks) {
        const std::u16string& entry = mark.first;
        const bool forgettable = std::any_of(before.urls.begin(), before.urls.end(), [&](const Value& v) {
            return Fits(v) && deleted.count(ContentsOf(v)) && NameKey(Shown(v.data)) == entry;
        });
        // A row it keeps, the organization's too, is remembered as kept.
        const bool keptRow = std::any_of(kept.begin(), kept.end(), [&](const std::string& t) { return NameKey(t) == entry; });
        const auto now = after.marks.find(entry);
        const bool same = now != after.marks.end() && (now->second == mark.second || (keptRow && now->second == kOne));
        if (!forgettable && !same)
            Breach("/prune changed the mark of an address it did not delete", "");
    }
    const bool refusable = m_otherHolds || m_windowTurn.holder || faults.failed || faults.died || !m_policy.readable;
    // What the exit status tells a script: done, or the message that says why not.
    if (!faults.died && done != message.empty()) Breach("/prune's result and its message disagree", message);
    if (!done) {
        if (!refusable && !before.journal) Breach("/prune failed while every call succeeded", message);
        if (message == hl::CTypedUrlHistory::kBusyMessage || message == hl::CTypedUrlHistory::kWindowOpenMessage ||
            message == hl::CTypedUrlHistory::kPolicyUnreadableMessage || message == hl::CTypedUrlHistory::kMarksUnreadableMessage)
            Unchanged(before, after, "a refused /prune");
        return;
    }
    if (m_otherHolds || m_windowTurn.holder) Breach("/prune went ahead beside another copy or the open window", "");
    if (!faults.failed && !faults.died && after.Addresses() != Plus(required, m_typed)) Breach("/prune kept more than the marks keep", "");
}

void Story::List(Faults& faults) {
    const State before = Snapshot(m_memory);
    std::string text, message;
    {
        Command run(m_memory, m_writer, m_windowTurn, m_policy, ++m_copies);
        run.faults = &faults;
        text = run.history.ListText();
        message = run.history.Message();
    }
    // A key that a journal left could not be put back is half rewritten: not the user's to list.
    if (!faults.died && Snapshot(m_memory).journal && (message.empty() || !text.empty()))
        Breach("/list listed a key a journal could not put back", text);
    const State after = Settled();
    if (before.marks != after.marks) Breach("/list changed the marks", "");
    if (!before.journal && before.Stamped() != after.Stamped()) Breach("/list changed the keys", "");
    if (!message.empty() && !faults.failed && !faults.died && !m_otherHolds && m_policy.readable && !before.journal)
        Breach("/list refused while every call succeeded", message);
    if (faults.failed || faults.died || !message.empty()) return;
    // Top first: the mark (or the organization's keeping), the name, the address and the stamp, escaped.
    std::string expected;
    for (auto v = after.urls.rbegin(); v != after.urls.rend(); ++v) {
        if (!Fits(*v)) continue;
        const std::string stamp = after.StampOf(v->name);
        std::uint64_t time = 0;
        if (Stamped(stamp)) std::copy_n(stamp.data(), 8, reinterpret_cast<char*>(&time));
        expected += (MarkedKept(after, Shown(v->data)) || m_policy.Keeps(Shown(v->data)) ? "1\t" : "0\t") + hltest::ListField(v->name) +
                    '\t' + hltest::ListField(Shown(v->data)) + '\t' + (time ? "*" : "") + "\r\n";
    }
    std::string shown;  // the time's own format is tested apart: here only whether there is one
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string line = text.substr(at, end - at);
        const std::size_t tab = line.rfind('\t');
        shown += line.substr(0, tab + 1) + (tab + 1 < line.size() ? "*" : "") + "\r\n";
    }
    if (shown != expected) Breach("/list does not write the key as it is", text);
}

void Story::Restart() {
    if (Pick(2)) Browser(true);
    for (int tries = 0;; ++tries) {
        Faults faults = tries < 3 ? ChooseFaults(true) : Faults();
        Command run(m_memory, m_writer, m_windowTurn, m_policy, ++m_copies);
        run.faults = &faults;
        const std::string text = run.history.ListText();
        run.faults = nullptr;
        bool journal = false;
        hltest::ReadKey(m_memory, hl::kJournalKey, &journal);
        if (!faults.died && journal && (run.history.Message().empty() || !text.empty()))
            Breach("/list listed a key a journal could not put back", text);
        if (!journal && !faults.died) return;
        if ((tries >= 3 || !(faults.failed || faults.died)) && journal) Breach("a start with every call succeeding left the journal", "");
    }
}

void Story::Play() {
    // The browser's key of every type, names the registry takes for one among them, stamps and marks.
    for (unsigned count = Pick(12); count > 0; --count) {
        const std::string name = Name();
        std::string data = Text();
        data.resize(data.size() + Pick(2));  // with or without its zero
        Write(hl::kTypedUrlsKey, name, Pick(12), data);
        if (Pick(2)) Write(hl::kTypedUrlsTimeKey, Pick(4) ? name : Name(), hl::kRegBinary, Stamp());
        // Marks of 0, 1 and 2, and of the bytes of 1 in other types and sizes, which keep nothing.
        static const std::pair<unsigned long, std::string> kMarks[] = {
            {hl::kRegDword, std::string("\0\0\0\0", 4)}, {hl::kRegDword, std::string("\1\0\0\0", 4)},
            {hl::kRegDword, std::string("\2\0\0\0", 4)}, {hl::kRegSz, "1"}, {hl::kRegBinary, std::string("\1\0\0\0", 4)},
            {hl::kRegQword, std::string("\1\0\0\0\0\0\0\0", 8)}, {hl::kRegDword, std::string("\1\0", 2)}};
        const auto& mark = kMarks[Pick(2) ? 1 : Pick(7)];
        if (Pick(2)) Write(hl::kSectionKey, Shown(data), mark.first, mark.second);
    }
    if (Pick(4) == 0) m_policy.digits = std::string(1, static_cast<char>('0' + Pick(10)));
    for (int step = 0; step < 16 && More(); ++step) {
        m_typed.clear();
        m_otherHolds = Pick(8) == 0;  // another copy holds the writer lock for this step
        if (m_otherHolds && m_writer.holder == 0) m_writer.holder = -1;
        m_policy.readable = Pick(16) != 0;
        const unsigned choice = Pick(8);
        Faults faults = ChooseFaults(choice != 2);
        if (choice <= 1) Browser(false);
        else if (!m_window && choice <= 4) OpenWindow(faults);
        else if (choice == 2) ChangeChecks();
        else if (choice == 3) DeleteUnchecked(faults);
        else if (choice == 4) CloseWindow(faults);
        else if (choice == 5 || choice == 6) Prune(faults);
        else List(faults);
        if (m_writer.holder == -1) m_writer.holder = 0;
        m_otherHolds = false;
    }
    if (m_window) {
        Faults none;
        CloseWindow(none);
    }
    if (m_memory.OpenHandles() != 0) Breach("a key was left open", "");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    Story(bytes, size).Play();
    return 0;
}
