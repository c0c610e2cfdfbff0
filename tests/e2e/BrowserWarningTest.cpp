// A running browser is warned about while the window opens, after the list has been loaded and
// before the window shows; the program still works, and its About box comes from "About.." and
// from the system menu, modal to the main window, with a site button that leaves it open.

#include "HedgeloomTest.h"
#include "driver/FakeBrowserWindow.h"

namespace e2e {
namespace {

constexpr const char kWarning[] =
    "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

class BrowserWarningTest : public HedgeloomTest {};

TEST_F(BrowserWarningTest, WarnsAfterLoadingAndBeforeShowingThenWorksAndShowsItsAboutBox) {
    const std::vector<std::string> urls = {"http://one.example.com/", "http://two.example.com/", "http://three.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(urls));
    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    FakeBrowserWindow browser;
    ASSERT_NE(browser.hwnd(), nullptr);
    ASSERT_EQ(FindWindowA("IEFrame", nullptr), browser.hwnd());

    ASSERT_NO_FATAL_FAILURE(Start(/*visible=*/false));
    HWND box = Run().WaitForOtherDialog(kAppCaption);
    ASSERT_NE(box, nullptr) << "no warning came up";

    std::string message;  // the box's longest static text
    std::vector<std::string> buttons;
    bool icon = false;
    for (const ControlFacts& control : ChildrenOf(box)) {
        if (control.className == "Button") buttons.push_back(control.text);
        if (control.className == "Static" && control.text.size() > message.size()) message = control.text;
        icon = icon || (control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON);
    }
    EXPECT_EQ(message, kWarning);
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

    EXPECT_TRUE(IsWindowEnabled(main));

    HWND about = nullptr;
    auto expectAbout = [&] {  // and the main window takes no click meanwhile
        ASSERT_NE(about = Run().WaitForOtherDialog(kAboutCaption), nullptr) << "no About box";
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window still takes input";
        RECT checkAll{};
        GetWindowRect(Run().Control(IDC_CHECK_ALL), &checkAll);
        ClickAt({(checkAll.left + checkAll.right) / 2, (checkAll.top + checkAll.bottom) / 2});
        Sleep(200);
        EXPECT_EQ(List().Checks(), std::vector<bool>(urls.size(), false)) << "the main window took a click";
    };
    auto expectClosed = [&] {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "the About box stayed";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 5000)) << "the main window stayed disabled";
        EXPECT_TRUE(IsChild(main, FocusOfThread(main))) << "the focus did not come back to the main window";
    };
    PostClick(Run().Control(IDC_ABOUT));
    ASSERT_NO_FATAL_FAILURE(expectAbout());
    bool version = false;
    for (const ControlFacts& control : ChildrenOf(about)) version = version || control.text == "Hedgeloom Version 1.0";
    EXPECT_TRUE(version) << "the About box does not name the version";
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_VISIT_WEBSITE)), "Visit Website..");
    EXPECT_EQ(FocusOfThread(about), GetDlgItem(about, IDOK));
    PostClick(GetDlgItem(about, IDC_VISIT_WEBSITE));
    EXPECT_EQ(Opened(1), std::vector<std::string>{hl::kMakerSite});
    Sleep(300);
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "\"Visit Website..\" closed the box";
    PostClick(GetDlgItem(about, IDOK));
    expectClosed();

    // Any system command from 0x0010 to 0x001F is the About box's; 0x0020 is not.
    PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
    ASSERT_NO_FATAL_FAILURE(expectAbout());
    PostKey(FocusOfThread(about), VK_ESCAPE);
    expectClosed();
    PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX + 0x10, 0);
    Sleep(1000);
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a dialog came up after system command 0x0020";

    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Opened(), std::vector<std::string>{hl::kMakerSite});
    EXPECT_TRUE(Remembers({{urls[0], "", true}, {urls[1], "", true}, {urls[2], "", true}}));
}

// From the command line nothing is changed while the browser runs (its own list
// would be written back over ours), nor for arguments the program does not
// know; each run says so in its exit status and its output, never in a window.
TEST_F(BrowserWarningTest, FromTheCommandLineChangesNothingWhileTheBrowserRunsOrTheArgumentsAreWrong) {
    const struct Case {
        const char* arguments;
        bool browser;
        DWORD status;
        const char* says;  // the output's first line
    } cases[] = {
        {"/prune", true, 3, "Internet Explorer is running: nothing was pruned."},
        {"/?", false, 0, "Hedgeloom prunes the addresses Internet Explorer remembers as typed."},
        {"/delete", false, 2, "Unknown argument: /delete"},
        {"prune", false, 2, "Unknown argument: prune"},
        {"/prune /list", false, 2, "One argument at a time, not: /prune /list"},
    };
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({"http://one.example.com/", "http://two.example.com/"}, {"http://two.example.com/"}));
    ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsTimeKey, {"url1", REG_BINARY, std::string("\x78\x56\x34\x12\x0F\x5E\xDA\x01", 8)}));
    auto keys = [&] { return std::vector{Export(hl::kTypedUrlsKey), Export(hl::kTypedUrlsTimeKey), Export(hl::kSectionKey)}; };
    const std::vector<std::vector<RegValue>> before = keys();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::unique_ptr<FakeBrowserWindow> browser;
        if (c.browser) browser = std::make_unique<FakeBrowserWindow>();
        const CommandRun run = Command(c.arguments);
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), c.says);
        EXPECT_TRUE(c.status == 3 || run.output.find("Hedgeloom /prune") != std::string::npos) << "no usage text";
        EXPECT_EQ(keys(), before) << "the key, its stamps and the profile";
    }
}

}  // namespace
}  // namespace e2e
