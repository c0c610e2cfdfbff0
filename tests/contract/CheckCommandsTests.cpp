// The check marks the profile keeps, from one run to the next, and what the organization keeps
// through every command that unchecks. The fuzz target plays the commands against a model of its own.
#include <algorithm>
#include <functional>

#include "contract/Contract.h"

namespace hltest {
namespace {

using CheckCommands = Contract;

TEST_P(CheckCommands, MarksComeBackAtTheNextStart) {
    // Twins share one profile entry, whose names ignore case: a kept one wins, whichever leaves
    // first; beyond A to Z, where only the registry can tell twins, through the close.
    Load({Sz("url1", "C:\\dir\\page.htm"), Sz("url2", "http://h\xe9llo.example/\xfc"), Sz("url3", ""),
          Sz("url4", "http://plain/"), Sz("", "\\\\server\\share\\"), Sz("url6", "http://bank.example/Statements-Z"),
          Sz("url7", "http://bank.example/statements-z"), Sz("url8", "http://\xc9t\xe9/"), Sz("url9", "http://\xe9t\xc9/")});
    const std::vector<std::vector<bool>> patterns = {{false, true, true, false, true, false, true, true, false},
                                                     {true, true, false, true, false, true, false, false, true},
                                                     {true, false, true, true, true, true, true, false, false}};
    const auto folded = [](const std::string& text) { return FoldedWide(FromCodePage(CodePage::Latin1, text)); };
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
                if (checks[j] && folded(rows[i].address) == folded(rows[j].address)) expected[i] = true;
        if (&checks == &patterns[1]) {
            CloseWindow();
        } else {
            history->RememberChecks();  // as when the session ends, before any row leaves
            EXPECT_EQ(Raw().GetProfileIntA(hl::kSection, "http://\xc9t\xe9/", 0), 1u) << "a kept twin's mark undone";
            EXPECT_TRUE(history->Close());
        }
        history->FillList();
        EXPECT_EQ(Checks(), expected);
    }
}

// An address the organization keeps stays checked through every command that unchecks,
// its tip says so, and a pruning keeps it, also one the user had unchecked before the policy came.
TEST_P(CheckCommands, AddressesTheOrganizationKeepsStayCheckedAndArePruningsToKeep) {
    policy.patterns = {u"HTTP://intranet.corp/*", u"*caf\u00e9.example/", u"http://?.example/a", u"",
                       std::u16string(hl::kMaxPatternLength + 1, u'*'), u"http://other.example"};
    const std::vector<RegValue> seed = {Sz("url1", "http://intranet.CORP/home"), Sz("url2", "http://CAF\xC9.example/"),
                                        Sz("url3", "http://other.example/"), Sz("url4", "http://x.example/a"),
                                        Sz("url5", "http://xy.example/a")};
    WriteValues(Raw(), hl::kTypedUrlsTimeKey, {{"url3", hl::kRegBinary, std::string(9, 's')}});  // no stamp: too long
    Load(seed);
    std::vector<bool> kept;  // top first: url5 to url1
    for (const Row& row : Rows()) kept.push_back(row.name == "url1" || row.name == "url2" || row.name == "url4");
    EXPECT_EQ(Checks(), kept) << "at load";
    for (int row = 0; row < List().GetItemCount(); ++row) binding->Select(row);
    const std::vector<bool> all(kept.size(), true);
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Uncheck All", [&] { history->OnUncheckAll(); }},
        {"Invert Checks", [&] { history->OnInvertChecks(); }},
        {"Uncheck Selected", [&] { history->CheckSelected(false); }},
        {"Space", [&] {
             List().SetCheck(2, false);
             history->SpreadCheck(2, history->SelectedRows());
         }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        SetChecks(all);
        command();
        EXPECT_EQ(Checks(), kept);
    }
    auto format = [](std::uint64_t) { return std::string("?"); };
    for (int row = 0; row < List().GetItemCount(); ++row)
        EXPECT_EQ(history->RowTip(row, format),
                  List().GetItemText(row, 0) + (kept[row] ? "\r\nAlways kept by your organization" : ""));

    // Unchecked as if the policy came after the load: the pruning asks it again.
    SetChecks(std::vector<bool>(kept.size(), false));
    history->OnDeleteUnchecked();
    EXPECT_EQ(Checks(), std::vector<bool>(3, true));
    EXPECT_EQ(TypedUrls(), (std::vector<RegValue>{Sz("url1", "http://x.example/a"), Sz("url2", "http://CAF\xC9.example/"),
                                                  Sz("url3", "http://intranet.CORP/home")}));
    EXPECT_TRUE(history->messages.empty());

    // A pattern as long as a pattern may be keeps; a longer one is ignored.
    for (const std::size_t length : {hl::kMaxPatternLength, hl::kMaxPatternLength + 1}) {
        policy.patterns = {std::u16string(length, u'*')};
        Load({Sz("url1", "http://any/" + std::to_string(length))});  // not remembered from the last load
        EXPECT_EQ(Checks(), std::vector<bool>{length == hl::kMaxPatternLength}) << length;
    }
}

}  // namespace

HL_CONTRACT_SUITE(CheckCommands);

}  // namespace hltest
