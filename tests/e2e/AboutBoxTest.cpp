// The About box: from the system menu and from "About..", modal to the main
// window, with a site button that leaves it open.
#include <iterator>
#include <memory>

#include "E2eEnvironment.h"
#include "HedgeloomTest.h"
#include "driver/Input.h"
#include "driver/ProtocolRecorder.h"
#include "driver/Wait.h"
#include "driver/WindowFacts.h"

namespace e2e {
namespace {

constexpr DWORD kNothingShowsMs = 1000;

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;  // null: the wording is free, but there is some
    DWORD styleBits;   // bits that must be set
    DWORD typeMask;    // with typeValue: the kind of static or button
    DWORD typeValue;
};

// In tab order.
const ExpectedControl kAboutControls[] = {
    {-1, "Static", nullptr, 0, SS_TYPEMASK, SS_ICON},
    {-1, "Static", "Hedgeloom Version 1.0", SS_NOPREFIX | WS_GROUP, 0, 0},
    {-1, "Static", nullptr, WS_GROUP, 0, 0},
    {IDOK, "Button", "OK", WS_GROUP | WS_TABSTOP, BS_TYPEMASK, BS_DEFPUSHBUTTON},
    {-1, "Static", nullptr, WS_GROUP, 0, 0},
    {-1, "Static", nullptr, WS_GROUP, 0, 0},
    {kAboutVisitId, "Button", "Visit Website..", WS_TABSTOP, BS_TYPEMASK, BS_PUSHBUTTON},
};

POINT Middle(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

class AboutBoxTest : public HedgeloomTest {
protected:
    void SetUp() override {
        HedgeloomTest::SetUp();
        const E2eEnvironment& environment = E2eEnvironment::Get();
        m_recorder = std::make_unique<ProtocolRecorder>(environment.recorderExe,
                                                        environment.scratchDir + "hedgeloom-about.log",
                                                        std::vector<std::string>{"http", "https"});
        ASSERT_TRUE(m_recorder->Registered());
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", "http://one.example.com/"}, {"url2", "http://two.example.com/"}}));
    }

    // Waits for the About box and checks that it keeps the main window from input.
    HWND ExpectAboutBox() {
        HWND about = Run().WaitForOtherDialog(kAboutCaption);
        EXPECT_NE(about, nullptr) << "no About box";
        if (about) {
            EXPECT_FALSE(IsWindowEnabled(Run().MainWindow())) << "the main window still takes input";
        }
        return about;
    }
    void ExpectClosed(HWND about) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "the About box stayed";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Run().MainWindow()) != FALSE; }, 5000))
            << "the main window stayed disabled";
    }
    void ExpectNoAboutBox(const char* after) {
        Sleep(kNothingShowsMs);
        EXPECT_TRUE(Run().OtherDialogs().empty()) << "a dialog came up after " << after;
        EXPECT_TRUE(IsWindowEnabled(Run().MainWindow()));
    }
    void PostSysCommand(WPARAM command) { PostMessageA(Run().MainWindow(), WM_SYSCOMMAND, command, 0); }

    std::unique_ptr<ProtocolRecorder> m_recorder;
};

