// "Delete Unchecked": what goes, what stays, and what the key and profile hold after.
#include <algorithm>
#include <map>
#include <memory>

#include "contract/Contract.h"
#include "contract/PruningOracle.h"

namespace hltest {
namespace {

class Pruning : public Contract {
protected:
    std::vector<RawValue> Four() {
        return {Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url3", "http://three/"),
                Sz("url4", "http://four/")};
    }
    std::vector<Row> Kept(const std::vector<Row>& rows) {
        std::vector<Row> kept;
        for (const Row& row : rows)
            if (row.checked) kept.push_back(row);
        return kept;
    }
    // The key as the rewrite found it, taken when the profile section goes.
    void SnapshotAtSectionDeletion(std::function<long(RegOp, int, const std::string&)> fault = {}) {
        faulty->onCall = [this, fault](RegOp op, int n, const std::string& what) {
            if (op == RegOp::DeleteKey && what == hl::kSectionKey) beforeRewrite = TypedUrls();
            return fault ? fault(op, n, what) : hl::kErrorSuccess;
        };
    }
    std::vector<RawValue> beforeRewrite;
};

TEST_P(Pruning, DeletesUncheckedAndRenumbersTheRestFromTheTop) {
    const std::vector<std::vector<bool>> patterns = {
        {false, true, false, true}, {true, true, true, true}, {false, false, false, false},
        {true, false, false, true}, {false, true, true, false}};
    for (const std::vector<bool>& checks : patterns) {
        SCOPED_TRACE(::testing::PrintToString(checks));
        Reset();
        Load(Four());
        Remember("http://gone.example/", 1);
        SetChecks(checks);
        const std::vector<Row> rows = Rows();
        const std::vector<Row> kept = Kept(rows);
        faulty->ClearLog();
        history->OnDeleteUnchecked();

        EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, {})));
        std::vector<Row> left = kept;
        for (std::size_t i = 0; i < left.size(); ++i) left[i].name = "url" + std::to_string(i + 1);
        EXPECT_EQ(Rows(), left);
        EXPECT_FALSE(SectionExists());
        EXPECT_TRUE(history->messages.empty());

        // Each removed row wrote 0 for its address before the section went.
        const std::vector<std::string>& log = faulty->Log();
        const auto sectionGone = std::find(log.begin(), log.end(), std::string("DeleteKey ") + hl::kSectionKey + "=0");
        ASSERT_NE(sectionGone, log.end());
        for (const Row& row : rows) {
            const bool written = std::find(log.begin(), sectionGone, "WriteProfile " + row.address + ":0=0") != sectionGone;
            EXPECT_EQ(written, !row.checked) << row;
        }

        CloseWindow();
        std::vector<RawValue> profile;
        for (const Row& row : kept) profile.push_back({row.address, hl::kRegDword, std::string("\1\0\0\0", 4)});
        EXPECT_EQ(Sorted(ReadKey(hl::kSectionKey)), Sorted(profile));
    }
}

TEST_P(Pruning, EmptyListLeavesAnEmptyKey) {
    for (bool keyExists : {true, false}) {
        SCOPED_TRACE(keyExists ? "empty key" : "no key");
        Reset();
        Load({});
        if (!keyExists) Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
        Remember("http://old/", 1);
        history->OnDeleteUnchecked();
        bool exists = false;
        EXPECT_TRUE(TypedUrls(&exists).empty());
        EXPECT_TRUE(exists);
        EXPECT_FALSE(SectionExists());
        EXPECT_TRUE(history->messages.empty());
    }
}

TEST_P(Pruning, PressingTwiceLeavesTheSameKey) {
    Load(Four());
    SetChecks({true, false, true, true});
    history->OnDeleteUnchecked();
    const std::vector<RawValue> first = Sorted(TypedUrls());
    const std::vector<Row> rows = Rows();
    history->OnDeleteUnchecked();
    EXPECT_EQ(Sorted(TypedUrls()), first);
    EXPECT_EQ(Rows(), rows);
    EXPECT_TRUE(history->messages.empty());
}

TEST_P(Pruning, SecondPruningDeletesTheRightValues) {
    // After the first rewrite the too-long value is renamed to the name that the
    // top row was loaded under; the second pruning must not take it for that row.
    const RawValue big = Sz("url3", "http://" + std::string(300, 'b'));
    Load({Sz("url1", "http://a/"), Sz("url2", "http://b/"), big, Sz("url4", "http://c/")});
    history->OnCheckAll();
    history->OnDeleteUnchecked();
    ASSERT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(Rows(), {big})));

    List().SetCheck(0, false);
    const std::vector<Row> kept = Kept(Rows());
    history->OnDeleteUnchecked();
    EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, {big})));
    EXPECT_EQ(Rows().size(), kept.size());
    EXPECT_TRUE(history->messages.empty());
}

TEST_P(Pruning, KeepsValuesTheListCouldNotShow) {
    const std::string longName = "u" + std::string(299, 'n');
    Load({Sz("url1", "http://a/"), Sz("url2", "http://" + std::string(300, 'x')), Sz(longName, "http://long-name/"),
          {"blob", hl::kRegBinary, std::string(400, '\x7f')}, Sz("url5", "http://b/"),
          {"URL7", hl::kRegBinary, std::string(261, 'y')}, Sz("Other", "http://c/"),
          {"url9", hl::kRegDword, std::string("\1\0\0\0", 4)}, Sz("url10", "http://" + std::string(252, 'm')),
          Sz("url11", "http://b\xfc" "cher.example/\xe9")});
    const std::vector<RawValue> unshown = Unshown(TypedUrls());
    ASSERT_EQ(unshown.size(), 4u);
    history->OnCheckAll();
    List().SetCheck(1, false);
    const std::vector<Row> kept = Kept(Rows());
    history->OnDeleteUnchecked();
    EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, unshown)));
    EXPECT_TRUE(history->messages.empty());
}

