// The check marks a row leaves in the profile when it goes, and finds there again.
#include "contract/Contract.h"

namespace hltest {
namespace {

using CheckMemory = Contract;

TEST_P(CheckMemory, ClosingRemembersEveryRowsMark) {
    Load({Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url3", "http://three/")});
    SetChecks({false, true, false});
    const std::vector<Row> rows = Rows();
    CloseWindow();
    ASSERT_EQ(removals.size(), 3u);
    EXPECT_EQ(Remembered(rows[0].address), 0u);
    EXPECT_EQ(Remembered(rows[1].address), 1u);
    EXPECT_EQ(Remembered(rows[2].address), 0u);
}

TEST_P(CheckMemory, MarksComeBackAtTheNextStart) {
    Load({Sz("url1", "C:\\dir\\page.htm"), Sz("url2", "http://h\xe9llo.example/\xfc"), Sz("url3", ""),
          Sz("url4", "http://plain/"), Sz("", "\\\\server\\share\\")});
    const std::vector<std::vector<bool>> patterns = {{true, false, true, false, true},
                                                     {false, true, false, true, false}};
    for (const std::vector<bool>& checks : patterns) {
        SetChecks(checks);
        CloseWindow();
        history->FillList();
        std::vector<bool> loaded;
        for (const Row& row : Rows()) loaded.push_back(row.checked);
        EXPECT_EQ(loaded, checks);
    }
}

TEST_P(CheckMemory, SameAddressTwiceSharesOneEntryLastRemovedWins) {
    for (const std::vector<bool>& checks : {std::vector<bool>{true, false}, std::vector<bool>{false, true}}) {
        Reset();
        Load({Sz("url1", "http://same/"), Sz("url2", "http://same/")});
        SetChecks(checks);
        CloseWindow();
        ASSERT_EQ(removals.size(), 2u);
        EXPECT_EQ(Remembered("http://same/"), removals.back().checked ? 1u : 0u);
        history->FillList();
        for (const Row& row : Rows()) EXPECT_EQ(row.checked, removals.back().checked);
    }
}

HL_CONTRACT_SUITE(CheckMemory);

}  // namespace
}  // namespace hltest