TEST_F(AboutBoxTest, ComesFromTheSystemMenuKeepsTheMainWindowFromInputAndVisitsTheSite) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = Run().MainWindow();

    PostSysCommand(kIdmAboutBox);
    HWND about = ExpectAboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(ClassOf(about), "#32770");
    const std::vector<ControlFacts> controls = ChildrenOf(about);
    ASSERT_EQ(controls.size(), std::size(kAboutControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& expected = kAboutControls[i];
        const ControlFacts& actual = controls[i];
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(static_cast<short>(actual.id), expected.id);
        EXPECT_EQ(actual.className, expected.className);
        if (expected.text) {
            EXPECT_EQ(actual.text, expected.text);
        } else if (expected.typeValue != SS_ICON) {
            EXPECT_FALSE(actual.text.empty());
        }
        EXPECT_EQ(actual.style & expected.styleBits, expected.styleBits);
        EXPECT_EQ(actual.style & expected.typeMask, expected.typeValue);
    }
    EXPECT_NE(controls[2].text.find("2003"), std::string::npos) << controls[2].text;
    EXPECT_NE(SendTimed(controls[0].hwnd, STM_GETICON), 0) << "the About box shows no icon";

    // Centred over the main window.
    RECT mainFrame{}, aboutFrame{};
    GetWindowRect(main, &mainFrame);
    GetWindowRect(about, &aboutFrame);
    EXPECT_NEAR(Middle(aboutFrame).x, Middle(mainFrame).x, 2);
    EXPECT_NEAR(Middle(aboutFrame).y, Middle(mainFrame).y, 2);

    // A user's click on "Check All" of the main window does nothing now.
    RECT checkAll{};
    GetWindowRect(Run().Control(kCheckAllId), &checkAll);
    ClickAt(Middle(checkAll));
    Sleep(300);
    EXPECT_EQ(List().Checks(), (std::vector<bool>{false, false}));
    EXPECT_TRUE(IsWindow(about));

    // "Visit Website.." opens the site and the box stays.
    PostClick(GetDlgItem(about, kAboutVisitId));
    EXPECT_EQ(m_recorder->WaitForLines(1), std::vector<std::string>{kMakerSite});
    Sleep(300);
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "\"Visit Website..\" closed the box";

    PostClick(GetDlgItem(about, IDOK));
    ExpectClosed(about);

    // Any command from 0x0010 to 0x001F is the About box's; 0x0020 is not.
    PostSysCommand(kIdmAboutBox | 0xF);
    about = ExpectAboutBox();
    ASSERT_NE(about, nullptr);
    PostKey(FocusOfThread(about), VK_ESCAPE);
    ExpectClosed(about);
    PostSysCommand(kIdmAboutBox + 0x10);
    ExpectNoAboutBox("system command 0x0020");

    // The main window works again, and closes from the system menu as usual.
    ASSERT_NO_FATAL_FAILURE(Press(kCheckAllId));
    EXPECT_EQ(List().Checks(), (std::vector<bool>{true, true}));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::SysCommandClose));
    EXPECT_EQ(m_recorder->Lines(), std::vector<std::string>{kMakerSite});
    EXPECT_EQ(Profile(), (ProfileEntries{{"http://one.example.com/", 1}, {"http://two.example.com/", 1}}));
}

TEST_F(AboutBoxTest, ComesFromTheButtonAndTheRealSystemMenuAndClosesByOkAndByEscape) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = Run().MainWindow();
    struct Showing {
        const char* how;
        bool fromMenu;  // else the "About.." button
        bool escape;    // else OK
    };
    const Showing showings[] = {{"button, then OK", false, false},
                                {"button, then Escape", false, true},
                                {"system menu, then OK", true, false}};
    for (const Showing& showing : showings) {
        SCOPED_TRACE(showing.how);
        if (showing.fromMenu) {
            // The item is the menu's last: the program appends it after the system's own.
            POINT icon{};
            ASSERT_TRUE(CaptionPoint(main, HTSYSMENU, &icon)) << "no system-menu icon on the caption";
            ASSERT_TRUE(BringToFront(main));
            ClickAt(icon);
            ASSERT_TRUE(WaitUntil([] { return FindWindowA("#32768", nullptr) != nullptr; }, 3000))
                << "the system menu did not open";
            TypeKey(VK_UP);
            TypeKey(VK_RETURN);
        } else {
            PostClick(Run().Control(kAboutButtonId));
        }
        HWND about = ExpectAboutBox();
        ASSERT_NE(about, nullptr);
        RECT checkAll{};
        GetWindowRect(Run().Control(kCheckAllId), &checkAll);
        ClickAt(Middle(checkAll));
        Sleep(200);
        EXPECT_EQ(List().Checks(), (std::vector<bool>{false, false})) << "the main window took a click";
        if (showing.escape) {
            PostKey(FocusOfThread(about), VK_ESCAPE);
        } else {
            PostClick(GetDlgItem(about, IDOK));
        }
        ExpectClosed(about);
    }

    // Moving from the system menu is the system's own: the keyboard moves the
    // window, Enter ends the move, and the window stays open.
    RECT before{}, after{};
    GetWindowRect(main, &before);
    HWND focus = FocusOfThread(main);
    ASSERT_NE(focus, nullptr);
    PostSysCommand(SC_MOVE);
    Sleep(300);
    for (int step = 0; step < 3; ++step) {
        PostKey(focus, VK_RIGHT);
        Sleep(50);
    }
    PostKey(focus, VK_RETURN);
    ExpectNoAboutBox("SC_MOVE");
    GetWindowRect(main, &after);
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main)) << "the window closed instead of moving";
    EXPECT_GT(after.left, before.left) << "the window did not move";
    EXPECT_EQ(after.top, before.top);

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_TRUE(m_recorder->Lines().empty());
    EXPECT_EQ(Profile(), (ProfileEntries{{"http://one.example.com/", 0}, {"http://two.example.com/", 0}}));
}

}  // namespace
}  // namespace e2e
