// Fuzzes the typed-address logic over the in-memory registry and list. The
// input chooses the browser's key (names and data at and past the 260-byte
// buffers, any type, zeros anywhere, 8-bit bytes, the default value), the
// remembered marks, the registry calls that fail, and the commands. After every
// command the pruning invariants must hold; a breach aborts with its reason.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzInput.h"
#include "TypedUrlHistory.h"
#include "support/FaultyRegistry.h"
#include "support/MemoryList.h"
#include "support/MemoryRegistry.h"

namespace hlfuzz {
namespace {

using hltest::RegOp;

struct Value {
    std::string name;
    unsigned long type = hl::kRegSz;
    std::string data;
};

class History final : public hl::CTypedUrlHistory {
public:
    History(hl::IRegistry& registry, hl::IAddressList& list, hl::IShell& shell)
        : CTypedUrlHistory(registry, list, shell) {}
    int messages = 0;

private:
    void ShowMessage(const char*) override { ++messages; }
};

class NoShell final : public hl::IShell {
public:
    void ShellExecuteA(const char*, const char*, int) override {}
};

[[noreturn]] void Breach(const char* invariant, const std::string& detail = std::string()) {
    std::fprintf(stderr, "invariant broken: %s %s\n", invariant, detail.c_str());
    std::abort();
}

std::string Folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The text the list shows for a value's data: up to its first zero, at most 259 characters.
std::string Shown(const std::string& data) {
    return data.substr(0, std::min(data.find('\0'), std::size_t{hl::kTextBuffer - 1}));
}

// Every value of a key, read straight from the model with room for anything.
std::vector<Value> ReadKey(hl::IRegistry& registry, const char* path) {
    std::vector<Value> values;
    hl::RegHandle key = nullptr;
    if (registry.RegOpenKeyExA(path, 0, hl::kKeyAllAccess, &key) != hl::kErrorSuccess) return values;
    std::vector<char> name(1 << 16);
    std::vector<unsigned char> data(1 << 16);
    for (unsigned long index = 0;; ++index) {
        unsigned long nameLength = static_cast<unsigned long>(name.size());
        unsigned long dataLength = static_cast<unsigned long>(data.size());
        unsigned long type = 0;
        if (registry.RegEnumValueA(key, index, name.data(), &nameLength, &type, data.data(), &dataLength) !=
            hl::kErrorSuccess)
            break;
        values.push_back({std::string(name.data(), nameLength), type,
                          std::string(reinterpret_cast<const char*>(data.data()), dataLength)});
    }
    registry.RegCloseKey(key);
    return values;
}

// The key as the input wants it; names that the registry takes for one are written once.
std::vector<Value> ChooseKey(FuzzInput& in) {
    std::vector<Value> values;
    std::set<std::string> names;
    const unsigned count = in.Pick(12);
    for (unsigned i = 0; i < count; ++i) {
        Value v;
        switch (in.Pick(6)) {
            case 0: v.name = ""; break;  // the key's default value
            case 1: v.name = "URL" + std::to_string(in.Pick(30)); break;
            case 2: v.name = std::string("u") + in.Text(in.Length()); break;
            default: v.name = "url" + std::to_string(1 + in.Pick(30)); break;
        }
        v.name = v.name.substr(0, v.name.find('\0'));  // a name passes as a C string
        if (!names.insert(Folded(v.name)).second) continue;
        static constexpr unsigned long kTypes[] = {hl::kRegSz, hl::kRegSz, hl::kRegExpandSz, hl::kRegBinary,
                                                   hl::kRegDword, hl::kRegMultiSz, hl::kRegNone, hl::kRegQword};
        v.type = kTypes[in.Pick(8)];
        v.data = in.Text(in.Length());
        if (in.Flag()) v.data += '\0';  // with or without its terminating zero
        values.push_back(std::move(v));
    }
    return values;
}

void Store(hl::IRegistry& registry, const char* path, const std::vector<Value>& values) {
    hl::RegHandle key = nullptr;
    unsigned long disposition = 0;
    if (registry.RegCreateKeyExA(path, 0, "", 0, hl::kKeyAllAccess, &key, &disposition) != hl::kErrorSuccess)
        Breach("the model would not create", path);
    for (const Value& v : values)
        registry.RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const unsigned char*>(v.data.data()),
                                static_cast<unsigned long>(v.data.size()));
    registry.RegCloseKey(key);
}

// The registry calls that fail, by operation and number counted from 1, each
// with a result the platform gives for it. A failure never lies about the
// registry (no "not found" for a value that is there). At most one of them
// changes the registry (delete, create, store): after two, what is lost is the
// registry's doing.
class Faults {
public:
    explicit Faults(FuzzInput& in) {
        const unsigned count = in.Pick(5);
        bool writeChosen = false;
        for (unsigned i = 0; i < count; ++i) {
            static constexpr RegOp kOps[] = {RegOp::Open, RegOp::Enum,       RegOp::DeleteValue, RegOp::DeleteKey,
                                             RegOp::Create, RegOp::Set, RegOp::GetProfile, RegOp::WriteProfile};
            const RegOp op = kOps[in.Pick(8)];
            const int n = 1 + static_cast<int>(in.Pick(48));
            long code = hl::kErrorAccessDenied;
            if (op == RegOp::Enum) {
                static constexpr long kEnumCodes[] = {hl::kErrorAccessDenied, hl::kErrorMoreData, hl::kErrorKeyDeleted};
                code = kEnumCodes[in.Pick(3)];
            }
            const bool write = op == RegOp::DeleteValue || op == RegOp::DeleteKey || op == RegOp::Create ||
                               op == RegOp::Set;
            if (write && std::exchange(writeChosen, true)) continue;
            m_at[{op, n}] = code;
        }
    }

