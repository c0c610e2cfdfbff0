// The session ends under the window, the program is killed mid-pruning, or the user does what users do
// with a window a long pruning holds: the marks are remembered as a close leaves them, and the key never
// loses an address the user kept nor gains one.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

// Many addresses, two in three of them checked by the last run.
class ManyAddressesTest : public HedgeloomTest {
protected:
    void Seed(int count) {
        ASSERT_NO_FATAL_FAILURE(HedgeloomTest::SetUp());
        std::vector<std::string> addresses, checked;
        for (int i = 1; i <= count; ++i) addresses.push_back("http://site.example/" + std::to_string(i));
        for (int i = 1; i <= count; ++i) if (i % 3 != 0) checked.push_back(addresses[i - 1]);
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(addresses, checked));
        m_before = Export(hl::kTypedUrlsKey);
        m_rows = ExpectedRows(m_before, Export(hl::kSectionKey));
        m_kept.clear();
        for (const Row& row : m_rows) if (row.checked) m_kept.push_back(row);
    }
    // The rewrite has begun once it is journalled and the key holds fewer values than the kept.
    bool RewriteBegun() const { return m_registry.KeyExists(hl::kJournalKey) && m_registry.ValueCount(hl::kTypedUrlsKey) < m_kept.size(); }
    std::vector<RegValue> m_before;
    std::vector<Row> m_rows, m_kept;  // top first
};

// Enough for a pruning to last long enough to be killed at many points of it.
constexpr int kAddresses = 3000;

TEST_F(ManyAddressesTest, KilledAnywhereInAPruningLosesNoKeptAddressNorDoesTheSessionEndingAfterOne) {
    // The pruning from the command line leaves what the window's does.
    ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
    const CommandRun command = Command("/prune");
    EXPECT_TRUE(command.exitCode == 0 && command.output.empty()) << command.exitCode << ": " << command.output;
    EXPECT_TRUE(PrunedAsItMust(m_before, m_kept, Export(hl::kTypedUrlsKey))) << " by /prune";
    EXPECT_TRUE(Remembers(m_kept));

    // A whole pruning, to time it; then the top row's mark changes and the session ends, unrefused (as
    // `wineboot --end-session` ends it, console programs such as these tests left running).
    ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
    ASSERT_NO_FATAL_FAILURE(Start());
    const ULONGLONG pressed = GetTickCount64();
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    const DWORD pruningMs = static_cast<DWORD>(GetTickCount64() - pressed);
    ASSERT_TRUE(List().SetChecked(0, false));
    std::vector<Row> rows = m_kept;
    rows[0].checked = false;
    const CommandRun ending = RunCommand("wineboot.exe", "--end-session", 20000);
    ASSERT_TRUE(ending.ended && ending.exitCode == 0) << "the session did not end: a window refused it";
    ASSERT_TRUE(Run().WaitForExit()) << "the program outlived the session";
    EXPECT_TRUE(Remembers(rows));
    EXPECT_TRUE(PrunedAsItMust(m_before, m_kept, Export(hl::kTypedUrlsKey))) << " at the end of the session";

    // Killed at points of the pruning, and (-1) as the rewrite begins, past the deletions a clock may not pass.
    for (const int percent : {25, 50, 75, -1}) {
        const DWORD killMs = percent < 0 ? 0 : pruningMs * percent / 100;
        SCOPED_TRACE(percent < 0 ? "killed as the rewrite began" : "killed " + std::to_string(killMs) + " ms after Delete Unchecked");
        ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
        ASSERT_NO_FATAL_FAILURE(Start());
        // Once the list answers, the program waits for the user: the click is handled at once.
        ASSERT_EQ(List().Count(), kAddresses);
        PostClick(Run().Control(IDC_DELETE_UNCHECKED));
        Sleep(killMs);
        if (percent < 0) WaitUntil([&] { return RewriteBegun(); }, pruningMs * 4, 0);
        Run().Kill();
        // The next run comes up on what the killed one left and closes: it remembers every kept address checked,
        // and the key holds each kept address once, with its bytes, and nothing not seeded.
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
        std::map<std::string, int> left;  // each seeded address's bytes, as often as the key holds them
        for (const RegValue& value : m_before) left[value.data] = 0;
        int unexpected = 0, lost = 0, unmarked = 0;
        for (const RegValue& value : Export(hl::kTypedUrlsKey))
            unexpected += value.type != REG_SZ || !left.count(value.data) || ++left[value.data] > 1;
        const std::vector<RegValue> marks = Export(hl::kSectionKey);
        for (const Row& row : m_kept)
            lost += !left[SzData(row.address)], unmarked += std::count(marks.begin(), marks.end(), Dword(row.address, 1)) != 1;
        EXPECT_EQ(unexpected + lost + unmarked, 0) << unexpected << " values not seeded or twice, " << lost
                                                   << " kept addresses lost, " << unmarked << " of their marks lost";
    }
}

