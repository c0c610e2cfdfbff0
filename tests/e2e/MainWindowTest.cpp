// What the user sees when the program opens: the window, its controls, and the
// typed addresses with the check marks remembered from last time.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <optional>

#include "ContentsOracle.h"
#include "HedgeloomTest.h"
#include "driver/WindowFacts.h"

namespace e2e {
namespace {

constexpr const char kHelpText[] =
    "Want to keep a personal set of website urls in your internet explorer's address bar? Hedgelooms just "
    "does that.\nUncheck the website that you dont want to keep, and click the 'Delete Unchecked' "
    "button.\nImportant ! Close Internet Explorer if it running befor";
static_assert(sizeof kHelpText - 1 == 256, "the help text is 256 characters");

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;  // null: the wording is free
    DWORD kind;        // BS_TYPEMASK part for buttons, 0 otherwise
    bool tabStop;
};

// The controls in tab order.
const ExpectedControl kMainControls[] = {
    {-1, "Button", "", BS_GROUPBOX, false},
    {kListId, "SysListView32", nullptr, 0, true},
    {-1, "Static", kHelpText, 0, false},
    {kExitId, "Button", "Exit", BS_PUSHBUTTON, true},
    {kSiteButtonId, "Button", nullptr, BS_PUSHBUTTON, true},
    {kDeleteUncheckedId, "Button", "Delete Unchecked", BS_PUSHBUTTON, true},
    {kAboutButtonId, "Button", "About..", BS_PUSHBUTTON, true},
    {kCheckAllId, "Button", "Check All", BS_PUSHBUTTON, true},
    {kUncheckAllId, "Button", "Uncheck All", BS_PUSHBUTTON, true},
    {kInvertChecksId, "Button", "Invert Checks", BS_PUSHBUTTON, true},
};

RegValue Raw(const std::string& name, DWORD type, const std::string& bytes) { return {name, type, bytes}; }

struct SeededAddress {
    RegValue value;
    bool listed;
    // How the profile remembers the address, if at all.
    std::optional<RegValue> remembered;
    bool checked;  // as the program must show it
};

class MainWindowTest : public HedgeloomTest {};

TEST_F(MainWindowTest, ShowsItsControlsAndTheAddressesNewestFirstWithTheirRememberedChecks) {
    const std::string url259 = "http://www.example.com/" + std::string(259 - 23, 'a');
    const std::string url260 = "http://www.example.com/" + std::string(260 - 23, 'b');
    const std::string backslashes = "file://C:\\Pages\\Start Page.htm";
    const std::string eightBit = "http://caf\xE9.example.com/men\xFC";
    // Written in an order of their own, so the registry's order is not the seed's.
    const SeededAddress seeded[] = {
        {Sz("url2", "http://www.example.com/two"), true, Dword("http://www.example.com/two", 1), true},
        {Sz("url10", "http://news.example.org/ten"), true, Dword("http://news.example.org/ten", 0), false},
        {Sz("url1", "http://www.example.com/?a=1&b=2"), true, Dword("http://www.example.com/?a=1&b=2", 2), false},
        {Sz("URL3", "http://shop.example.net/"), true, std::nullopt, false},
        {Sz("url4", "ftp://files.example.com/pub/"), true, Sz("ftp://files.example.com/pub/", "1"), false},
        {Sz("url5", url259), true, Raw(url259, REG_BINARY, std::string("\1\0\0\0", 4)), false},
        {Sz("url6", backslashes), true, Dword(backslashes, 1), true},
        {Sz("url7", url260), false, Dword(url260, 1), false},
        {Sz(std::string(260, 'n'), "http://long.name.example/"), false, std::nullopt, false},
        {Sz("url9", eightBit), true, Dword(eightBit, 1), true},
        {Sz("url8", "http://www.example.com/eight"), true,
         Raw("http://www.example.com/eight", REG_QWORD, std::string("\1\0\0\0\0\0\0\0", 8)), false},
    };
    std::vector<RegValue> values;
    for (const SeededAddress& address : seeded) {
        values.push_back(address.value);
        if (address.remembered) {
            ASSERT_TRUE(m_registry.Set(kSectionPath, *address.remembered));
        }
    }
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(values));

