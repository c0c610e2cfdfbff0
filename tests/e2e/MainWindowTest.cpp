// The window at 96, 120 and 144 DPI: the dialog grows with its font, the address column (pixels at 96 DPI)
// with the scale; sizes follow the template through the dialog's own base units. Then the check buttons and
// each way of closing it: the check marks the user left are remembered only once the window closes, but
// before it goes, so that a copy started again at once shows them all.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

constexpr const char kHelpText[] =
    "Want to keep a personal set of website urls in your internet explorer's address bar? Hedgelooms just "
    "does that.\nUncheck the website that you dont want to keep, and click the 'Delete Unchecked' "
    "button.\nImportant ! Close Internet Explorer if it running befor";
static_assert(sizeof kHelpText - 1 == 256, "the help text is 256 characters");

// The controls in tab order: id, class, text (null: the wording is free), BS_TYPEMASK part for buttons, tab
// stop, and x, y, width, height in dialog units as the template places it.
const struct { int id; const char* className; const char* text; DWORD kind; bool tabStop; RECT units; } kMainControls[] = {
    {-1, "Button", "", BS_GROUPBOX, false, {7, 3, 358, 37}},
    {IDC_LIST, "SysListView32", nullptr, 0, true, {7, 46, 265, 147}},
    {-1, "Static", kHelpText, 0, false, {12, 12, 347, 23}},
    {IDCANCEL, "Button", "Exit", BS_PUSHBUTTON, true, {282, 196, 76, 18}},
    {IDC_VISIT_SITE, "Button", nullptr, BS_PUSHBUTTON, true, {7, 197, 265, 18}},
    {IDC_DELETE_UNCHECKED, "Button", "Delete Unchecked", BS_PUSHBUTTON, true, {282, 46, 76, 19}},
    {IDC_ABOUT, "Button", "About..", BS_PUSHBUTTON, true, {282, 173, 76, 19}},
    {IDC_CHECK_ALL, "Button", "Check All", BS_PUSHBUTTON, true, {282, 78, 76, 14}},
    {IDC_UNCHECK_ALL, "Button", "Uncheck All", BS_PUSHBUTTON, true, {282, 95, 76, 14}},
    {IDC_INVERT_CHECKS, "Button", "Invert Checks", BS_PUSHBUTTON, true, {282, 112, 76, 14}},
};
constexpr SIZE kMainUnits = {372, 222};

constexpr int kAddresses = 25;

struct Way { CloseBy how; int dpi; };

// The scale programs started from now on see is kept, by Wine as by Windows, under the user's desktop.
class MainWindowTest : public HedgeloomTest, public testing::WithParamInterface<Way> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(HedgeloomTest::SetUp());
        ASSERT_TRUE(m_registry.Set("Control Panel\\Desktop", Dword("LogPixels", static_cast<DWORD>(GetParam().dpi))));
    }
    void TearDown() override { m_registry.Set("Control Panel\\Desktop", Dword("LogPixels", 96)); }
};

