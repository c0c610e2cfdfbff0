// The check marks the profile keeps, from one run to the next. The fuzz target plays the
// check, selection and open commands against a model of their own, the organization's keep-list too.
#include <algorithm>
#include <functional>

#include "contract/Contract.h"

namespace hltest {
namespace {

using CheckCommands = Contract;

TEST_P(CheckCommands, MarksComeBackAtTheNextStart) {
    // The last two share one profile entry, whose names ignore case: a kept one wins, whichever leaves first.
    Load({Sz("url1", "C:\\dir\\page.htm"), Sz("url2", "http://h\xe9llo.example/\xfc"), Sz("url3", ""),
          Sz("url4", "http://plain/"), Sz("", "\\\\server\\share\\"), Sz("url6", "http://bank.example/Statements-Z"),
          Sz("url7", "http://bank.example/statements-z")});
    const std::vector<std::vector<bool>> patterns = {{true, false, true, false, true, true, false},
                                                     {false, true, false, true, false, false, true},
                                                     {true, true, true, true, true, false, false}};
    for (const std::vector<bool>& checks : patterns) {
        // The middle one is reached through Invert Checks.
        if (&checks == &patterns[1]) {
            std::vector<bool> inverse;
            for (bool check : checks) inverse.push_back(!check);
            SetChecks(inverse);
            history->OnInvertChecks();
        } else {
            SetChecks(checks);
        }
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

}  // namespace

HL_CONTRACT_SUITE(CheckCommands);

}  // namespace hltest
