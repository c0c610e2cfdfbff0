// The check buttons, and every way of closing the main window: what is
// remembered is the check marks the user left, and only once the window closes,
// but before it goes: a copy started again at once shows them all.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

constexpr int kAddresses = 25;

class ClosingTest : public HedgeloomTest, public testing::WithParamInterface<CloseBy> {};

TEST_P(ClosingTest, RemembersTheChecksAsTheyAreWhenTheWindowClosesForAStartAtOnce) {
    std::vector<std::string> seed;
    for (int i = 1; i <= kAddresses; ++i) seed.push_back("http://site" + std::to_string(i) + ".example.com/");
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(seed));
    const std::vector<Row> top = ExpectedRows(Export(hl::kTypedUrlsKey), {});
    // The window opens with the top row checked and the others not ...
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, {Dword(top[0].address, 1), Dword(top[1].address, 0)}));

    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    std::vector<bool> checks(kAddresses, false);
    checks[0] = true;
    ASSERT_EQ(list.Checks(), checks);
    // ... the user tries the buttons, then leaves every third one checked, from the second ...
    const std::pair<int, bool> presses[] = {{IDC_INVERT_CHECKS, false}, {IDC_UNCHECK_ALL, false}, {IDC_CHECK_ALL, true}};
    // A pressed button takes the focus, and Enter would press it again: not before that close.
    for (const auto& [button, all] : presses) {
        if (GetParam() == CloseBy::EnterKey) break;
        ASSERT_NO_FATAL_FAILURE(Press(button));
        std::vector<bool> after(kAddresses, all);
        if (button == IDC_INVERT_CHECKS) (after = checks).flip();
        EXPECT_EQ(list.Checks(), after) << "after button " << button;
    }
    for (int row = 0; row < kAddresses; ++row) ASSERT_TRUE(list.SetChecked(row, checks[row] = row % 3 == 1));
    ASSERT_EQ(list.Checks(), checks);
    const std::vector<Row> rows = list.Rows();
    EXPECT_TRUE(Remembers({{top[0].address, "", true}, {top[1].address, "", false}})) << "remembered before closing";

    // ... and starts the program again as soon as its window has gone.
    ASSERT_NO_FATAL_FAILURE(Close(GetParam(), true));
    EXPECT_EQ(List().Checks(), checks) << "the next start, while the first run ends";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    ASSERT_TRUE(m_closing->WaitForExit());
    EXPECT_EQ(m_closing->ExitCode(), 0u);
    EXPECT_TRUE(Remembers(rows));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ClosingTest,
                         testing::Values(CloseBy::ExitButton, CloseBy::EscapeKey, CloseBy::EnterKey, CloseBy::AltF4),
                         [](const testing::TestParamInfo<CloseBy>& info) { return NameOf(info.param); });

}  // namespace
}  // namespace e2e
