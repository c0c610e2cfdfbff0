// Pruning over random keys, marks and registry failures, against a scan from the top. The base
// seed is fixed so that a run repeats; HEDGELOOM_SEED chooses another, HEDGELOOM_CASES how many.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "contract/PruningOracle.h"
#include "support/MemoryList.h"
#include "support/MemoryRegistry.h"

namespace hltest {
namespace {

struct Case {
    EnumOrder order = EnumOrder::Creation;
    std::vector<RawValue> values;  // written in this order
    std::vector<bool> checked;     // per value: the mark its row gets
    std::vector<bool> openFails;   // per open of the key after loading, from the first
    RegOp faultOp = RegOp::Close;  // Close: no other failure
    int faultCall = 0;
};

std::string Describe(const Case& c) {
    std::ostringstream out;
    out << (c.order == EnumOrder::Creation ? "creation" : "name") << " order, call " << c.faultCall << " of operation "
        << static_cast<int>(c.faultOp) << " fails, and opens";
    for (std::size_t i = 0; i < c.openFails.size(); ++i) out << (c.openFails[i] ? " " + std::to_string(i + 1) : "");
    for (std::size_t i = 0; i < c.values.size(); ++i) out << "\n  " << c.values[i] << (c.checked[i] ? " checked" : "");
    return out.str() + "\n";
}

Case RandomCase(std::mt19937& rng) {
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    Case c;
    c.order = pick(2) ? EnumOrder::Creation : EnumOrder::ByName;
    for (int i = pick(11); i > 0; --i) {
        const std::string number = std::to_string(pick(25));
        const std::string names[] = {"", "Other" + number, "u" + std::string(258 + pick(3), 'n'), "URL" + number,
                                     "url\xe9" + number, "url" + number};
        const std::string name = names[pick(6)];
        const std::string texts[] = {c.values.empty() ? "" : c.values.back().data, "http://b\xfc" "cher.example/\xe9",
                                     "http://" + std::string(251 + pick(4), 'l'), "", "http://site" + number + "/"};
        const std::string text = texts[pick(5)];
        const RawValue odd[] = {{name, hl::kRegBinary, text}, {name, hl::kRegSz, text},  // without a zero
                                {name, hl::kRegDword, std::string("ab\0\0", 4)},
                                {name, hl::kRegBinary, std::string(259 + pick(3), 'z')}};
        c.values.push_back(pick(2) ? Sz(name, text) : odd[pick(4)]);
        c.checked.push_back(pick(2));
    }
    for (int i = 0, percent = pick(3) * 20; i < 40; ++i) c.openFails.push_back(pick(100) < percent);
    const RegOp ops[] = {RegOp::Close, RegOp::Create, RegOp::Set, RegOp::DeleteValue, RegOp::Enum};
    c.faultOp = ops[pick(2) * (1 + pick(4))];
    c.faultCall = 1 + pick(6);
    return c;
}

long OpenResult(const Case& c, RegOp op, int n) {  // n: the open's number after loading, from 1
    const bool fails = op == RegOp::Open && n >= 1 && n <= static_cast<int>(c.openFails.size()) && c.openFails[n - 1];
    return fails ? hl::kErrorAccessDenied : hl::kErrorSuccess;
}

// Runs one case; returns what went wrong, or nothing.
std::string RunCase(const Case& c) {
    MemoryRegistry memory(c.order), spare(c.order);
    FaultyRegistry registry(memory), naive(spare);
    MemoryList list, copy;  // the copy is pruned by the scan from the top
    RecordingShell shell;
    History history(registry, list, shell), copyHistory(spare, copy, shell);
    list.onRemove = [&](int row) {
        hl::RowNotice notice{row};
        std::intptr_t result;
        history.OnDeleteItemList(&notice, &result);
    };
    for (auto [h, l] : {std::pair<History*, MemoryList*>{&history, &list}, {&copyHistory, &copy}}) {
        WriteValues(h == &history ? memory : spare, hl::kTypedUrlsKey, c.values);
        h->FillList();
        for (int row = 0; row < l->GetItemCount(); ++row)
            for (std::size_t i = 0; i < c.values.size(); ++i)
                if (c.values[i].name == l->GetItemText(row, 1)) l->SetCheck(row, c.checked[i]);
    }
    const std::vector<RawValue> unshown = Unshown(ReadValues(memory, hl::kTypedUrlsKey));
    naive.onCall = [&](RegOp op, int n, const std::string&) { return OpenResult(c, op, n); };
    NaiveScan(naive, copy);

    std::vector<RawValue> beforeRewrite;
    const int faultBase = registry.Calls(c.faultOp), openBase = registry.Calls(RegOp::Open);
    registry.onCall = [&](RegOp op, int n, const std::string& what) {
        if (op == RegOp::DeleteKey && what == hl::kSectionKey) beforeRewrite = ReadValues(memory, hl::kTypedUrlsKey);
        if (op == c.faultOp && n - faultBase == c.faultCall) return hl::kErrorAccessDenied;
        return OpenResult(c, op, n - openBase);
    };
    history.OnDeleteUnchecked();

    std::ostringstream why;
    auto sameText = [](const MemoryList::Row& a, const MemoryList::Row& b) { return a.text[0] == b.text[0]; };
    if (!std::equal(list.Rows().begin(), list.Rows().end(), copy.Rows().begin(), copy.Rows().end(), sameText))
        why << "the rows kept are not those a scan from the top keeps\n";
    std::vector<Row> rows;
    for (const MemoryList::Row& row : list.Rows()) rows.push_back({row.text[0], row.text[1]});
    const std::vector<RawValue> after = Sorted(ReadValues(memory, hl::kTypedUrlsKey));
    if (history.messages.empty() && after != Sorted(ExpectedKey(rows, unshown)))
        why << "saved key is not the rows and the values not shown\n";
    if (!history.messages.empty() && (history.messages.size() != 1 || after != Sorted(beforeRewrite)))
        why << "a failed save did not put the key back, or said so " << history.messages.size() << " times\n";
    if (registry.OpenHandles() != 0 || memory.OpenHandles() != 0) why << "a key was left open\n";
    if (!list.drawing) why << "the list was left without drawing\n";
    return why.str();
}

// The smallest key, by leaving out values one at a time, that still fails.
Case Shrink(Case c) {
    for (std::size_t i = 0; i < c.values.size(); ++i) {
        Case less = c;
        less.values.erase(less.values.begin() + static_cast<std::ptrdiff_t>(i));
        less.checked.erase(less.checked.begin() + static_cast<std::ptrdiff_t>(i));
        if (!RunCase(less).empty()) c = less, --i;  // the same place holds the next value now
    }
    return c;
}

unsigned long FromEnvironment(const char* name, unsigned long otherwise) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 0) : otherwise;
}

TEST(PruningProperty, RandomKeysMarksAndFailures) {
    const unsigned long seed = FromEnvironment("HEDGELOOM_SEED", 20031207);
    const unsigned long cases = FromEnvironment("HEDGELOOM_CASES", 3000);
    for (unsigned long i = 0, failures = 0; i < cases && failures < 3; ++i) {
        std::mt19937 rng(static_cast<std::mt19937::result_type>(seed + i));
        const Case c = RandomCase(rng);
        const std::string why = RunCase(c);
        if (why.empty()) continue;
        ++failures;
        const Case small = Shrink(c);
        ADD_FAILURE() << "case seed " << seed + i << " (HEDGELOOM_SEED=" << seed + i << " HEDGELOOM_CASES=1):\n"
                      << why << "shrunk to:\n" << Describe(small) << RunCase(small);
    }
}

}  // namespace
}  // namespace hltest
