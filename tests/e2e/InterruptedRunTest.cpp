// The session ends under the window, or the program is killed, even in the middle of a
// pruning: the marks are remembered as a close leaves them, and the browser's key never
// loses an address the user kept nor gains one, wherever the program stopped.
#include <cstdio>
#include <set>

#include "HedgeloomTest.h"

namespace e2e {
namespace {

// Enough for a pruning to last long enough to be killed at many points of it.
constexpr int kAddresses = 3000;

// What any end of a pruning must leave: every kept address once with its bytes.
testing::AssertionResult NothingKeptLostNothingAdded(const std::vector<RegValue>& before,
                                                     const std::vector<Row>& kept,
                                                     const std::vector<RegValue>& after) {
    std::set<std::string> known, mustStay;
    for (const RegValue& value : before) known.insert(value.data);
    for (const Row& row : kept) mustStay.insert(SzData(row.address));
    std::vector<std::string> found, allowed(mustStay.begin(), mustStay.end());
    for (const RegValue& value : after) {
        const bool seeded = value.type == REG_SZ && known.count(value.data);
        found.push_back(seeded ? value.data : "unexpected " + testing::PrintToString(value));
        if (seeded && !mustStay.count(value.data)) allowed.push_back(value.data);
    }
    std::sort(found.begin(), found.end());
    std::sort(allowed.begin(), allowed.end());
    return SameItems(found, allowed);
}

// Many addresses, two in three of them checked by the last run.
class ManyAddressesTest : public HedgeloomTest {
protected:
    void Seed(int count) {
        ASSERT_NO_FATAL_FAILURE(HedgeloomTest::SetUp());
        std::vector<std::string> addresses, checked;
        for (int i = 1; i <= count; ++i) {
            addresses.push_back("http://site.example/" + std::to_string(i));
            if (i % 3 != 0) checked.push_back(addresses.back());
        }
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(addresses, checked));
        m_before = Export(hl::kTypedUrlsKey);
        m_rows = ExpectedRows(m_before, Export(hl::kSectionKey));
        m_kept = CheckedOf(m_rows);
    }
    std::vector<RegValue> m_before;
    std::vector<Row> m_rows, m_kept;  // top first
};

class KilledTest : public ManyAddressesTest {};

TEST_F(KilledTest, AnywhereInAPruningLosesNoKeptAddressNorDoesTheSessionEndingAfterOne) {
    // The pruning from the command line leaves what the window's does.
    ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
    const CommandRun command = Command("/prune");
    EXPECT_EQ(command.exitCode, 0u);
    EXPECT_EQ(command.output, "");
    EXPECT_TRUE(PrunedAsItMust(m_before, m_kept, Export(hl::kTypedUrlsKey))) << " by /prune";
    EXPECT_TRUE(Remembers(m_kept));

    // A whole pruning, to time it; then the top row's mark changes and the session ends, unrefused.
    ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
    ASSERT_NO_FATAL_FAILURE(Start());
    const ULONGLONG pressed = GetTickCount64();
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    const DWORD pruningMs = static_cast<DWORD>(GetTickCount64() - pressed);
    std::printf("e2e: pruning %d addresses took %lu ms\n", kAddresses, static_cast<unsigned long>(pruningMs));
    ASSERT_TRUE(List().SetChecked(0, false));
    const std::vector<Row> rows = List().Rows();
    ASSERT_TRUE(EndSession()) << "the session did not end: a window refused it";
    ASSERT_TRUE(Run().WaitForExit()) << "the program outlived the session";
    EXPECT_TRUE(Remembers(rows));
    EXPECT_TRUE(PrunedAsItMust(m_before, m_kept, Export(hl::kTypedUrlsKey))) << " at the end of the session";

    // Killed at points spread over the pruning, and (-1) as soon as the key is being rewritten:
    // most of a pruning is its deletions, and a kill by the clock alone may never land past them.
    for (const int percent : {25, 50, 75, -1}) {
        const DWORD killMs = percent < 0 ? 0 : pruningMs * percent / 100;
        const std::string when = percent < 0 ? "as the rewrite began" : std::to_string(killMs) + " ms after Delete Unchecked";
        SCOPED_TRACE("killed " + when);
        ASSERT_NO_FATAL_FAILURE(Seed(kAddresses));
        ASSERT_NO_FATAL_FAILURE(Start());
        // Once the list answers, the program waits for the user: the click is handled at once.
        ASSERT_EQ(List().Count(), kAddresses);
        PostClick(Run().Control(IDC_DELETE_UNCHECKED));
        Sleep(killMs);
        // The rewrite has begun once it is journalled and the key holds fewer values than the kept.
        for (const ULONGLONG until = GetTickCount64() + pruningMs * 4; percent < 0 && GetTickCount64() < until;)
            if (m_registry.KeyExists(hl::kJournalKey) && m_registry.ValueCount(hl::kTypedUrlsKey) < m_kept.size()) break;
        Run().Kill();
        const std::size_t left = Export(hl::kTypedUrlsKey).size();
        // The next run comes up on what the killed one left, every kept address still checked.
        ASSERT_NO_FATAL_FAILURE(Start());
        std::set<std::string> kept;
        for (const Row& row : m_kept) kept.insert(row.address);
        std::size_t unchecked = 0;
        for (const Row& row : List().Rows(RemoteListView::kWithoutNames)) unchecked += kept.count(row.address) && !row.checked;
        EXPECT_EQ(unchecked, 0u) << "kept addresses whose marks were lost";
        ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
        const std::vector<RegValue> after = Export(hl::kTypedUrlsKey);
        EXPECT_TRUE(NothingKeptLostNothingAdded(m_before, m_kept, after));
        std::printf("e2e: killed %s: %zu values left, %zu after the next run\n", when.c_str(), left, after.size());
    }
}

// A pruning of ten thousand holds the window for seconds; the user does what users do with a hung one.
constexpr int kMany = 10000;

class BusyTest : public ManyAddressesTest {};

TEST_F(BusyTest, ARestartAtOnceClicksDuringAPruningAndASecondCopyChangeNothingTheUserDidNotAskFor) {
    ASSERT_NO_FATAL_FAILURE(Seed(kMany));
    std::vector<Row> rows = Unnamed(m_rows);

    // Every mark changed, "Exit", and a start at once.
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Press(IDC_INVERT_CHECKS));
    for (Row& row : rows) row.checked = !row.checked;
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton, true));
    EXPECT_TRUE(SameItems(List().Rows(RemoteListView::kWithoutNames), rows)) << "the next start, while the first run ends";

    // Back to two in three checked, and a pruning.
    ASSERT_NO_FATAL_FAILURE(Press(IDC_INVERT_CHECKS));
    const std::vector<Row> kept = Unnamed(m_kept);
    // The user clicks check boxes at the top while the pruning moves the rows under them.
    const RemoteListView list = List();
    std::vector<POINT> boxes(6);
    for (std::size_t row = 0; row < boxes.size(); ++row)
        ASSERT_TRUE(list.CheckBoxOnScreen(static_cast<int>(row), &boxes[row]));
    ASSERT_TRUE(BringToFront(Run().MainWindow()));
    for (const bool checked : {!m_rows[0].checked, m_rows[0].checked}) {
        ClickAt(boxes[0]);
        ASSERT_TRUE(WaitUntil([&] { return list.Checked(0) == checked; }, 3000)) << "a click on a check box while idle";
        Sleep(GetDoubleClickTime() + 100);  // two clicks, not a double click
    }
    ASSERT_TRUE(list.Selected().empty()) << "a click on a check box selects no row, so opens none";

    const ULONGLONG pressed = GetTickCount64();
    PostClick(Run().Control(IDC_DELETE_UNCHECKED));
    Sleep(300);
    for (const POINT& box : boxes) ClickAt(box);
    // And as the rewrite begins, the user starts the program a second time.
    WaitUntil([&] { return m_registry.KeyExists(hl::kJournalKey) && m_registry.ValueCount(hl::kTypedUrlsKey) < kept.size(); },
              60000, 5);
    HedgeloomRun second(g_hedgeloomExe);
    ASSERT_TRUE(second.Started());
    // The pruning ends remembering the kept rows; the clicks still queued then need time to be handled.
    ASSERT_TRUE(WaitUntil([&] {
        return !m_registry.KeyExists(hl::kJournalKey) && m_registry.ValueCount(hl::kSectionKey) == kept.size();
    }, 60000));
    std::printf("e2e: pruning %d addresses took %lu ms\n", kMany, static_cast<unsigned long>(GetTickCount64() - pressed));
    Sleep(1000);
    // The clicks reached the rows at the top, whichever moved there: all are as the pruning left them.
    ASSERT_TRUE(SameItems(list.Rows(RemoteListView::kWithoutNames), kept)) << " after clicks made during the pruning";

    // The second copy found the window open: it brought it to the front and ended, without a window of its own.
    EXPECT_TRUE(second.WaitForExit(30000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(m_closing->WaitForExit());
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_TRUE(PrunedAsItMust(m_before, kept, Export(hl::kTypedUrlsKey)));
}

}  // namespace
}  // namespace e2e