TEST_P(MainWindowTest, ShowsItsControlsInOrderAndRemembersTheChecksAsLeftAtTheCloseForAStartAtOnce) {
    const int dpi = GetParam().dpi;
    std::vector<std::string> seed;
    for (int i = 1; i <= kAddresses; ++i) seed.push_back("http://site" + std::to_string(i) + ".example.com/");
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(seed));
    const std::vector<Row> top = ExpectedRows(Export(hl::kTypedUrlsKey), {});
    // The window opens with the top row checked and the others not.
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, {Dword(top[0].address, 1), Dword(top[1].address, 0)}));
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = Run().MainWindow();

    EXPECT_EQ(TextOf(main), kAppCaption);
    // Not resizable, without a minimise or maximise box, with a taskbar button.
    const LONG_PTR kinds = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_STYLE) & kinds, static_cast<LONG_PTR>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW) << "no taskbar button";

    // Opened centred on the screen, as a template at 0, 0 without centring is.
    RECT frame{}, work{}, client{};
    GetWindowRect(main, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 2);

    // The dialog's base units, whole pixels whatever the face, from its client area as the template maps onto it.
    GetClientRect(main, &client);
    const SIZE base{(client.right * 4 + kMainUnits.cx / 2) / kMainUnits.cx, (client.bottom * 8 + kMainUnits.cy / 2) / kMainUnits.cy};
    EXPECT_EQ(MulDiv(kMainUnits.cx, base.cx, 4), client.right) << "no whole base unit maps the template's width";
    EXPECT_EQ(MulDiv(kMainUnits.cy, base.cy, 8), client.bottom) << "no whole base unit maps the template's height";
    const std::vector<ControlFacts> controls = ChildrenOf(main);
    ASSERT_EQ(controls.size(), std::size(kMainControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& expected = kMainControls[i];
        const ControlFacts& actual = controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(expected.id) + ")");
        RECT place{};  // in the dialog's client area: left, top, width, height
        GetWindowRect(actual.hwnd, &place);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
        const RECT& units = expected.units;
        EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right - place.left, place.bottom - place.top}),
                  std::vector<LONG>({MulDiv(units.left, base.cx, 4), MulDiv(units.top, base.cy, 8), MulDiv(units.right, base.cx, 4),
                                     MulDiv(units.bottom, base.cy, 8)}));
        EXPECT_EQ(static_cast<short>(actual.id), expected.id);
        EXPECT_EQ(actual.className, expected.className);
        EXPECT_EQ(actual.text, expected.text ? expected.text : actual.text);
        EXPECT_EQ(actual.className == "Button" ? actual.style & BS_TYPEMASK : 0, expected.kind);
        EXPECT_EQ(actual.style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED),
                  static_cast<DWORD>((expected.tabStop ? WS_TABSTOP : 0) | WS_VISIBLE)) << "tab stop, shown, enabled";
    }
    EXPECT_NE(Folded(controls[4].text).find("corvanta.com"), std::string::npos)
        << "the site button does not name the site: " << controls[4].text;

    // The list: report view with several rows selectable, check boxes, a link-like hot row.
    const RemoteListView list = List();
    EXPECT_EQ(controls[1].style & 0xFFFF, static_cast<DWORD>(LVS_REPORT));
    // The dialog manager may turn a control's border into a sunken edge.
    EXPECT_TRUE((controls[1].style & WS_BORDER) || (controls[1].exStyle & WS_EX_CLIENTEDGE));
    EXPECT_EQ(SendTimed(list.hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE) & 0x844, 0x844);
    EXPECT_EQ(list.Columns(), "Url " + std::to_string(MulDiv(400, dpi, 96)) + " 0;Index 3 0;");  // both left-aligned
    // The column keeps its width at every scale; a list narrower than that scrolls sideways, as on Windows.
    ASSERT_TRUE(GetClientRect(list.hwnd, &client));
    EXPECT_EQ((GetWindowLongPtrA(list.hwnd, GWL_STYLE) & WS_HSCROLL) != 0, MulDiv(400, dpi, 96) + 3 > client.right)
        << "a list " << client.right << " px wide inside";
    EXPECT_EQ(FocusOfThread(main), list.hwnd) << "the list should have the focus";

    std::vector<bool> checks(kAddresses, false);
    checks[0] = true;
    ASSERT_EQ(list.Checks(), checks);
    // The user tries the buttons, then leaves every third one checked, from the second ...
    const std::pair<int, bool> presses[] = {{IDC_INVERT_CHECKS, false}, {IDC_UNCHECK_ALL, false}, {IDC_CHECK_ALL, true}};
    // A pressed button takes the focus, and Enter would press it again: not before that close.
    for (const auto& [button, all] : presses) {
        if (GetParam().how == CloseBy::EnterKey) break;
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
    ASSERT_NO_FATAL_FAILURE(Close(GetParam().how, true));
    EXPECT_EQ(List().Checks(), checks) << "the next start, while the first run ends";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    ASSERT_EQ(m_closing->ExitCode(15000), 0u) << "259: the first run did not end";
    EXPECT_TRUE(Remembers(rows));
}

// Every way of closing, each scale once.
INSTANTIATE_TEST_SUITE_P(EveryWay, MainWindowTest,
                         testing::Values(Way{CloseBy::ExitButton, 96}, Way{CloseBy::EscapeKey, 120},
                                         Way{CloseBy::EnterKey, 144}, Way{CloseBy::AltF4, 96}),
                         [](const auto& info) { return NameOf(info.param.how) + std::to_string(info.param.dpi) + "dpi"; });

}  // namespace
}  // namespace e2e
