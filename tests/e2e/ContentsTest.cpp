// Whatever the keys hold, in any script, of any type and size: `/list` and the window show what fits, a
// click opens an address as written, a pruning takes only what the user unchecked, every other value
// keeping its type, bytes and stamp. One launch seeds all (a run costs seconds); full exports, read as
// UTF-8 like the program, judge each, so that no code page hides a '?'. The same launch meets a running
// browser, warned about between the list's load and the window's showing, the About box, and the user's
// one window: a second start brings it forward, /prune waits for its marks.
#include <cstdio>
#include <cstring>
#include <set>

#include "HedgeloomTest.h"

namespace e2e {
namespace {

std::string Repeat(const std::string& text, std::size_t size) {
    std::string out;
    while (out.size() < size) out += text;
    return out.substr(0, size);
}

// Every type, each with a scheme of its own, around the 260-byte buffer and far past it.
const std::pair<const char*, DWORD> kTypes[] = {{"sz", REG_SZ},       {"expand", REG_EXPAND_SZ}, {"multi", REG_MULTI_SZ},
                                                {"binary", REG_BINARY}, {"dword", REG_DWORD},      {"qword", REG_QWORD},
                                                {"none", REG_NONE},     {"unknown", 0x7E57}};
const std::size_t kSizes[] = {0, 1, 259, 260, 261, 65536};

std::vector<RegValue> EveryKind() {
    std::vector<RegValue> values;
    // Half of them carry the browser's own names, which a rewrite renumbers; strings end in their zeros.
    for (const auto& [scheme, type] : kTypes)
        for (std::size_t size : kSizes) {
            const std::string address = std::string(scheme) + "://" + std::to_string(size) + ".example/";
            const std::size_t zeros = std::min<std::size_t>(size, type == REG_MULTI_SZ ? 2 : type == REG_SZ || type == REG_EXPAND_SZ);
            const std::string name = values.size() % 2 ? "url" + std::to_string(100 + values.size())
                                                       : std::string(scheme) + " of " + std::to_string(size);
            values.push_back({name, type, Repeat(address + std::string(size, 'p'), size - zeros) + std::string(zeros, '\0')});
        }
    std::string high;  // bytes that are no UTF-8 text
    for (int b = 0xA0; b <= 0xFF; ++b) high += static_cast<char>(b);
    const std::vector<RegValue> more = {
        // Without its zero: std::string keeps one just past its data, so the registry's reading does not vary.
        {"url1", REG_SZ, "http://unterminated.example/"}, {"high bytes", REG_BINARY, high},
        Sz("", "http://default.example/"), Sz("a\\b", "file://\\\\server\\share\\page.htm"),
        Sz("url4", "http://forged.example/\r\n1\turl9\thttp://evil.example/\t\r\n"),  // splits no field, forges no row
        Sz(std::string(259, 'n'), "http://name.of.259.example/"), Sz(std::string(260, 'm'), "http://name.of.260.example/"),
        // Other scripts, which the browser writes as UTF-16.
        Sz("url2", "http://пример.рф/путь?q=ёж"), Sz("url3", "http://例え.テスト/パス/索引.html"),
        Sz("url5", "https://emoji.example/\xF0\x9F\x98\x80/\xF0\x9F\xA6\x94/\xF0\x90\x80\x80\xF4\x8F\xBF\xBD"),  // and the first and last pair
        {"url6", REG_EXPAND_SZ, SzData("http://café-crème.example/über/ñandú")}, Sz("url7", "http://דוגמה.בדיקה/עמוד"),
        Sz("адрес", "http://مثال.إختبار/صفحة"),
        Sz("url8", "http://" + Repeat("ф", 252)),          // 259 bytes of UTF-8: just fits
        Sz("url9", "http://a" + Repeat("ф", 252)),         // 260: too long for the list, kept
        Sz(Repeat("и", 260), "http://long.name.example/"),  // a name of 260 bytes
    };
    values.insert(values.end(), more.begin(), more.end());
    return values;
}

// What `/list` must write of these rows, a line each: mark, name, address, when last typed by the stamp of
// their name, apart by tabs; a name or an address in one field, whatever it holds.
std::string ExpectedListing(const std::vector<Row>& rows, const std::vector<RegValue>& stamps) {
    std::string lines;
    for (const Row& row : rows) {
        FILETIME time{};
        for (const RegValue& stamp : stamps)
            if (stamp.name == row.name && stamp.data.size() == sizeof time) std::memcpy(&time, stamp.data.data(), sizeof time);
        SYSTEMTIME utc{};
        char when[32] = "";
        if ((time.dwLowDateTime || time.dwHighDateTime) && FileTimeToSystemTime(&time, &utc))
            std::snprintf(when, sizeof when, "%04u-%02u-%02uT%02u:%02u:%02uZ", utc.wYear, utc.wMonth, utc.wDay,
                          utc.wHour, utc.wMinute, utc.wSecond);
        lines += std::string(row.checked ? "1" : "0") + '\t' + ListField(row.name) + '\t' + ListField(row.address) + '\t' + when + "\r\n";
    }
    return lines;
}

using ContentsTest = HedgeloomTest;

constexpr const char kWarning[] = "Isn't IE open ?\nPlease close all instances of Internet Explorer before using this tool.";

TEST_F(ContentsTest, ListsShowsOpensAndPrunesEveryValueAsWrittenInTheUsersOneWindow) {
    const std::vector<RegValue> values = EveryKind();
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, values));
    // A stamp for every other value, pruned, kept or not shown.
    std::vector<RegValue> stamps;
    for (std::size_t i = 0; i < values.size() + 2; i += 2) {  // and one for no value
        const unsigned long long time = 0x01DA5E0F12345678ull + stamps.size() * 0x10000193ull;
        stamps.push_back({i < values.size() ? values[i].name : "url30", REG_BINARY,
                          std::string(reinterpret_cast<const char*>(&time), sizeof time)});
    }
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, stamps));
    const std::vector<RegValue> before = Export(hl::kTypedUrlsKey);
    ASSERT_EQ(before.size(), values.size()) << "the registry did not take every value";
    // Only a 32-bit 1 is a mark, of the address as shown (url121, binary of 260: 259 characters); no address, no name.
    auto shown = [&](const std::string& name) {
        for (const RegValue& value : values)
            if (value.name == name) return ShownText(value.data);
        return "not seeded: " + name;
    };
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, {Dword(shown("sz of 259"), 1), Dword(shown("url121"), 1),
                                                    Dword(shown("url3"), 1), {"", REG_SZ, SzData("1")},
                                                    {shown("url1"), REG_DWORD, std::string("\x01\0\0", 3)}}));
    const std::vector<std::vector<RegValue>> keys = Keys();
    const std::vector<Row> expected = ExpectedRows(before, keys[2]);

    // Without a window, and with the switch in another case after '-': nothing changes.
    const CommandRun listing = Command("-LIST");
    EXPECT_EQ(listing.exitCode, 0u);
    EXPECT_EQ(listing.output, ExpectedListing(expected, stamps)) << "the listing";
    EXPECT_EQ(Keys(), keys) << "listing changed the key, its stamps or the profile";

    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    Window browser = FakeBrowser();
    ASSERT_NO_FATAL_FAILURE(Start(/*visible=*/false));
    HWND box = Run().WaitForOtherDialog(kAppCaption);
    ASSERT_NE(box, nullptr) << "no warning came up";
    std::string message, buttons = "buttons:", icon = "no icon";  // the box's longest static text, ...
    for (const ControlFacts& control : ChildrenOf(box)) {
        if (control.className == "Button") buttons += control.text + ";";
        if (control.className == "Static" && control.text.size() > message.size()) message = control.text;
        if (control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON) icon = "an icon";
    }
    EXPECT_EQ(message + "|" + buttons + "|" + icon, std::string(kWarning) + "|buttons:OK;|an icon");
    EXPECT_EQ(Run().OtherDialogs().size(), 1u);
    // While the warning is up the list is loaded but the window not yet shown.
    HWND main = Run().MainWindow();
    EXPECT_FALSE(IsWindowVisible(main)) << "the window showed before the warning was answered";
    EXPECT_TRUE(SameItems(List().Rows(), expected)) << " in the list";
    PostClick(GetDlgItem(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowVisible(main); }, 5000)) << "the warning stayed, or no window";
    EXPECT_TRUE(Run().OtherDialogs().empty() && IsWindowEnabled(main)) << "another dialog, or the window takes no input";
    browser.reset();

    // A click on an address in another script hands the shell exactly that address; so does the site button.
    std::vector<std::string> opened;
    for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
        if (expected[row].name != "url2" && expected[row].name != "url5" && expected[row].name != "url7") continue;
        ClickAt(PointOn(row));
        opened.push_back(expected[row].address);
        EXPECT_EQ(Opened(opened.size()), opened);
    }
    PostClick(Run().Control(IDC_VISIT_SITE));
    opened.push_back(hl::kMakerSite);
    EXPECT_EQ(Opened(opened.size()), opened) << "the site button";

    // The About box from its button, then from any system command from 0x0010 to 0x001F (0x0020 is not its);
    // the main window takes no click meanwhile.
    for (const bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu ? "the About box from the system menu" : "the About box from its button");
        if (fromMenu) PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
        else PostClick(Run().Control(IDC_ABOUT));
        HWND about = Run().WaitForOtherDialog(kAboutCaption);
        ASSERT_NE(about, nullptr) << "no About box";
        EXPECT_FALSE(IsWindowEnabled(main)) << "the main window still takes input";
        RECT checkAll{};
        GetWindowRect(Run().Control(IDC_CHECK_ALL), &checkAll);
        ClickAt({(checkAll.left + checkAll.right) / 2, (checkAll.top + checkAll.bottom) / 2});
        Sleep(200);
        EXPECT_TRUE(SameItems(List().Rows(), expected)) << " after a click on the main window";
        if (fromMenu) {
            ASSERT_TRUE(BringToFront(about));
            TypeKey(VK_ESCAPE);
        } else {
            const std::vector<ControlFacts> controls = ChildrenOf(about);
            EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [](const ControlFacts& c) { return c.text == "Hedgeloom Version 1.0"; }))
                << "the About box does not name the version";
            EXPECT_EQ(TextOf(GetDlgItem(about, IDC_VISIT_WEBSITE)), "Visit Website..");
            EXPECT_EQ(FocusOfThread(about), GetDlgItem(about, IDOK));
            PostClick(GetDlgItem(about, IDC_VISIT_WEBSITE));
            opened.push_back(hl::kMakerSite);
            EXPECT_EQ(Opened(opened.size()), opened) << "the About box's site button";
            Sleep(300);
            EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about)) << "\"Visit Website..\" closed the box";
            PostClick(GetDlgItem(about, IDOK));
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }, 5000))
            << "the About box stayed, or the main window disabled";
        EXPECT_TRUE(IsChild(main, FocusOfThread(main))) << "the focus did not come back to the main window";
    }
    PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX + 0x10, 0);
    Sleep(1000);
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a dialog came up after system command 0x0020";

    // One window per user: two would save their marks over each other's, /prune would work from older ones.
    // Minimised as the taskbar button would; a window busy starting may miss the first request.
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) || (ShowWindow(main, SW_MINIMIZE), false); }, 10000, 300));
    HedgeloomRun second(g_hedgeloomExe);
    EXPECT_EQ(second.ExitCode(20000), 0u) << "a second window (259: it did not end)";
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main); }, 5000)) << "the open window not brought back";
    const CommandRun waiting = Command("/prune");
    EXPECT_EQ(waiting.exitCode, 1u);
    EXPECT_NE(waiting.output.find("open in a window"), std::string::npos) << waiting.output;
    EXPECT_EQ(Keys(), keys);

    // All but every third row checked; what must stay is what the user meant, not what the list reports.
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    std::vector<Row> kept;
    for (std::size_t row = 0; row < expected.size(); ++row) {
        if (row % 3 != 1) kept.push_back({expected[row].address, expected[row].name, true});
        else EXPECT_TRUE(List().SetChecked(static_cast<int>(row), false)) << "row " << row;
    }
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    EXPECT_TRUE(Run().OtherDialogs().empty()) << "a message came up though nothing failed";
    std::vector<Row> renumbered = kept;  // url1 to urlN from the top
    for (std::size_t row = 0; row < kept.size(); ++row) renumbered[row].name = "url" + std::to_string(row + 1);
    EXPECT_TRUE(SameItems(List().Rows(), renumbered)) << " in the list after pruning";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));

    // Each stamp stays with its value under the value's new name: the kept rows', then the unshown values'.
    std::vector<std::string> sources;
    for (const Row& row : kept) sources.push_back(row.name);
    for (const RegValue& value : Unshown(before, kProgramCodePage)) sources.push_back(value.name);
    const std::vector<RegValue> key = ExpectedKey(kept, before, kProgramCodePage);
    std::vector<RegValue> stamped;
    for (std::size_t i = 0; i < key.size(); ++i)
        for (const RegValue& stamp : stamps)
            if (stamp.name == sources[i]) stamped.push_back({key[i].name, stamp.type, stamp.data});
    EXPECT_TRUE(PrunedAsItMust(before, kept, Export(hl::kTypedUrlsKey)));
    EXPECT_TRUE(SameItems(Sorted(Export(hl::kTypedUrlsTimeKey)), Sorted(stamped))) << " in the stamps";
    EXPECT_TRUE(Remembers(kept));
    EXPECT_FALSE(m_registry.KeyExists(hl::kJournalKey)) << "a journal was left behind";

    // Closed, its marks saved: /prune keeps every value left and its stamp, whatever names it gives them, and
    // every mark.
    auto contents = [](const std::vector<RegValue>& values) {
        std::multiset<std::pair<unsigned long, std::string>> kept;
        for (const RegValue& value : values) kept.emplace(value.type, value.data);
        return kept;
    };
    const std::vector<std::vector<RegValue>> left = Keys();
    const CommandRun after = Command("/prune");
    EXPECT_EQ(after.exitCode, 0u) << after.output;
    EXPECT_TRUE(contents(Export(hl::kTypedUrlsKey)) == contents(left[0])) << "/prune lost or changed a value";
    EXPECT_TRUE(contents(Export(hl::kTypedUrlsTimeKey)) == contents(left[1])) << "/prune lost or changed a stamp";
    EXPECT_TRUE(Remembers(kept));
    EXPECT_EQ(Opened(), opened);
}

}  // namespace
}  // namespace e2e
