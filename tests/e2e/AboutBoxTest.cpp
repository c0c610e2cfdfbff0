// The About box: from "About.." and from the system menu, modal to the main
// window, with a site button that leaves it open.

#include "HedgeloomTest.h"

namespace e2e {
namespace {

class AboutBoxTest : public HedgeloomTest {
protected:
    // Waits for the About box and checks that the main window takes no click meanwhile.
    HWND ExpectAboutBox() {
        HWND about = Run().WaitForOtherDialog(kAboutCaption);
        EXPECT_NE(about, nullptr) << "no About box";
        if (!about) return nullptr;
        EXPECT_FALSE(IsWindowEnabled(Run().MainWindow())) << "the main window still takes input";
        RECT checkAll{};
        GetWindowRect(Run().Control(IDC_CHECK_ALL), &checkAll);
        ClickAt({(checkAll.left + checkAll.right) / 2, (checkAll.top + checkAll.bottom) / 2});
        Sleep(200);
        EXPECT_EQ(List().Checks(), (std::vector<bool>{false, false})) << "the main window took a click";
        return about;
    }
    void ExpectClosed(HWND about) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "the About box stayed";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Run().MainWindow()) != FALSE; }, 5000))
            << "the main window stayed disabled";
    }
    void PostSysCommand(WPARAM command) { PostMessageA(Run().MainWindow(), WM_SYSCOMMAND, command, 0); }
};

TEST_F(AboutBoxTest, ComesFromTheButtonAndTheSystemMenuVisitsTheSiteAndClosesByOkAndEscape) {
    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({"http://one.example.com/", "http://two.example.com/"}));
    ASSERT_NO_FATAL_FAILURE(Start());

    PostClick(Run().Control(IDC_ABOUT));
    HWND about = ExpectAboutBox();
    ASSERT_NE(about, nullptr);
    bool version = false;
    for (const ControlFacts& control : ChildrenOf(about)) version = version || control.text == "Hedgeloom Version 1.0";
    EXPECT_TRUE(version) << "the About box does not name the version";
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_VISIT_WEBSITE)), "Visit Website..");
    EXPECT_EQ(FocusOfThread(about), GetDlgItem(about, IDOK));

    // "Visit Website.." opens the site and the box stays.
    PostClick(GetDlgItem(about, IDC_VISIT_WEBSITE));
    EXPECT_EQ(Opened(1), std::vector<std::string>{hl::kMakerSite});
    Sleep(300);
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "\"Visit Website..\" closed the box";
    PostClick(GetDlgItem(about, IDOK));
    ExpectClosed(about);

    // Any system command from 0x0010 to 0x001F is the About box's; 0x0020 is not.
    PostSysCommand(IDM_ABOUTBOX | 0xF);
    about = ExpectAboutBox();
    ASSERT_NE(about, nullptr);
    PostKey(FocusOfThread(about), VK_ESCAPE);
    ExpectClosed(about);
    PostSysCommand(IDM_ABOUTBOX + 0x10);
    Sleep(1000);
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a dialog came up after system command 0x0020";

    // The main window works again, and closes from the system menu as usual.
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::SysCommandClose));
    EXPECT_EQ(Opened(), std::vector<std::string>{hl::kMakerSite});
    EXPECT_EQ(Profile(), (ProfileEntries{{"http://one.example.com/", 1}, {"http://two.example.com/", 1}}));
}

}  // namespace
}  // namespace e2e
