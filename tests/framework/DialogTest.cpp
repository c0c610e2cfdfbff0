// Modal dialogs on the real window manager: how they end, what their list
// reports while it is destroyed, where commands go, owners and placement.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "AfxMessageBox.h"
#include "Dialog.h"
#include "ListCtrl.h"
#include "WinApp.h"

namespace {

constexpr UINT kTemplate = 200;
constexpr int kListId = 1000;
constexpr int kActId = 1001;

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Framework Test") {}
    int m_helps = 0;
    void OnHelpAsked() { ++m_helps; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CTestApp::OnHelpAsked)
END_MESSAGE_MAP()

struct Post {
    bool toList;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(kTemplate) {}

    std::vector<Post> m_posts;              // sent to itself once it is set up
    std::function<void(CTestDialog&)> m_onAct;
    std::vector<std::string> m_removed;     // rows the list reported as going
    int m_saves = 0;
    int m_sysCommands = 0;
    HWND m_ownerAtClose = nullptr;
    BOOL m_ownerEnabledAtClose = TRUE;
    RECT m_rectAtClose = {};
    CListCtrl m_list;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        if (pDX->m_bSaveAndValidate) ++m_saves;
        DDX_Control(pDX, kListId, m_list);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.InsertColumn(0, "Text", LVCFMT_LEFT, 100);
        for (const char* text : {"first", "second", "third"}) m_list.InsertItem(m_list.GetItemCount(), text);
        for (const Post& p : m_posts)
            ::PostMessageA(p.toList ? m_list.m_hWnd : m_hWnd, p.message, p.wParam, p.lParam);
        return TRUE;
    }
    void OnCancel() override {
        m_ownerAtClose = ::GetWindow(m_hWnd, GW_OWNER);
        m_ownerEnabledAtClose = ::IsWindowEnabled(m_ownerAtClose);
        ::GetWindowRect(m_hWnd, &m_rectAtClose);
        CDialog::OnCancel();
    }
    void OnSysCommand(UINT nID, LPARAM lParam) {
        ++m_sysCommands;
        CDialog::OnSysCommand(nID, lParam);
    }
    void OnAct() {
        if (m_onAct) m_onAct(*this);
    }
    void OnDeleteItem(NMHDR* header, LRESULT* result) {
        m_removed.push_back(m_list.GetItemText(reinterpret_cast<NMLISTVIEW*>(header)->iItem, 0));
        *result = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_BN_CLICKED(kActId, &CTestDialog::OnAct)
    ON_NOTIFY(LVN_DELETEITEM, kListId, &CTestDialog::OnDeleteItem)
END_MESSAGE_MAP()

// Ends a test that would otherwise wait for ever on a dialog that does not close.
class Watchdog {
public:
    Watchdog() : m_done(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this] {
            if (::WaitForSingleObject(m_done, 20000) == WAIT_TIMEOUT) {
                std::fprintf(stderr, "a dialog did not close\n");
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        });
    }
    ~Watchdog() {
        ::SetEvent(m_done);
        m_thread.join();
        ::CloseHandle(m_done);
    }

private:
    HANDLE m_done;
    std::thread m_thread;
};

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct Ending {
    const char* what;
    Post post;
    INT_PTR result;
    int saves;
    int sysCommands;
};

void PrintTo(const Ending& value, std::ostream* os) { *os << value.what; }

class DialogEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(DialogEnding, EndsAndReportsEveryRowAsItGoes) {
    const Ending& e = GetParam();
    Watchdog watchdog;
    CTestApp app;
    CTestDialog dialog;
    dialog.m_posts = {e.post};
    EXPECT_EQ(dialog.DoModal(), e.result);
    EXPECT_EQ(dialog.m_saves, e.saves);
    EXPECT_EQ(dialog.m_sysCommands, e.sysCommands);
    std::vector<std::string> removed = dialog.m_removed;
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, DialogEnding,
    ::testing::Values(
        Ending{"Cancel", {false, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0}, IDCANCEL, 0, 0},
        Ending{"Ok", {false, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0}, IDOK, 1, 0},
        Ending{"EscapeInList", {true, WM_KEYDOWN, VK_ESCAPE, 1}, IDCANCEL, 0, 0},
        Ending{"EnterInList", {true, WM_KEYDOWN, VK_RETURN, 1}, IDOK, 1, 0},
        Ending{"CloseBox", {false, WM_SYSCOMMAND, SC_CLOSE, 0}, IDCANCEL, 0, 1}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.what); });

