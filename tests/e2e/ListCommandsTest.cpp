// The list with real mouse and key events: a click on a check box only checks; the context menu, Ctrl+A,
// Ctrl+C, Space and Delete act on the selection; the tip shows the whole address and when it was last
// typed; what the organization keeps, by the machine's policy or the user's, stays checked.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

using ListCommandsTest = HedgeloomTest;

// The program's visible top-level window of that class: its menu ("#32768"), its tip.
HWND Shown(const HedgeloomRun& run, const char* className) {
    for (HWND window : TopLevelWindowsOf(run.ProcessId()))
        if (IsWindowVisible(window) && ClassOf(window) == className) return window;
    return nullptr;
}

// Picks an item of the menu that is opening by its underlined letter, or none by Escape.
void Choose(const HedgeloomRun& run, WORD key) {
    ASSERT_TRUE(WaitUntil([&] { return Shown(run, "#32768") != nullptr; }, 5000)) << "no menu came up";
    TypeKey(key);
    ASSERT_TRUE(WaitUntil([&] { return Shown(run, "#32768") == nullptr; }, 5000)) << "the menu stayed";
}

// The clipboard's Unicode text, as any other program reads it; emptied then, if asked.
std::u16string Clipboard(bool empty = false) {
    if (!OpenClipboard(nullptr)) return u"(clipboard busy)";
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* units = data ? static_cast<const char16_t*>(GlobalLock(data)) : nullptr;
    const std::u16string text = units ? units : u"";
    if (units) GlobalUnlock(data);
    if (empty) EmptyClipboard();
    CloseClipboard();
    return text;
}

// The user's own short date and time of a FILETIME, as the tip must show it.
std::string LocalTime(unsigned long long fileTime) {
    const FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal{}, local{};
    char date[128] = "", time[128] = "";
    if (FileTimeToSystemTime(&utc, &universal)) SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof time);
    return std::string(date) + " " + time;
}

// Some addresses in other scripts, some wider than the column.
std::string AddressOf(int n) {
    return n % 7 == 1   ? "http://пример.рф/путь/" + std::to_string(n)
           : n % 7 == 4 ? "https://例え.テスト/\xF0\x9F\x98\x80/" + std::string(200, 'x') + "/" + std::to_string(n)
                        : "http://site" + std::to_string(n) + ".example/page";
}