TEST_P(Pruning, KeyWithSubkeysKeepsThemAndLosesItsOldValues) {
    Load(Four());
    SeedSubkey("Sub", {Sz("inner", "http://inner/")});
    SetChecks({true, false, true, false});
    const std::vector<Row> kept = Kept(Rows());
    history->OnDeleteUnchecked();
    EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, {})));
    EXPECT_EQ(ReadKey(std::string(hl::kTypedUrlsKey) + "\\Sub"), (std::vector<RawValue>{Sz("inner", "http://inner/")}));
    EXPECT_TRUE(history->messages.empty());
    Raw().RegDeleteKeyA((std::string(hl::kTypedUrlsKey) + "\\Sub").c_str());
}

TEST_P(Pruning, OpenThatFailedIsTriedAgainAfterALaterDeletion) {
    const std::vector<bool> checks = {false, true, false, false, true, false};
    const std::vector<std::vector<int>> plans = {{1}, {2}, {1, 2}, {1, 3}, {2, 3, 4}, {1, 2, 3, 4, 5, 6, 7},
                                                 {3, 5, 6}, {1, 4, 6, 8}, {1, 2, 4}};
    const std::vector<RawValue> values = {Sz("url1", "http://1/"), Sz("url2", "http://2/"), Sz("url3", "http://3/"),
                                          Sz("url4", "http://4/"), Sz("url5", "http://5/"), Sz("url6", "http://6/")};
    for (const std::vector<int>& plan : plans) {
        SCOPED_TRACE(::testing::PrintToString(plan));
        // The obvious scan first, on its own copy of the key.
        Reset();
        Load(values);
        SetChecks(checks);
        FaultyRegistry naive(Raw());
        for (int call : plan) naive.FailCall(RegOp::Open, call);
        NaiveScan(naive, List());
        std::vector<Row> naiveRows = Rows();
        const std::vector<std::string> naiveLog = naive.Log();

        Reset();
        Load(values);
        SetChecks(checks);
        for (int call : plan) faulty->FailCall(RegOp::Open, faulty->Calls(RegOp::Open) + call);
        faulty->ClearLog();
        history->OnDeleteUnchecked();
        std::vector<std::string> log;
        for (const std::string& line : faulty->Log()) {
            if (line.rfind("DeleteKey", 0) == 0) break;
            if (line.rfind("WriteProfile", 0) != 0) log.push_back(line);
        }
        EXPECT_EQ(log, naiveLog);
        std::vector<Row> rows = Rows();
        for (Row& row : rows) row.name.clear();
        for (Row& row : naiveRows) row.name.clear();
        EXPECT_EQ(rows, naiveRows);
    }
}

TEST_P(Pruning, FailedSavePutsTheKeyBackAndSaysSo) {
    struct Case {
        const char* what;
        RegOp op;
        const char* path;  // the key or value name the failing call is about, or any
        std::vector<int> calls;
        bool saved;
    };
    const Case cases[] = {
        {"nothing fails", RegOp::Set, "none", {}, true},
        {"key cannot be read", RegOp::Open, hl::kTypedUrlsKey, {2}, false},
        {"key cannot be read to its end", RegOp::Enum, nullptr, {2}, false},
        {"key will not go", RegOp::DeleteKey, hl::kTypedUrlsKey, {1}, true},
        {"an old value will not go", RegOp::DeleteValue, nullptr, {2}, false},
        {"key cannot be made again", RegOp::Create, hl::kTypedUrlsKey, {1}, false},
        {"key cannot be made again twice", RegOp::Create, hl::kTypedUrlsKey, {1, 2}, false},
        {"first address not stored", RegOp::Set, nullptr, {1}, false},
        {"third address not stored", RegOp::Set, nullptr, {3}, false},
        {"kept value not stored", RegOp::Set, nullptr, {4}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Load({Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url3", "http://" + std::string(280, '3')),
              Sz("url4", "http://four/"), Sz("url5", "http://five/")});
        history->OnCheckAll();
        List().SetCheck(1, false);
        const std::vector<Row> before = Rows();
        const std::vector<Row> kept = Kept(before);
        const std::vector<RawValue> unshown = Unshown(TypedUrls());
        auto matched = std::make_shared<int>(0);
        SnapshotAtSectionDeletion([c, matched](RegOp op, int, const std::string& what) {
            if (op != c.op || (c.path && what != c.path)) return hl::kErrorSuccess;
            ++*matched;
            return std::count(c.calls.begin(), c.calls.end(), *matched) ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        });
        history->OnDeleteUnchecked();
        if (c.saved) {
            EXPECT_TRUE(history->messages.empty());
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, unshown)));
        } else {
            EXPECT_EQ(history->messages, std::vector<std::string>{History::kSaveFailedMessage});
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(beforeRewrite));
            std::vector<Row> left = Rows();
            ASSERT_EQ(left.size(), kept.size());
            for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(left[i].name, kept[i].name) << "renamed though not saved";
        }
        EXPECT_FALSE(SectionExists());
    }
}

HL_CONTRACT_SUITE(Pruning);

}  // namespace
}  // namespace hltest