// A pruning of ten thousand holds the window for seconds; the user does what users do with a hung one.
TEST_F(ManyAddressesTest, ARestartAtOnceClicksDuringAPruningAndASecondCopyChangeNothingTheUserDidNotAskFor) {
    ASSERT_NO_FATAL_FAILURE(Seed(10000));
    std::vector<bool> inverted;
    for (const Row& row : m_rows) inverted.push_back(!row.checked);

    // Every mark changed, "Exit", and a start at once.
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Press(IDC_INVERT_CHECKS));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton, true));
    EXPECT_TRUE(SameItems(List().Checks(), inverted)) << " in the next start, while the first run ends";

    // Back to two in three checked, and a pruning.
    ASSERT_NO_FATAL_FAILURE(Press(IDC_INVERT_CHECKS));
    const std::size_t kept = m_kept.size();
    // The user clicks check boxes at the top while the pruning moves the rows under them.
    const RemoteListView list = List();
    std::vector<POINT> boxes;
    for (int row = 0; row < 6; ++row) boxes.push_back(PointOn(row, /*checkBox=*/true));
    ASSERT_TRUE(BringToFront(Run().MainWindow()));
    for (const bool checked : {!m_rows[0].checked, m_rows[0].checked}) {
        ClickAt(boxes[0]);
        ASSERT_TRUE(WaitUntil([&] { return list.Checked(0) == checked; }, 3000)) << "a click on a check box while idle";
        Sleep(GetDoubleClickTime() + 100);  // two clicks, not a double click
    }
    ASSERT_TRUE(list.Selected().empty()) << "a click on a check box selects no row, so opens none";

    PostClick(Run().Control(IDC_DELETE_UNCHECKED));
    Sleep(300);
    for (const POINT& box : boxes) ClickAt(box);
    // And as the rewrite begins, the user starts the program a second time.
    WaitUntil([&] { return RewriteBegun(); }, 60000, 5);
    HedgeloomRun second(g_hedgeloomExe);
    // The pruning ends remembering the kept rows; the clicks still queued then need time to be handled.
    ASSERT_TRUE(WaitUntil([&] {
        return !m_registry.KeyExists(hl::kJournalKey) && m_registry.ValueCount(hl::kSectionKey) == kept;
    }, 60000));
    Sleep(1000);
    // The clicks reached the rows at the top, whichever moved there: all are as the pruning left them.
    ASSERT_TRUE(SameItems(list.Checks(), std::vector<bool>(kept, true))) << " after clicks made during the pruning";

    // The second copy found the window open: it brought it to the front and ended, without a window of its own.
    EXPECT_EQ(second.ExitCode(30000), 0u) << "259: it did not end";
    EXPECT_TRUE(m_closing->WaitForExit());
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_TRUE(PrunedAsItMust(m_before, m_kept, Export(hl::kTypedUrlsKey)));
}

}  // namespace
}  // namespace e2e
