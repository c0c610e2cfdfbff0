// The bulk check buttons and the commands that open addresses.
#include "contract/Contract.h"

namespace hltest {
namespace {

using CheckCommands = Contract;

std::vector<RawValue> Values(std::size_t count) {
    std::vector<RawValue> values;
    for (std::size_t i = 1; i <= count; ++i)
        values.push_back(Sz("url" + std::to_string(i), "http://site" + std::to_string(i) + "/"));
    return values;
}

TEST_P(CheckCommands, SetEveryRow) {
    using Command = void (hl::CTypedUrlHistory::*)();
    struct Case {
        const char* what;
        Command command;
        std::vector<bool> before, after;
    };
    const Case cases[] = {
        {"check none", &hl::CTypedUrlHistory::OnCheckAll, {}, {}},
        {"check one", &hl::CTypedUrlHistory::OnCheckAll, {false}, {true}},
        {"check several", &hl::CTypedUrlHistory::OnCheckAll, {false, true, false}, {true, true, true}},
        {"uncheck one", &hl::CTypedUrlHistory::OnUncheckAll, {true}, {false}},
        {"uncheck several", &hl::CTypedUrlHistory::OnUncheckAll, {true, false, true}, {false, false, false}},
        {"invert none", &hl::CTypedUrlHistory::OnInvertChecks, {}, {}},
        {"invert one", &hl::CTypedUrlHistory::OnInvertChecks, {false}, {true}},
        {"invert several", &hl::CTypedUrlHistory::OnInvertChecks, {true, false, true}, {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(Values(c.before.size()));
        SetChecks(c.before);
        const int writes = faulty->Calls(RegOp::WriteProfile);
        (history.get()->*c.command)();
        std::vector<bool> checks;
        for (const Row& row : Rows()) checks.push_back(row.checked);
        EXPECT_EQ(checks, c.after);
        EXPECT_EQ(faulty->Calls(RegOp::WriteProfile), writes) << "marks reach the profile only on removal";
    }
}

TEST_P(CheckCommands, CheckAllThenCloseRemembersEveryAddress) {
    Load(Values(3));
    Remember("http://site2/", 0);
    history->OnCheckAll();
    CloseWindow();
    for (const char* address : {"http://site1/", "http://site2/", "http://site3/"})
        EXPECT_EQ(Remembered(address), 1u) << address;
}

TEST_P(CheckCommands, ClickOpensTheFirstSelectedAddressAsShown) {
    struct Case {
        const char* what;
        std::vector<int> selected;
        std::vector<int> opened;
    };
    const Case cases[] = {
        {"nothing selected", {}, {}},
        {"one selected", {1}, {1}},
        {"several selected", {2, 0}, {0}},
        {"bottom selected", {2}, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Load({Sz("url1", "http://a.example/x y"), Sz("url2", "C:\\Program Files\\page.htm"),
              Sz("url3", "www.b\xfc" "cher.example")});
        for (int row : c.selected) binding->Select(row);
        std::intptr_t result = -1;
        history->OnClickList(nullptr, &result);
        EXPECT_EQ(result, 0);
        std::vector<std::tuple<std::string, std::string, int>> expected;
        for (int row : c.opened) expected.emplace_back("open", List().GetItemText(row, 0), hl::kSwShowNormal);
        EXPECT_EQ(shell.opened, expected);
    }
}

TEST_P(CheckCommands, VisitSiteOpensTheMakersSite) {
    hl::OnVisitSite(shell);
    EXPECT_EQ(shell.opened, (std::vector<std::tuple<std::string, std::string, int>>{
                                {"open", hl::kMakerSite, hl::kSwShowNormal}}));
}

HL_CONTRACT_SUITE(CheckCommands);

}  // namespace
}  // namespace hltest
