// The check buttons, and every way of closing the main window: what is
// remembered is the check marks the user left, and only once the window closes.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

class ClosingTest : public HedgeloomTest, public testing::WithParamInterface<CloseBy> {};

TEST_P(ClosingTest, RemembersTheChecksAsTheyAreWhenTheWindowCloses) {
    const std::string urls[] = {"http://alpha.example.com/", "http://beta.example.com/", "http://gamma.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", urls[0]}, {"url2", urls[1]}, {"url3", urls[2]}}));
    const std::vector<std::string> top = NamesTopDown();
    ASSERT_EQ(top.size(), 3u);
    auto urlOf = [&](const std::string& name) { return urls[name.back() - '1']; };
    // The window opens with the top row checked and the others not ...
    ASSERT_NO_FATAL_FAILURE(Remember(urlOf(top[0]), 1));
    ASSERT_NO_FATAL_FAILURE(Remember(urlOf(top[1]), 0));

    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    ASSERT_EQ(list.Checks(), (std::vector<bool>{true, false, false}));
    // ... the user tries the buttons, then leaves only the middle one checked ...
    const std::pair<int, std::vector<bool>> presses[] = {{IDC_INVERT_CHECKS, {false, true, true}},
                                                         {IDC_UNCHECK_ALL, {false, false, false}},
                                                         {IDC_CHECK_ALL, {true, true, true}}};
    // A pressed button takes the focus, and Enter would press it again: not before that close.
    for (const auto& [button, after] : presses) {
        if (GetParam() == CloseBy::EnterKey) break;
        ASSERT_NO_FATAL_FAILURE(Press(button));
        EXPECT_EQ(list.Checks(), after) << "after button " << button;
    }
    ASSERT_TRUE(list.SetChecked(0, false));
    ASSERT_TRUE(list.SetChecked(1, true));
    ASSERT_TRUE(list.SetChecked(2, false));
    ASSERT_EQ(list.Checks(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Profile(), (ProfileEntries{{urlOf(top[0]), 1}, {urlOf(top[1]), 0}})) << "remembered before closing";

    ASSERT_NO_FATAL_FAILURE(Close(GetParam()));
    EXPECT_EQ(Profile(), (ProfileEntries{{urlOf(top[0]), 0}, {urlOf(top[1]), 1}, {urlOf(top[2]), 0}}));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ClosingTest,
                         testing::Values(CloseBy::ExitButton, CloseBy::EscapeKey, CloseBy::EnterKey,
                                         CloseBy::CloseBox, CloseBy::SysCommandClose),
                         [](const testing::TestParamInfo<CloseBy>& info) { return NameOf(info.param); });

}  // namespace
}  // namespace e2e
