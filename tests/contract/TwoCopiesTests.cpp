// Two copies at once: while one rewrites the browser's key, the other waits for
// it or gives way, and never loads, recovers or writes beside it.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "contract/Contract.h"

namespace hltest {
namespace {

using TwoCopies = Contract;

// The other copy: its own rows over the same registry and lock, pruning `address`
// on a thread of its own. It stops half way through its rewrite, the key holding
// some of its new values, until it is let go or `pauseMs` have passed.
class OtherCopy {
public:
    OtherCopy(Binding& binding, RecordingShell& shell, const std::string& address, unsigned long pauseMs)
        : m_registry(binding.Registry()), m_history(m_registry, m_list, shell), m_lock(binding.NewLock(kLockWaitMs)) {
        m_history.SetWriterLock(m_lock.get());
        m_history.HearRemovals(m_list);
        m_history.FillList();
        for (int row = 0; row < m_list.GetItemCount(); ++row) m_list.SetCheck(row, m_list.GetItemText(row, 0) != address);
        m_registry.onCall = [this, pauseMs](RegOp op, int, const std::string& what) {
            std::unique_lock<std::mutex> hold(m_mutex);
            if (op == RegOp::Set && what == "url2" && !m_stopped) {
                m_stopped = true;
                m_changed.notify_all();
                m_changed.wait_for(hold, std::chrono::milliseconds(pauseMs), [this] { return m_letGo; });
            }
            return hl::kErrorSuccess;
        };
        m_thread = std::thread([this] { m_history.OnDeleteUnchecked(); });
    }
    ~OtherCopy() { Finish(); }

    bool InItsRewrite() {
        std::unique_lock<std::mutex> hold(m_mutex);
        return m_changed.wait_for(hold, std::chrono::seconds(10), [this] { return m_stopped; });
    }
    // Lets it go and waits for the end of its pruning; the rows it kept, top first.
    std::vector<Row> Finish() {
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            m_letGo = true;
            m_changed.notify_all();
        }
        if (m_thread.joinable()) m_thread.join();
        return RowsOf(m_list);
    }

private:
    FaultyRegistry m_registry;
    hl::CRowList m_list;
    History m_history;
    std::shared_ptr<hl::IWriterLock> m_lock;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopped = false;
    bool m_letGo = false;
    std::thread m_thread;
};

TEST_P(TwoCopies, OneWaitsForTheOthersRewriteOrGivesWayAndLeavesItWhole) {
    enum Step { kStart, kPrune, kClose };
    for (const Step step : {kStart, kPrune, kClose}) {
        for (const bool waits : {true, false}) {
            SCOPED_TRACE(std::string(step == kStart ? "starting" : step == kPrune ? "pruning" : "closing") +
                         (waits ? ", waits for the other" : ", gives way"));
            Reset();
            Load(Numbered(5));
            if (step == kStart) CloseWindow();  // nothing loaded yet
            if (step == kPrune) SetChecks({true, false, true, true, true});
            if (step == kClose) SetChecks({false, false, false, true, false});
            std::vector<Row> rows = Rows();
            ASSERT_TRUE(rows.empty() || rows[1].address != "http://site3/");
            // Long enough for the other to finish, or given up at once.
            lock = binding->NewLock(waits ? 5000 : 100);
            history->SetWriterLock(lock.get());

            OtherCopy other(*binding, shell, "http://site3/", waits ? 300 : 10000);
            ASSERT_TRUE(other.InItsRewrite());
            const bool closed = step == kStart ? (history->FillList(), false)
                                : step == kPrune ? (history->OnDeleteUnchecked(), false)
                                                 : history->BeginClose();
            const std::vector<Row> othersRows = other.Finish();
            const std::vector<RegValue> othersMarks = Remembered(othersRows);

            EXPECT_EQ(history->messages, waits ? std::vector<std::string>{}
                                               : std::vector<std::string>{History::kBusyMessage});
            EXPECT_FALSE(JournalLeft()) << "a journal left behind";
            std::vector<Row> kept = othersRows;  // the key as the other left it, or as this one pruned it after
            if (step == kPrune && waits) {
                rows.erase(rows.begin() + 1);  // the other's unchecked address is still checked here
                for (std::size_t i = 0; i < rows.size(); ++i) rows[i].name = "url" + std::to_string(i + 1);
                kept = rows;
            }
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, {})));
            if (step == kStart) {
                EXPECT_EQ(history->LockedOut(), !waits);
                for (const RegValue& value : TypedUrls())
                    if (waits) rows.insert(rows.begin(), {ShownText(value.data), value.name, true});
            }
            EXPECT_EQ(Rows(), rows) << "loaded only once the other is done";
            if (step == kClose) {
                EXPECT_EQ(closed, waits);
                std::vector<RegValue> marks;
                for (const Row& row : rows) marks.push_back(Dword(row.address, row.checked));
                EXPECT_EQ(Sorted(Marks()), Sorted(waits ? marks : othersMarks))
                    << "the marks of one copy, whole";
                history->EndClose();
                bool taken = false;  // by another thread: this one may take it again however it is held
                std::thread([&] { const auto next = binding->NewLock(0); taken = next->Lock() && (next->Unlock(), true); }).join();
                EXPECT_TRUE(taken) << "the lock given back at the end of the close";
            }
        }
    }
}

// Rows that leave outside a close, as the session ends, leave the marks to the copy holding the
// lock: the first row waits for it in vain, and the others do not wait again.
TEST_P(TwoCopies, RowsThatLeaveBesideTheOtherWriteNoMark) {
    Load(Numbered(5));
    SetChecks({false, false, false, true, false});
    lock = binding->NewLock(100);
    history->SetWriterLock(lock.get());
    OtherCopy other(*binding, shell, "http://site3/", 10000);
    ASSERT_TRUE(other.InItsRewrite());
    const std::vector<RegValue> marks = Marks();
    const auto leaving = std::chrono::steady_clock::now();
    CloseWindow();
    EXPECT_LT(std::chrono::steady_clock::now() - leaving, std::chrono::milliseconds(350)) << "each row waited";
    EXPECT_EQ(Marks(), marks) << "a mark written beside the other copy";
}

}  // namespace

HL_CONTRACT_SUITE(TwoCopies);

}  // namespace hltest
