// A running browser is warned about while the window opens, after the list
// has been loaded and before the window shows; the program still works.
#include "HedgeloomTest.h"
#include "driver/FakeBrowserWindow.h"
#include "driver/Input.h"
#include "driver/Wait.h"
#include "driver/WindowFacts.h"

namespace e2e {
namespace {

constexpr const char kWarning[] =
    "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

// The message of a message box: its longest static text.
std::string MessageOf(HWND box) {
    std::string message;
    for (const ControlFacts& control : ChildrenOf(box))
        if (control.className == "Static" && control.text.size() > message.size()) message = control.text;
    return message;
}

class BrowserWarningTest : public HedgeloomTest {};

TEST_F(BrowserWarningTest, WarnsAfterLoadingAndBeforeShowingAndThenWorks) {
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", "http://one.example.com/"},
                                           {"url2", "http://two.example.com/"},
                                           {"url3", "http://three.example.com/"}}));
    FakeBrowserWindow browser;
    ASSERT_NE(browser.hwnd(), nullptr);
    ASSERT_EQ(FindWindowA("IEFrame", nullptr), browser.hwnd());

    ASSERT_NO_FATAL_FAILURE(Start(/*visible=*/false));
    HWND box = Run().WaitForOtherDialog(kAppCaption);
    ASSERT_NE(box, nullptr) << "no warning came up";

    EXPECT_EQ(MessageOf(box), kWarning);
    std::vector<std::string> buttons;
    bool icon = false;
    for (const ControlFacts& control : ChildrenOf(box)) {
        if (control.className == "Button") buttons.push_back(control.text);
        icon = icon || (control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON);
    }
    EXPECT_EQ(buttons, std::vector<std::string>{"OK"});
    EXPECT_TRUE(icon) << "the warning shows no icon";
    EXPECT_EQ(Run().OtherDialogs().size(), 1u);

    // While the warning is up the list is loaded but the window not yet shown.
    HWND main = Run().MainWindow();
    EXPECT_FALSE(IsWindowVisible(main)) << "the window showed before the warning was answered";
    EXPECT_EQ(List().Count(), 3);

    PostClick(GetDlgItem(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000)) << "the warning did not go";
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 5000)) << "the window did not show";
    EXPECT_TRUE(Run().OtherDialogs().empty());

    EXPECT_EQ(List().Checks(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(IsWindowEnabled(main));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    EXPECT_EQ(List().Checks(), std::vector<bool>(3, true));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), (ProfileEntries{{"http://one.example.com/", 1},
                                         {"http://two.example.com/", 1},
                                         {"http://three.example.com/", 1}}));
}

}  // namespace
}  // namespace e2e