TEST(Dialog, CommandsItDoesNotAnswerGoToTheApplication) {
    Watchdog watchdog;
    CTestApp app;
    CTestDialog dialog;
    dialog.m_posts = {{false, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0},
                      {false, WM_COMMAND, MAKEWPARAM(0x7777, 0), 0},
                      {false, WM_COMMAND, MAKEWPARAM(kActId, BN_CLICKED), 0}};
    dialog.m_onAct = [](CTestDialog& self) {
        // F1 reaches a dialog as WM_HELP, which carries a pointer and so cannot be posted.
        HELPINFO help = {sizeof help, HELPINFO_WINDOW, kListId, self.m_list.m_hWnd, 0, {0, 0}};
        self.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        self.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(app.m_helps, 2);
}

TEST(Dialog, MissingTemplateFails) {
    CTestApp app;
    CDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

TEST(Dialog, SecondDialogBelongsToTheFirstAndIsCentredOverIt) {
    Watchdog watchdog;
    CTestApp app;
    CTestDialog outer;
    CTestDialog inner;
    RECT outerRect = {};
    HWND outerWindow = nullptr;
    inner.m_posts = {{false, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0}};
    outer.m_posts = {{false, WM_COMMAND, MAKEWPARAM(kActId, BN_CLICKED), 0}};
    outer.m_onAct = [&](CTestDialog& self) {
        outerWindow = self.m_hWnd;
        ::GetWindowRect(self.m_hWnd, &outerRect);
        inner.DoModal();
        self.EndDialog(IDCANCEL);
    };
    outer.DoModal();

    EXPECT_EQ(inner.m_ownerAtClose, outerWindow);
    EXPECT_FALSE(inner.m_ownerEnabledAtClose);
    const POINT a = Centre(outerRect), b = Centre(inner.m_rectAtClose);
    EXPECT_LE(std::abs(a.x - b.x), 1);
    EXPECT_LE(std::abs(a.y - b.y), 1);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromRect(&outerRect, MONITOR_DEFAULTTONEAREST), &monitor);
    const POINT screen = Centre(monitor.rcWork);
    EXPECT_LE(std::abs(a.x - screen.x), 1);
    EXPECT_LE(std::abs(a.y - screen.y), 1);
}

// What a message box showed, seen from inside it as it comes up.
struct BoxSeen {
    std::string caption;
    HWND owner = nullptr;
    HICON icon = nullptr;
};
BoxSeen g_box;
int g_closeWith = IDOK;

BOOL CALLBACK FindIcon(HWND child, LPARAM) {
    char cls[32] = "";
    ::GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        g_box.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK WatchBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        if (!::GetDlgItem(box, kListId) && g_box.caption.empty()) {
            char caption[128] = "";
            ::GetWindowTextA(box, caption, sizeof caption);
            g_box.caption = caption;
            g_box.owner = ::GetWindow(box, GW_OWNER);
            ::EnumChildWindows(box, FindIcon, 0);
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(g_closeWith, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct BoxStyle {
    const char* what;
    UINT type;
    LPCSTR icon;
    int closeWith;
};

void PrintTo(const BoxStyle& value, std::ostream* os) { *os << value.what; }

class MessageBoxStyle : public ::testing::TestWithParam<BoxStyle> {};

TEST_P(MessageBoxStyle, CaptionOwnerAndIcon) {
    const BoxStyle& s = GetParam();
    Watchdog watchdog;
    CTestApp app;
    CTestDialog dialog;
    app.m_pMainWnd = &dialog;
    int answer = 0;
    HWND dialogWindow = nullptr;
    g_box = BoxSeen();
    g_closeWith = s.closeWith;
    dialog.m_posts = {{false, WM_COMMAND, MAKEWPARAM(kActId, BN_CLICKED), 0}};
    dialog.m_onAct = [&](CTestDialog& self) {
        dialogWindow = self.m_hWnd;
        HHOOK hook = ::SetWindowsHookExA(WH_CBT, WatchBoxes, nullptr, ::GetCurrentThreadId());
        answer = AfxMessageBox("Text", s.type);
        ::UnhookWindowsHookEx(hook);
        self.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(answer, s.closeWith);
    EXPECT_EQ(g_box.caption, "Framework Test");
    EXPECT_EQ(g_box.owner, dialogWindow);
    EXPECT_EQ(g_box.icon, ::LoadIconA(nullptr, s.icon));
}

INSTANTIATE_TEST_SUITE_P(
    Types, MessageBoxStyle,
    ::testing::Values(BoxStyle{"PlainOkWarns", MB_OK, IDI_EXCLAMATION, IDOK},
                      BoxStyle{"ErrorKeepsItsIcon", MB_OK | MB_ICONERROR, IDI_ERROR, IDOK},
                      BoxStyle{"QuestionForYesNo", MB_YESNO, IDI_QUESTION, IDNO}),
    [](const ::testing::TestParamInfo<BoxStyle>& info) { return std::string(info.param.what); });

}  // namespace
