// The three check buttons, pressed in turn on real rows; what they leave is
// remembered only when the window closes.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

class CheckCommandsTest : public HedgeloomTest {};

struct Step {
    const char* what;
    int button;
    bool setRowZero;  // instead of a button, the user checks row 0
    std::vector<bool> after;
};

TEST_F(CheckCommandsTest, CheckUncheckAndInvertSetTheRowsAndTheLastStateIsRemembered) {
    const std::string urls[] = {"http://red.example.com/", "http://green.example.com/", "http://blue.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", urls[0]}, {"url2", urls[1]}, {"url3", urls[2]}}));
    const std::vector<std::string> top = NamesTopDown();
    ASSERT_EQ(top.size(), 3u);
    auto urlAt = [&](std::size_t row) { return urls[top[row].back() - '1']; };
    // Opens checked, unchecked, unchecked (remembered 1, 0 and 2).
    ASSERT_NO_FATAL_FAILURE(Remember(urlAt(0), 1));
    ASSERT_NO_FATAL_FAILURE(Remember(urlAt(1), 0));
    ASSERT_NO_FATAL_FAILURE(Remember(urlAt(2), 2));

    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(List().Checks(), (std::vector<bool>{true, false, false}));
    const Step steps[] = {
        {"Invert Checks", kInvertChecksId, false, {false, true, true}},
        {"Check All", kCheckAllId, false, {true, true, true}},
        {"Check All again", kCheckAllId, false, {true, true, true}},
        {"Uncheck All", kUncheckAllId, false, {false, false, false}},
        {"row 0 checked by hand", 0, true, {true, false, false}},
        {"Invert Checks", kInvertChecksId, false, {false, true, true}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.setRowZero) {
            ASSERT_TRUE(List().SetChecked(0, true));
        } else {
            ASSERT_NO_FATAL_FAILURE(Press(step.button));
        }
        EXPECT_EQ(List().Checks(), step.after);
    }
    // Nothing reaches the profile before the window closes.
    EXPECT_EQ(Profile(), (ProfileEntries{{urlAt(0), 1}, {urlAt(1), 0}, {urlAt(2), 2}}));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), (ProfileEntries{{urlAt(0), 0}, {urlAt(1), 1}, {urlAt(2), 1}}));
}

}  // namespace
}  // namespace e2e