    long operator()(RegOp op, int n) {
        const auto fault = m_at.find({op, n});
        if (fault == m_at.end()) return hl::kErrorSuccess;
        if (op == RegOp::WriteProfile) profileWriteFailed = true;
        return fault->second;
    }

    bool profileWriteFailed = false;

private:
    std::map<std::pair<RegOp, int>, long> m_at;
};

struct RowText {
    std::string address, name;
};

std::vector<RowText> Rows(hltest::MemoryList& list) {
    std::vector<RowText> rows;
    for (const auto& row : list.Rows()) rows.push_back({row.text[0], row.text[1]});
    return rows;
}

// Loading shows each value that could be read as a row, the last read on top.
// What it could not show is returned.
std::vector<Value> CheckLoaded(const std::vector<Value>& key, hltest::MemoryList& list) {
    std::vector<Value> unshown = key;
    for (const RowText& row : Rows(list)) {
        auto source = unshown.begin();
        while (source != unshown.end() && !(source->name == row.name && Shown(source->data) == row.address)) ++source;
        if (source == unshown.end()) Breach("a row shows no value of the key", row.name);
        unshown.erase(source);
    }
    return unshown;
}

using Contents = std::multiset<std::pair<unsigned long, std::string>>;

Contents ContentsOf(const std::vector<Value>& values) {
    Contents contents;
    for (const Value& v : values) contents.insert({v.type, v.data});
    return contents;
}

// What may stay in the key beside the rows: what the list could not show, and,
// once a save has failed, whatever that failure left, such as a value whose row
// went although its deletion failed. Until then, exactly what was not shown.
struct Leftovers {
    Contents allowed;
    bool exact = true;
};

void CheckPruned(const std::vector<Value>& key, hltest::MemoryList& list, const std::vector<Value>& unshown,
                 bool saved, Leftovers& leftovers) {
    const Contents held = ContentsOf(key);
    const Contents kept = ContentsOf(unshown);
    if (!std::includes(held.begin(), held.end(), kept.begin(), kept.end()))
        Breach("a value the list could not show was lost or changed");
    const std::vector<RowText> rows = Rows(list);
    for (const RowText& row : rows) {
        bool found = false;
        for (const Value& v : key) found = found || Shown(v.data) == row.address;
        if (!found) Breach("a kept row's address is not in the key", row.address);
    }
    if (!saved) {
        leftovers.exact = false;
        for (const Value& v : key) leftovers.allowed.insert({v.type, v.data});
        return;
    }

    // Saved: url1..urlN from the top are the rows, and the rest is what the list could not show.
    std::vector<Value> rest = key;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string name = "url" + std::to_string(i + 1);
        auto value = rest.begin();
        while (value != rest.end() && Folded(value->name) != name) ++value;
        if (value == rest.end()) Breach("a row was not saved under its number", name);
        if (value->type != hl::kRegSz || value->data != rows[i].address + '\0')
            Breach("a number holds another address than its row", name);
        rest.erase(value);
    }
    const Contents others = ContentsOf(rest);
    if (leftovers.exact ? others != kept
                        : !std::includes(leftovers.allowed.begin(), leftovers.allowed.end(), others.begin(), others.end()))
        Breach("the saved key holds more than the rows and what was not shown");
}

