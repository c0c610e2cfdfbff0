// "Delete Unchecked": what goes, what stays, and what the key and profile hold after.
#include <algorithm>
#include <thread>

#include "ScopedKey.h"
#include "UnattendedHistory.h"
#include "contract/Contract.h"

namespace hltest {
namespace {

using Pruning = Contract;

// The scan of "Delete Unchecked" done the obvious way: from the top again after
// every deletion. The program's scan must delete the same rows with the same calls.
void NaiveScan(hl::IRegistry& registry, hl::IAddressList& list) {
    for (int i = 0; i < list.GetItemCount(); ++i) {
        if (list.GetCheck(i)) continue;
        const std::string name = list.GetItemText(i, 1);
        hl::ScopedKey key(registry);
        const long opened = key.Open(hl::kTypedUrlsKey);
        if (opened != hl::kErrorSuccess && opened != hl::kErrorFileNotFound) continue;
        if (key) registry.RegDeleteValueA(key.get(), name.c_str());
        key.Close();
        list.DeleteItem(i);
        i = -1;
    }
}

TEST_P(Pruning, DeletesUncheckedAndRenumbersTheRestFromTheTop) {
    const std::vector<std::vector<bool>> patterns = {
        {false, true, false, true}, {true, true, true, true}, {false, false, false, false}, {true, false, false, true},
        {}};
    for (const std::vector<bool>& checks : patterns) {
        SCOPED_TRACE(testing::PrintToString(checks));
        Reset();
        // Beside the rows, values the list cannot show: one the browser numbered, numbered on after
        // the rows, and one whose name only looks numbered, which keeps it.
        std::vector<RegValue> values = Numbered(checks.size());
        const std::vector<RegValue> unshown = {{"URL7", hl::kRegBinary, std::string(300, 'b')},
                                               {"url9x", hl::kRegBinary, std::string(300, 'x')}};
        if (!checks.empty()) values.insert(values.end(), unshown.begin(), unshown.end());
        Load(values);
        const std::string sub = std::string(hl::kTypedUrlsKey) + "\\Sub";
        const std::vector<RegValue> inner = {Sz("inner", "http://inner/")};
        if (checks.empty()) {  // no key at all, as for a user who never typed an address
            Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
            history->FillList();
        } else {
            WriteValues(Raw(), sub, inner);
        }
        for (const std::string& gone : {std::string("http://gone.example/"), std::string(300, 'g')}) Remember(Dword(gone, 1));
        SetChecks(checks);
        const std::vector<Row> kept = Kept();
        history->OnDeleteUnchecked();

        bool exists = false;
        EXPECT_EQ(Sorted(TypedUrls(&exists)), Sorted(ExpectedKey(kept, checks.empty() ? values : unshown)));
        EXPECT_TRUE(exists);
        std::vector<Row> renamed = kept;
        for (std::size_t i = 0; i < renamed.size(); ++i) renamed[i].name = "url" + std::to_string(i + 1);
        EXPECT_EQ(Rows(), renamed);
        EXPECT_EQ(Sorted(Marks()), Sorted(Remembered(kept)))
            << "the old marks are forgotten and the kept rows remembered at once";
        EXPECT_TRUE(history->messages.empty());
        EXPECT_EQ(ReadValues(Raw(), sub), checks.empty() ? std::vector<RegValue>{} : inner) << "subkeys stay";
        Raw().RegDeleteKeyA(sub.c_str());
    }
}

TEST_P(Pruning, OpenThatFailedIsTriedAgainAfterALaterDeletion) {
    const std::vector<std::vector<int>> plans = {{1}, {2}, {1, 3}, {2, 3, 4}, {1, 2, 3, 4, 5, 6, 7}, {1, 4, 6, 8}};
    for (const std::vector<int>& plan : plans) {
        SCOPED_TRACE(testing::PrintToString(plan));
        std::vector<std::vector<Row>> rows;
        std::vector<std::vector<std::string>> logs;
        for (bool naive : {true, false}) {
            Reset();
            Raw().RegDeleteKeyA(hl::kTypedUrlsTimeKey);  // no stamps to go with the addresses
            Load(Numbered(6));
            SetChecks({false, true, false, false, true, false});
            int opens = 0;
            faulty->onCall = [&plan, &opens](RegOp op, int, const std::string& what) {
                const bool fails = op == RegOp::Open && what == hl::kTypedUrlsKey &&
                                   std::count(plan.begin(), plan.end(), ++opens);
                return fails ? hl::kErrorAccessDenied : hl::kErrorSuccess;
            };
            faulty->ClearLog();
            naive ? NaiveScan(*faulty, List()) : history->OnDeleteUnchecked();
            logs.emplace_back();
            for (const std::string& line : faulty->Log()) {
                // The scan ends where the marks are forgotten.
                if (line.find(hl::kKeptKey) != std::string::npos || line.find(hl::kTypedUrlsTimeKey) != std::string::npos) continue;
                if (line.rfind("DeleteKey", 0) == 0 || line.find(hl::kSectionKey) != std::string::npos) break;
                if (line.rfind("WriteProfile", 0) != 0 && line.find("Journal") == std::string::npos)
                    logs.back().push_back(line);
            }
            rows.push_back(Rows());
            for (Row& row : rows.back()) row.name.clear();
        }
        EXPECT_EQ(logs[1], logs[0]);
        EXPECT_EQ(rows[1], rows[0]);
    }
}

// The browser moves an address the user unchecked to the top while the window is open. Whether
// or not the key reads whole at the scan, or the address's deletion fails there, the address goes
// wherever it is, and the kept ones stay.
TEST_P(Pruning, AnAddressTheBrowserMovedGoesThoughTheKeyWouldNotReadOrItsDeletionFailed) {
    for (const RegOp failing : {RegOp::Close, RegOp::Enum, RegOp::DeleteValue}) {  // Close: none fails
        SCOPED_TRACE(static_cast<int>(failing));
        Reset();
        Load({Sz("url1", "http://a/"), Sz("url2", "http://b/"), Sz("url3", "http://c/")});
        SetChecks({true, false, true});
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://b/"), Sz("url2", "http://a/")});  // each with its stamp
        WriteValues(Raw(), hl::kTypedUrlsTimeKey, {{"url1", hl::kRegBinary, "bbbbbbbb"}, {"url2", hl::kRegBinary, "aaaaaaaa"}});
        int calls = 0;  // of the failing kind, from the pruning on
        faulty->onCall = [&](RegOp op, int, const std::string&) {
            return op == failing && ++calls == 1 ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        };
        history->OnDeleteUnchecked();
        faulty->onCall = nullptr;
        EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://c/"), Sz("url2", "http://a/")}));
        EXPECT_EQ(ReadValues(Raw(), hl::kTypedUrlsTimeKey), (std::vector<RegValue>{{"url2", hl::kRegBinary, "aaaaaaaa"}}));
        EXPECT_TRUE(history->messages.empty());
    }
}

// A deleted address's stamp goes with it though the stamps' key would not open at first and the rewrite
// then fails; a kept address whose stamp, or the stamps' key, will not read is not moved without it.
TEST_P(Pruning, AStampGoesWithItsAddressThoughItsKeyWouldNotOpenAtFirstOrItWouldNotRead) {
    const std::vector<RegValue> stamps = {{"url1", hl::kRegBinary, std::string(8, 'a')}, {"url2", hl::kRegBinary, std::string(8, 'b')}};
    int opens = 0, stores = 0;
    const struct Case { const char* what; bool keepsB; std::function<bool(RegOp, const std::string&)> fails; std::vector<RegValue> left, stamped; } cases[] = {
        {"the stamps' key will not open at first, then a store fails", false, [&](RegOp op, const std::string& w) { return (op == RegOp::Open && w == hl::kTypedUrlsTimeKey && ++opens == 1) ||
             (op == RegOp::Set && w == "url1" && ++stores == 1); }, {Sz("url1", "http://a/")}, {stamps[0]}},
        {"b's stamp will not read", true, [](RegOp op, const std::string& what) { return op == RegOp::Query && what == "url2"; },
         {Sz("url2", "http://b/")}, {stamps[1]}},
        {"the stamps' key will not open", true, [](RegOp op, const std::string& what) { return op == RegOp::Open && what == hl::kTypedUrlsTimeKey; },
         {Sz("url2", "http://b/")}, stamps},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteValues(Raw(), hl::kTypedUrlsTimeKey, stamps);
        Reset();
        Load({Sz("url1", "http://a/"), Sz("url2", "http://b/")});
        SetChecks({c.keepsB, !c.keepsB});  // listed b, a
        faulty->onCall = [&](RegOp op, int, const std::string& what) { return c.fails(op, what) ? hl::kErrorAccessDenied : hl::kErrorSuccess; };
        history->OnDeleteUnchecked();
        faulty->onCall = nullptr;
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kSaveFailedMessage});
        EXPECT_EQ(TypedUrls(), c.left);
        EXPECT_EQ(Sorted(ReadValues(Raw(), hl::kTypedUrlsTimeKey)), Sorted(c.stamped));
    }
}

