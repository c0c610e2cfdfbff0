// The check buttons, the check marks the profile keeps, and the commands that open addresses.
#include <algorithm>

#include "contract/Contract.h"

namespace hltest {
namespace {

using CheckCommands = Contract;

TEST_P(CheckCommands, MarksComeBackAtTheNextStart) {
    // The last two share one profile entry, whose names ignore case: a kept one wins, whichever leaves first.
    Load({Sz("url1", "C:\\dir\\page.htm"), Sz("url2", "http://h\xe9llo.example/\xfc"), Sz("url3", ""),
          Sz("url4", "http://plain/"), Sz("", "\\\\server\\share\\"), Sz("url6", "http://bank.example/Statements"),
          Sz("url7", "http://bank.example/statements")});
    const std::vector<std::vector<bool>> patterns = {{true, false, true, false, true, true, false},
                                                     {false, true, false, true, false, false, true},
                                                     {true, true, true, true, true, false, false}};
    for (const std::vector<bool>& checks : patterns) {
        SetChecks(checks);
        std::vector<bool> expected = checks;
        const std::vector<Row> rows = Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = 0; j < rows.size(); ++j)
                if (checks[j] && Folded(rows[i].address) == Folded(rows[j].address)) expected[i] = true;
        CloseWindow();
        history->FillList();
        EXPECT_EQ(Checks(), expected);
    }
}

TEST_P(CheckCommands, ClickOpensTheFirstSelectedAddressAsShown) {
    const std::vector<std::vector<int>> selections = {{}, {1}, {2, 0}, {2}};
    for (const std::vector<int>& selected : selections) {
        SCOPED_TRACE(testing::PrintToString(selected));
        Reset();
        Load({Sz("url1", "http://a.example/x y"), Sz("url2", "C:\\Program Files\\page.htm"),
              Sz("url3", "www.b\xfc" "cher.example")});
        for (int row : selected) binding->Select(row);
        std::intptr_t result = -1;
        history->OnClickList(nullptr, &result);
        EXPECT_EQ(result, 0);
        Opened expected;
        const auto first = std::min_element(selected.begin(), selected.end());
        if (first != selected.end()) expected.emplace_back("open", List().GetItemText(*first, 0), hl::kSwShowNormal);
        EXPECT_EQ(shell.opened, expected);
    }
    shell.opened.clear();
    hl::OnVisitSite(shell);
    EXPECT_EQ(shell.opened, (Opened{{"open", hl::kMakerSite, hl::kSwShowNormal}}));
}

HL_CONTRACT_SUITE(CheckCommands);

}  // namespace
}  // namespace hltest