    std::vector<ListRow> expectedRows;
    for (const std::string& name : NamesTopDown())
        for (const SeededAddress& address : seeded)
            if (address.value.name == name && address.listed)
                expectedRows.push_back({address.value.data.substr(0, address.value.data.size() - 1), name,
                                        address.checked});
    ASSERT_EQ(expectedRows.size(), 9u);

    const std::vector<RegValue> keyBefore = TypedUrls();
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND main = Run().MainWindow();

    std::printf("e2e: main window found %lu ms after the start\n", static_cast<unsigned long>(Run().StartToWindowMs()));
    EXPECT_EQ(TextOf(main), kAppCaption);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(main, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrA(main, GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u) << "resizable or with min/max box";
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW) << "no taskbar button";

    // Opened centred on the screen, as a template at 0, 0 without centring is.
    RECT frame{}, work{};
    GetWindowRect(main, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 2);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 2);

    const std::vector<ControlFacts> controls = ChildrenOf(main);
    ASSERT_EQ(controls.size(), std::size(kMainControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& expected = kMainControls[i];
        const ControlFacts& actual = controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(expected.id) + ")");
        EXPECT_EQ(static_cast<short>(actual.id), expected.id);
        EXPECT_EQ(actual.className, expected.className);
        if (expected.text) {
            EXPECT_EQ(actual.text, expected.text);
        }
        if (actual.className == "Button") {
            EXPECT_EQ(actual.style & BS_TYPEMASK, expected.kind);
        }
        EXPECT_EQ((actual.style & WS_TABSTOP) != 0, expected.tabStop);
        EXPECT_TRUE(actual.style & WS_VISIBLE);
        EXPECT_FALSE(actual.style & WS_DISABLED);
    }
    EXPECT_NE(Folded(controls[4].text).find("corvanta.com"), std::string::npos)
        << "the site button does not name the site: " << controls[4].text;

    // The list: report view with several rows selectable, check boxes, a link-like hot row.
    const RemoteListView list = List();
    EXPECT_EQ(controls[1].style & 0xFFFF, static_cast<DWORD>(LVS_REPORT));
    // The dialog manager may turn a control's border into a sunken edge.
    EXPECT_TRUE((controls[1].style & WS_BORDER) || (controls[1].exStyle & WS_EX_CLIENTEDGE));
    EXPECT_EQ(list.ExtendedStyle() & 0x844u, 0x844u);
    const std::vector<ListColumn> columns = list.Columns();
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].heading, "Url");
    EXPECT_EQ(columns[0].width, 400);
    EXPECT_EQ(columns[0].format, LVCFMT_LEFT);
    EXPECT_EQ(columns[1].heading, "Index");
    EXPECT_EQ(columns[1].width, 3);
    EXPECT_EQ(columns[1].format, LVCFMT_LEFT);

    EXPECT_EQ(list.Rows(), expectedRows);
    EXPECT_EQ(FocusOfThread(main), list.hwnd()) << "the list should have the focus";
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a message box came up without a browser running";

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    // Every listed address is remembered as shown, in the profile's own type;
    // the addresses that could not be listed keep what they had.
    ProfileEntries expectedProfile;
    for (const ListRow& row : expectedRows) expectedProfile[row.url] = row.checked ? 1 : 0;
    expectedProfile[url260] = 1;
    EXPECT_EQ(Profile(), expectedProfile);
    EXPECT_EQ(TypedUrls(), keyBefore) << "closing must leave the browser's key alone";
}

TEST_F(MainWindowTest, WithoutTheBrowsersKeyShowsAnEmptyListAndNoMessage) {
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_EQ(List().Count(), 0);
    EXPECT_TRUE(IsWindowEnabled(Run().MainWindow()));
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a message box came up for a missing key";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::EscapeKey));
    EXPECT_FALSE(m_registry.KeyExists(kTypedUrlsPath)) << "only pruning writes the browser's key";
    EXPECT_TRUE(Profile().empty());
}

}  // namespace
}  // namespace e2e