// From the command line only the marks of the addresses deleted are forgotten: a history
// cleared, or an address not typed lately, keeps its mark for when it comes back.
TEST_P(Pruning, CommandLineForgetsOnlyTheMarksOfWhatItDeleted) {
    Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
    Raw().RegDeleteKeyA(hl::kSectionKey);
    const std::vector<RegValue> marks = {Dword("http://a/", 1), Dword("http://b/", 1), Dword("http://C/", 0)};
    WriteValues(Raw(), hl::kSectionKey, marks);
    CloseWindow();
    hl::CUnattendedHistory command(*faulty, List(), shell);
    const auto window = binding->NewLock(0);  // the window's, free: no window is open
    command.SetWindowLock(window.get());
    removalsTo = &command;
    EXPECT_TRUE(command.Prune()) << command.Message();
    EXPECT_EQ(Sorted(Marks()), Sorted(marks)) << "an empty history forgot the marks";
    WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://C/"), Sz("url2", "http://a/"), Sz("url3", "http://d/")});
    EXPECT_TRUE(command.Prune()) << command.Message();
    bool taken = false;  // by another thread, as a window opened next would
    std::thread([&] { const auto next = binding->NewLock(0); taken = next->Lock() && (next->Unlock(), true); }).join();
    EXPECT_TRUE(taken) << "a lock kept after the pruning";
    EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://a/")}));
    EXPECT_EQ(Sorted(Marks()), Sorted({Dword("http://a/", 1), Dword("http://b/", 1)}));
    // Marks there but closed to the user would read as every address unchecked.
    WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url2", "http://e/")});
    faulty->onCall = [](RegOp op, int, const std::string& what) {
        return op == RegOp::Open && what == hl::kSectionKey ? hl::kErrorAccessDenied : hl::kErrorSuccess;
    };
    EXPECT_FALSE(command.Prune());
    EXPECT_EQ(command.Message(), History::kMarksUnreadableMessage);
    EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://a/"), Sz("url2", "http://e/")}));
    faulty->onCall = nullptr;
    removalsTo = nullptr;

    // Nor does the window's pruning forget what a load that could not read the key never saw.
    Reset();
    faulty->onCall = [](RegOp op, int, const std::string& what) {
        return op == RegOp::Open && what == hl::kTypedUrlsKey ? hl::kErrorAccessDenied : hl::kErrorSuccess;
    };
    history->FillList();
    faulty->onCall = nullptr;
    history->OnDeleteUnchecked();
    EXPECT_EQ(Sorted(Marks()), Sorted({Dword("http://a/", 1), Dword("http://b/", 1)})) << "after a load that failed";

    // A kept address's entry spelt in another case beyond A to Z: forgetting the others, the
    // program cannot tell it from another address's, and a death just after must not lose it,
    // also when whether the unchecked twin shares the kept one's mark could not be told.
    for (const bool unsure : {false, true}) {
        Raw().RegDeleteKeyA(hl::kSectionKey);
        WriteValues(Raw(), hl::kSectionKey, {Dword("http://\xc9t\xe9.example/", 1)});
        // The user unchecks its twin, which the registry files under the same entry.
        Load({Sz("url1", "http://x/"), Sz("url2", "http://\xc9T\xc9.example/"), Sz("url3", "http://\xe9t\xe9.example/")});
        SetChecks({true, false, false});
        bool forgotten = false, dead = false;
        faulty->onCall = [&](RegOp op, int, const std::string& what) {
            dead = dead || (forgotten && op == RegOp::Open && what == hl::kTypedUrlsKey);
            forgotten = forgotten || (op == RegOp::Open && what == hl::kSectionKey);
            const bool asked = unsure && op == RegOp::Query && what == "http://\xc9T\xc9.example/";
            return dead || asked ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        };
        history->OnDeleteUnchecked();
        Reset();
        history->FillList();
        EXPECT_EQ(Checks(), (std::vector<bool>{true})) << "the kept address's mark lost";
    }
}

HL_CONTRACT_SUITE(Pruning);

}  // namespace
}  // namespace hltest
