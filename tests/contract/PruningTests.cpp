// "Delete Unchecked": what goes, what stays, and what the key and profile hold after.
#include <algorithm>

#include "ScopedKey.h"
#include "UnattendedHistory.h"
#include "contract/Contract.h"

namespace hltest {
namespace {

using Pruning = Contract;

// The profile after a pruning: each kept address remembered as checked.
std::vector<RegValue> Remembered(const std::vector<Row>& kept) {
    std::vector<RegValue> entries;
    for (const Row& row : kept) entries.push_back(Dword(row.address, 1));
    return entries;
}

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
        Load(Numbered(checks.size()));
        const std::string sub = std::string(hl::kTypedUrlsKey) + "\\Sub";
        const std::vector<RegValue> inner = {Sz("inner", "http://inner/")};
        if (checks.empty()) Raw().RegDeleteKeyA(hl::kTypedUrlsKey);  // an empty list for no key at all
        else WriteValues(Raw(), sub, inner);
        Remember(Dword("http://gone.example/", 1));
        SetChecks(checks);
        const std::vector<Row> kept = Kept();
        history->OnDeleteUnchecked();

        bool exists = false;
        EXPECT_EQ(Sorted(TypedUrls(&exists)), Sorted(ExpectedKey(kept, {})));
        EXPECT_TRUE(exists);
        std::vector<Row> renamed = kept;
        for (std::size_t i = 0; i < renamed.size(); ++i) renamed[i].name = "url" + std::to_string(i + 1);
        EXPECT_EQ(Rows(), renamed);
        EXPECT_EQ(Sorted(Marks()), Sorted(Remembered(kept)))
            << "the old marks are forgotten and the kept rows remembered at once";
        EXPECT_TRUE(history->messages.empty());
        EXPECT_EQ(ReadValues(Raw(), sub), checks.empty() ? std::vector<RegValue>{} : inner) << "subkeys stay";
        Raw().RegDeleteKeyA(sub.c_str());

        // A second pruning in the same run deletes by the names the first one gave.
        if (renamed.empty()) continue;
        std::vector<bool> again(renamed.size(), true);
        again.back() = false;
        SetChecks(again);
        history->OnDeleteUnchecked();
        renamed.pop_back();
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(renamed, {}))) << "second pruning";
        EXPECT_EQ(Rows(), renamed);
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
                if (line.rfind("DeleteKey", 0) == 0) break;
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

TEST_P(Pruning, FailedSavePutsTheKeyBackAndSaysSo) {
    struct Case {
        const char* what;
        RegOp op;
        int call;  // of op from the start of the rewrite (or of the pruning), counted from 1; 0 for none
        bool saved;
        bool inScan = false;  // the call fails while the unchecked values are deleted, before the rewrite
    };
    const Case cases[] = {
        {"nothing fails", RegOp::Set, 0, true},
        {"the unchecked value will not go", RegOp::DeleteValue, 1, true, true},
        {"key cannot be read", RegOp::Open, 1, false},
        {"key cannot be read to its end", RegOp::Enum, 2, false},
        {"key cannot be made again", RegOp::Create, 2, false},
        {"an old value will not go", RegOp::DeleteValue, 2, false},
        {"first address not stored", RegOp::Set, 3, false},
        {"kept value not stored", RegOp::Set, 6, false},
    };
    // In the window, and from the command line, where the marks the last run left are what is kept.
    for (bool unattended : {false, true})
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (unattended ? ", from the command line" : ", in the window"));
        Reset();
        Load({Sz("url1", "http://one/"), {"url2", hl::kRegDword, std::string("\7\0\0\0", 4)},
              Sz("url3", "http://" + std::string(280, '3')), Sz("url4", "http://four/"), Sz("url5", "http://five/")});
        history->OnCheckAll();
        List().SetCheck(2, false);
        const std::vector<Row> kept = Kept();
        const std::vector<RegValue> unshown = Unshown(TypedUrls());
        std::unique_ptr<hl::CUnattendedHistory> command;
        if (unattended) {
            CloseWindow();  // remembers the marks, as a run in the window would have left them
            command = std::make_unique<hl::CUnattendedHistory>(*faulty, List(), shell);
            removalsTo = command.get();
        }
        std::vector<RegValue> beforeRewrite;  // the key as the rewrite found it, taken when the profile section goes
        bool rewriting = false;
        int matched = 0;
        faulty->onCall = [&](RegOp op, int, const std::string& what) {
            if (op == RegOp::DeleteKey && what == hl::kSectionKey) {
                beforeRewrite = TypedUrls();
                rewriting = true;
            }
            return rewriting != c.inScan && op == c.op && ++matched == c.call ? hl::kErrorAccessDenied
                                                                               : hl::kErrorSuccess;
        };
        std::vector<std::string> messages = history->messages;
        if (command) {
            EXPECT_EQ(command->Prune(), c.saved);
            if (!command->Message().empty()) messages.push_back(command->Message());
        } else {
            history->OnDeleteUnchecked();
            messages = history->messages;
        }
        faulty->onCall = nullptr;
        if (c.saved) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, beforeRewrite)));
        } else {
            EXPECT_EQ(messages, std::vector<std::string>{History::kSaveFailedMessage});
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(beforeRewrite));
            if (!command) {
                EXPECT_EQ(Rows(), kept) << "renamed though not saved";
            }
        }
        if (command) {
            EXPECT_EQ(List().GetItemCount(), 0) << "the rows outlived the run";
        }
        EXPECT_EQ(Sorted(Marks()), Sorted(Remembered(kept)));
        EXPECT_FALSE(JournalLeft()) << "a journal left behind though the key is as it was";
        removalsTo = nullptr;
    }
}

HL_CONTRACT_SUITE(Pruning);

}  // namespace
}  // namespace hltest
