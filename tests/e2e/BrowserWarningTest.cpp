// A running browser is warned about while the window opens, after the list
// has been loaded and before the window shows; the program still works.

#include "HedgeloomTest.h"
#include "driver/FakeBrowserWindow.h"

namespace e2e {
namespace {

constexpr const char kWarning[] =
    "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

class BrowserWarningTest : public HedgeloomTest {};

TEST_F(BrowserWarningTest, WarnsAfterLoadingAndBeforeShowingAndThenWorks) {
    const std::vector<std::string> urls = {"http://one.example.com/", "http://two.example.com/", "http://three.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(urls));
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
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), (ProfileEntries{{urls[0], 1}, {urls[1], 1}, {urls[2], 1}}));
}

// From the command line nothing is changed while the browser runs (its own list
// would be written back over ours), nor for arguments the program does not
// know; each run says so in its exit status and its output, never in a window.
TEST_F(BrowserWarningTest, FromTheCommandLineChangesNothingWhileTheBrowserRunsOrTheArgumentsAreWrong) {
    struct Case {
        const char* arguments;
        bool browser;
        DWORD status;
        const char* says;  // the output's first line
    };
    const Case cases[] = {
        {"/prune", true, 3, "Internet Explorer is running: nothing was pruned."},
        {"/?", false, 0, "Hedgeloom prunes the addresses Internet Explorer remembers as typed."},
        {"/delete", false, 2, "Unknown argument: /delete"},
        {"prune", false, 2, "Unknown argument: prune"},
        {"/prune /list", false, 2, "One argument at a time, not: /prune /list"},
    };
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({"http://one.example.com/", "http://two.example.com/"}, {"http://two.example.com/"}));
    ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsTimeKey, {"url1", REG_BINARY, std::string("\x78\x56\x34\x12\x0F\x5E\xDA\x01", 8)}));
    const std::vector<RegValue> key = Export(hl::kTypedUrlsKey), times = Export(hl::kTypedUrlsTimeKey),
                                profile = Export(hl::kSectionKey);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::unique_ptr<FakeBrowserWindow> browser;
        if (c.browser) browser = std::make_unique<FakeBrowserWindow>();
        const CommandRun run = Command(c.arguments);
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), c.says);
        if (c.status != 3) {
            EXPECT_NE(run.output.find("Hedgeloom /prune"), std::string::npos) << "no usage text";
        }
        EXPECT_EQ(Export(hl::kTypedUrlsKey), key);
        EXPECT_EQ(Export(hl::kTypedUrlsTimeKey), times);
        EXPECT_EQ(Export(hl::kSectionKey), profile);
    }
}

}  // namespace
}  // namespace e2e