TEST_F(ListCommandsTest, MenuAndKeysActOnTheSelectionAndAPruningTakesTheirChecks) {
    constexpr int kCount = 1000;
    std::vector<std::string> seed, checked;
    for (int n = 1; n <= kCount; ++n) seed.push_back(AddressOf(n));
    for (int n = 3; n <= kCount; n += 3) checked.push_back(AddressOf(n));
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(seed, checked));
    const std::vector<RegValue> remembered = Export(hl::kSectionKey);
    const std::vector<Row> rows = ExpectedRows(Export(hl::kTypedUrlsKey), remembered);
    std::vector<std::string> top;  // the rows' addresses
    std::vector<bool> checks, keptByPolicy(kCount);  // what the list must show, what the organization keeps
    for (const Row& row : rows) top.push_back(row.address), checks.push_back(row.checked);
    // A row wider than the column, stamped, and the row under it, not.
    int tipRow = 0, userRow = 6;
    while (top[tipRow].size() <= 200) ++tipRow;
    // The machine's policy keeps the tip's row, the user's a row of the selection, each pattern that row alone.
    while (top[userRow].rfind("http://site", 0) != 0) ++userRow;
    const std::string tipNumber = top[tipRow].substr(top[tipRow].rfind('/') + 1);
    const std::string userNumber = top[userRow].substr(11, top[userRow].find('.') - 11);
    ASSERT_TRUE(m_machine.SetAll(hl::kKeepPolicyKey, {Sz("1", "HTTPS://例え.テスト/*/" + tipNumber), Sz("2", "")}));
    ASSERT_TRUE(m_registry.SetAll(hl::kKeepPolicyKey, {{"1", REG_EXPAND_SZ, SzData("http://SITE" + userNumber + ".example/pag?")},
                                                       Dword("2", 1), Sz("3", std::string(260, '*'))}));
    keptByPolicy[tipRow] = keptByPolicy[userRow] = checks[tipRow] = checks[userRow] = true;
    auto linesOf = [&](int first, int last) {
        std::string lines;
        for (int row = first; row <= last; ++row) lines += (lines.empty() ? "" : "\r\n") + top[row];
        return Utf16(lines);
    };
    const unsigned long long time = 0x01DA5E0F12345678ull;
    ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsTimeKey, {rows[tipRow].name, REG_BINARY, std::string(reinterpret_cast<const char*>(&time), 8)}));

    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    ASSERT_NE(Clipboard(true), u"(clipboard busy)");
    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    auto checksAre = [&] { return WaitUntil([&] { return list.Checks() == checks; }, 3000); };
    auto selectionIs = [&](bool checked) {
        for (int row = 5; row < 10; ++row) checks[row] = checked || keptByPolicy[row];
        return checksAre();
    };
    ASSERT_EQ(list.Checks(), checks);
    ASSERT_TRUE(BringToFront(Run().MainWindow()));

    // The tip over a row shows its whole address, if stamped when it was last typed, and if kept who keeps it.
    for (const int row : {tipRow, tipRow + 1}) {
        const std::string expected =
            top[row] + (row == tipRow ? "\r\nLast typed " + LocalTime(time) + "\r\nAlways kept by your organization" : "");
        MoveTo(PointOn(row));
        std::string tip;
        EXPECT_TRUE(WaitUntil([&] { return (tip = TextOf(Shown(Run(), TOOLTIPS_CLASSA))) == expected; }, 5000))
            << "the tip over row " << row << " shows: " << tip;
    }

    // A click on a check box toggles it and opens nothing; a click on an address opens it.
    ClickAt(PointOn(2, /*checkBox=*/true));
    checks[2] = !checks[2] || keptByPolicy[2];
    EXPECT_TRUE(checksAre()) << "a click on row 2's check box";
    ClickAt(PointOn(tipRow, /*checkBox=*/true));
    Sleep(300);
    EXPECT_EQ(list.Checks(), checks) << "a click unchecked an address the organization keeps";
    ClickAt(PointOn(5));
    std::vector<std::string> opened{top[5]};
    EXPECT_EQ(Opened(opened.size()), opened) << "a click on row 5's address";

    // Rows 5 to 9 selected, the focus on 9.
    for (int i = 0; i < 4; ++i) TypeChord({VK_SHIFT}, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return list.Selected() == std::vector<int>{5, 6, 7, 8, 9}; }, 3000))
        << "selected: " << testing::PrintToString(list.Selected());

    ClickAt(PointOn(7), true);
    ASSERT_NO_FATAL_FAILURE(Choose(Run(), 'U'));
    EXPECT_TRUE(selectionIs(false)) << "Uncheck Selected from a right click";
    EXPECT_EQ(list.Selected(), (std::vector<int>{5, 6, 7, 8, 9})) << "a right click on a selected row keeps the selection";

    TypeChord({VK_SHIFT}, VK_F10);
    ASSERT_NO_FATAL_FAILURE(Choose(Run(), 'S'));
    EXPECT_TRUE(selectionIs(true)) << "Check Selected from Shift+F10";

    ClickAt(PointOn(8), true);
    ASSERT_NO_FATAL_FAILURE(Choose(Run(), 'O'));
    opened.push_back(top[8]);
    EXPECT_EQ(Opened(opened.size()), opened) << "Open: the row under the pointer, not the first selected";

    TypeKey(VK_APPS);
    ASSERT_NO_FATAL_FAILURE(Choose(Run(), 'C'));
    EXPECT_TRUE(WaitUntil([&] { return Clipboard() == linesOf(5, 9); }, 3000)) << "Copy Address: " << Utf8(Clipboard());

    TypeKey(VK_DELETE);
    EXPECT_TRUE(selectionIs(false)) << "Delete unchecks the selection";
    TypeKey(VK_SPACE);
    EXPECT_TRUE(selectionIs(true)) << "Space gives the selection the focused row's new check";
    EXPECT_EQ(list.Selected(), (std::vector<int>{5, 6, 7, 8, 9})) << "Space kept the selection";

    // A right click on a row outside the selection makes it the selection.
    ClickAt(PointOn(1), true);
    ASSERT_NO_FATAL_FAILURE(Choose(Run(), VK_ESCAPE));
    EXPECT_EQ(list.Selected(), std::vector<int>{1});

    TypeChord({VK_CONTROL}, 'A');
    ASSERT_TRUE(WaitUntil([&] { return list.Selected().size() == kCount; }, 3000)) << "Ctrl+A";
    TypeChord({VK_CONTROL}, 'C');
    EXPECT_TRUE(WaitUntil([&] { return Clipboard() == linesOf(0, kCount - 1); }, 3000)) << "Ctrl+C";

    EXPECT_EQ(list.Count(), kCount) << "a row went without a pruning";
    EXPECT_EQ(Opened(), opened);
    EXPECT_EQ(Export(hl::kSectionKey), remembered) << "a check was written before a row left the list";

    // The pruning takes the checks as left; the pointer is the program's own while it runs, then as before.
    Sleep(300);
    auto pointer = [] { CURSORINFO info{sizeof info, 0, nullptr, {}}; return GetCursorInfo(&info) ? info.hCursor : nullptr; };
    const HCURSOR before = pointer();
    PostClick(Run().Control(IDC_DELETE_UNCHECKED));
    bool waited = false;  // no message to the program: it would answer only once done
    EXPECT_TRUE(WaitUntil([&] { return (waited |= pointer() != before) && pointer() == before; }, 20000, 5))
        << (waited ? "the pointer did not come back" : "the pointer never changed");
    std::vector<Row> kept;
    for (std::size_t row = 0; row < top.size(); ++row)
        if (checks[row]) kept.push_back({top[row], "", true});
    EXPECT_TRUE(PrunedAsItMust({}, kept, Export(hl::kTypedUrlsKey)));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_TRUE(Remembers(kept));
}

}  // namespace
}  // namespace e2e
