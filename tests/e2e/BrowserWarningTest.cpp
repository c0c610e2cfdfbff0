// A running browser is warned about between the list's load and the window's showing; then the About
// box, and the user's one window: a second start brings it forward, /prune waits for its marks. From the
// command line, every refusal and failure has its own status.

#include <windows.h>
#include <sddl.h>

#include "HedgeloomTest.h"

namespace e2e {
namespace {

constexpr const char kWarning[] =
    "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

// A window of the browser's frame class, as a running Internet Explorer shows; the program only looks for it.
struct FakeBrowser {
    FakeBrowser() {
        WNDCLASSA frame{};
        frame.lpfnWndProc = DefWindowProcA;
        frame.hInstance = GetModuleHandleA(nullptr);
        frame.lpszClassName = "IEFrame";
        RegisterClassA(&frame);  // or registered by the one before
        hwnd = CreateWindowExA(0, "IEFrame", "Internet Explorer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               frame.hInstance, nullptr);
        EXPECT_EQ(FindWindowA("IEFrame", nullptr), hwnd);
    }
    ~FakeBrowser() { DestroyWindow(hwnd); }
    HWND hwnd;  // held through a unique_ptr alone, never copied
};

// A lock of the program's as its full name spells it for this user: "Global\Corvanta.Hedgeloom.<lock>.<SID>".
std::string UserLockName(const char* lock) {
    HANDLE token = nullptr;
    char user[256] = {}, *sid = nullptr;
    DWORD size = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
        GetTokenInformation(token, TokenUser, user, sizeof user, &size))
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid);
    const std::string name = std::string("Global\\Corvanta.Hedgeloom.") + lock + "." + (sid ? sid : "");
    LocalFree(sid);
    CloseHandle(token);
    return name;
}

class BrowserWarningTest : public HedgeloomTest {};

TEST_F(BrowserWarningTest, WarnsAfterLoadingThenWorksAsTheUsersOneWindowWithItsAboutBox) {
    const std::vector<std::string> urls = {"http://one.example.com/", "http://two.example.com/", "http://three.example.com/"};
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(urls));
    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    auto browser = std::make_unique<FakeBrowser>();

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
    browser.reset();

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
    ASSERT_TRUE(BringToFront(about));
    TypeKey(VK_ESCAPE);
    expectClosed();
    PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX + 0x10, 0);
    Sleep(1000);
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a dialog came up after system command 0x0020";

    // One window per user: two would save their marks over each other's, /prune would work from older ones.
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    // As the taskbar button would; a window busy starting may miss the first request.
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) || (ShowWindow(main, SW_MINIMIZE), false); }, 10000, 300));
    HedgeloomRun second(g_hedgeloomExe);
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(second.WaitForExit(20000)) << "a second window";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }, 5000)) << "the open window not brought back";
    const std::vector<std::vector<RegValue>> keys = Keys();
    const CommandRun pruning = Command("/prune");
    EXPECT_EQ(pruning.exitCode, 1u);
    EXPECT_NE(pruning.output.find("open in a window"), std::string::npos) << pruning.output;
    EXPECT_EQ(Keys(), keys);

    // Closed, its marks saved: all are kept, and remembered so.
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    const CommandRun after = Command("/prune");
    EXPECT_EQ(after.exitCode, 0u) << after.output;
    EXPECT_EQ(Export(hl::kTypedUrlsKey).size(), urls.size());
    EXPECT_TRUE(Remembers({{urls[0], "", true}, {urls[1], "", true}, {urls[2], "", true}}));
    EXPECT_EQ(Opened(), std::vector<std::string>{hl::kMakerSite});
}

// A key closed to everyone, as an administrator's mistake would leave it, until this goes.
struct DeniedKey {
    DeniedKey(const std::string& path, const char* deny) : path(path) {
        EXPECT_TRUE(Registry().CreateKey(path)) << path;
        Set(std::string("D:P(D;;") + deny + ";;;WD)(A;;KA;;;WD)");
    }
    ~DeniedKey() { Set("D:P(A;;KA;;;WD)"); }
    void Set(const std::string& sddl) const {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        HKEY key = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS) << path;
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS) << sddl;
        RegCloseKey(key);
        LocalFree(descriptor);
    }
    const std::string path;
};

// Each refusal and failure says why in its own status, never in a window, and changes nothing (a key it
// cannot save: it keeps what the user kept, no more).
TEST_F(BrowserWarningTest, FromTheCommandLineEveryRefusalAndFailureHasItsStatusAndChangesNothing) {
    enum Obstacle { kNone, kBrowser, kOtherCopy, kUnwritableKey, kUnreadablePolicy };
    const struct Case {
        const char* arguments;
        Obstacle obstacle;
        DWORD status;
        const char* says;  // the output's first line
    } cases[] = {
        {"/prune", kBrowser, 3, "Internet Explorer is running: nothing was pruned."},
        {"/?", kNone, 0, "Hedgeloom prunes the addresses Internet Explorer remembers as typed."},
        {"/pr\xC2\xADune", kNone, 2, "Unknown argument: /pr\xC2\xADune"},  // a soft hyphen inside
        {"/prune /list", kNone, 2, "One argument at a time, not: /prune /list"},
        {"/prune", kOtherCopy, 1, "Another Hedgeloom is changing Internet Explorer's typed addresses."},
        {"/prune", kUnwritableKey, 1, "The typed addresses could not be saved."},
        {"/prune", kUnreadablePolicy, 1,
         "Nothing was deleted: the addresses your organization always keeps could not be read."},
        {"/list", kUnreadablePolicy, 1,
         "Nothing was listed: the addresses your organization always keeps could not be read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments << ", obstacle " << c.obstacle);
        ASSERT_NO_FATAL_FAILURE(SetUp());
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({"http://one.example.com/", "http://two.example.com/"}, {"http://two.example.com/"}));
        ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsTimeKey, {"url1", REG_BINARY, std::string("\x78\x56\x34\x12\x0F\x5E\xDA\x01", 8)}));
        std::vector<std::vector<RegValue>> after = Keys();
        std::unique_ptr<FakeBrowser> browser;
        if (c.obstacle == kBrowser) browser = std::make_unique<FakeBrowser>();
        // The lock another copy holds while it prunes, in any of the user's sessions; it outlasts the program's wait.
        HANDLE otherCopy = c.obstacle == kOtherCopy ? CreateMutexA(nullptr, TRUE, UserLockName("Writer").c_str()) : nullptr;
        std::unique_ptr<DeniedKey> denied;
        // The stamps cannot be moved: the unchecked address is gone, the kept one is not renumbered.
        if (c.obstacle == kUnwritableKey) {
            denied = std::make_unique<DeniedKey>(hl::kTypedUrlsTimeKey, "0x6");  // set, create
            after[0] = {Sz("url2", "http://two.example.com/")};
        }
        if (c.obstacle == kUnreadablePolicy) denied = std::make_unique<DeniedKey>(hl::kKeepPolicyKey, "KR");
        const CommandRun run = Command(c.arguments);
        denied.reset();
        if (otherCopy) CloseHandle(otherCopy);
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), c.says);
        EXPECT_TRUE(c.status != 2 || run.output.find("Hedgeloom /prune") != std::string::npos) << "no usage text";
        EXPECT_EQ(Keys(), after) << "the key, its stamps and the profile";
        EXPECT_FALSE(m_registry.KeyExists(hl::kJournalKey)) << "a journal was left behind";
    }
}

}  // namespace
}  // namespace e2e