// The window closes: each row leaving writes its mark, and the last write of an address stands.
void CheckClosed(hltest::MemoryRegistry& memory, const std::map<std::string, std::uint32_t>& marks) {
    const std::vector<Value> profile = ReadKey(memory, hl::kSectionKey);
    for (const auto& [address, mark] : marks) {
        const Value* entry = nullptr;
        for (const Value& v : profile)
            if (Folded(v.name) == address) entry = &v;
        const std::string expected(reinterpret_cast<const char*>(&mark), sizeof mark);
        if (!entry || entry->type != hl::kRegDword || entry->data != expected)
            Breach("the profile does not hold a closed row's mark", address);
    }
}

void Run(FuzzInput& in) {
    hltest::MemoryRegistry memory(in.Flag() ? hltest::EnumOrder::ByName : hltest::EnumOrder::Creation);
    hltest::FaultyRegistry registry(memory);
    hltest::MemoryList list;
    NoShell shell;
    History history(registry, list, shell);

    const std::vector<Value> key = ChooseKey(in);
    Store(memory, hl::kTypedUrlsKey, key);
    std::vector<Value> remembered;
    for (const Value& v : key) {
        const std::uint32_t mark = in.Pick(4);  // 1 is checked; 0, 2 and 3 are not
        const std::string bytes(reinterpret_cast<const char*>(&mark), sizeof mark);
        if (in.Flag()) remembered.push_back({Shown(v.data), in.Flag() ? hl::kRegDword : hl::kRegBinary, bytes});
    }
    Store(memory, hl::kSectionKey, remembered);
    Faults faults(in);
    registry.onCall = [&](RegOp op, int n, const std::string&) { return faults(op, n); };

    std::map<std::string, std::uint32_t> closingMarks;  // folded address, mark
    bool closing = false;
    list.onRemove = [&](int row) {
        if (closing) closingMarks[Folded(list.GetItemText(row, 0))] = list.GetCheck(row) ? 1 : 0;
        const hl::RowNotice notice{row};
        std::intptr_t result = 1;
        history.OnDeleteItemList(&notice, &result);
        if (result != 0) Breach("the removal notice's result is not 0");
    };
    auto checkHandles = [&](const char* after) {
        if (registry.OpenHandles() != 0 || memory.OpenHandles() != 0) Breach("a key was left open after", after);
    };

    history.FillList();
    checkHandles("loading");
    const std::vector<Value> unshown = CheckLoaded(key, list);
    Leftovers leftovers{ContentsOf(unshown)};

    for (int command = 0; command < 24 && !in.Empty() && !closing; ++command) {
        switch (in.Pick(6)) {
            case 0: history.OnCheckAll(); break;
            case 1: history.OnUncheckAll(); break;
            case 2: history.OnInvertChecks(); break;
            case 3: {
                const int row = static_cast<int>(in.Pick(static_cast<unsigned>(list.GetItemCount()) + 1));
                list.SetCheck(row, in.Flag());
                break;
            }
            case 4: {
                const int messages = history.messages;
                history.OnDeleteUnchecked();
                checkHandles("pruning");
                if (history.messages > messages + 1) Breach("one pruning told the user more than once");
                CheckPruned(ReadKey(memory, hl::kTypedUrlsKey), list, unshown, history.messages == messages,
                            leftovers);
                break;
            }
            default: closing = true; break;
        }
    }
    closing = true;
    list.Destroy();
    checkHandles("closing");
    if (!faults.profileWriteFailed) CheckClosed(memory, closingMarks);
}

}  // namespace
}  // namespace hlfuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    hlfuzz::FuzzInput in(data, size);
    hlfuzz::Run(in);
    return 0;
}
