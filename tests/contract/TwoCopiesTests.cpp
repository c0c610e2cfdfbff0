// Two copies of the program at once: while one rewrites the browser's key, the
// other waits for it or gives way, and never reads, recovers or writes beside it.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "contract/Contract.h"
#include "support/MemoryList.h"

namespace hltest {
namespace {

using TwoCopies = Contract;

// The other copy: its own window's rows, over the same registry and lock, pruning
// on a thread of its own. It stops half way through its rewrite, with the key
// holding some of its new values, until it is let go or `pauseMs` have passed.
class OtherCopy {
public:
    OtherCopy(Binding& binding, RecordingShell& shell)
        : m_registry(binding.Registry()), m_history(m_registry, m_list, shell), m_lock(binding.NewLock(kLockWaitMs)) {
        m_history.SetWriterLock(m_lock.get());
        m_list.onRemove = [this](int row) {
            hl::RowNotice notice{row};
            std::intptr_t result = 0;
            m_history.OnDeleteItemList(&notice, &result);
        };
    }
    ~OtherCopy() {
        LetGo();
        if (m_thread.joinable()) m_thread.join();
    }

    // Loads the list, unchecks `address` and starts pruning; returns once the rewrite has begun.
    bool PruneAndStopHalfWay(const std::string& address, unsigned long pauseMs) {
        m_history.FillList();
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            m_list.SetCheck(row, m_list.GetItemText(row, 0) != address);
        m_registry.onCall = [this, pauseMs](RegOp op, int, const std::string& what) {
            if (op == RegOp::Set && what == "url2") {
                std::unique_lock<std::mutex> hold(m_mutex);
                if (!m_stopped) {
                    m_stopped = true;
                    m_changed.notify_all();
                    m_changed.wait_for(hold, std::chrono::milliseconds(pauseMs), [this] { return m_letGo; });
                }
            }
            return hl::kErrorSuccess;
        };
        m_thread = std::thread([this] { m_history.OnDeleteUnchecked(); });
        std::unique_lock<std::mutex> hold(m_mutex);
        return m_changed.wait_for(hold, std::chrono::seconds(10), [this] { return m_stopped; });
    }
    void LetGo() {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_letGo = true;
        m_changed.notify_all();
    }
    void Finish() {
        LetGo();
        m_thread.join();
    }
    std::vector<Row> Rows() {
        std::vector<Row> rows;
        for (int row = 0; row < m_list.GetItemCount(); ++row)
            rows.push_back({m_list.GetItemText(row, 0), m_list.GetItemText(row, 1), m_list.GetCheck(row)});
        return rows;
    }

private:
    FaultyRegistry m_registry;
    MemoryList m_list;
    History m_history;
    std::shared_ptr<hl::IWriterLock> m_lock;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopped = false;
    bool m_letGo = false;
};

TEST_P(TwoCopies, OneWaitsForTheOthersRewriteOrGivesWayAndLeavesItWhole) {
    enum class Step { Start, Prune, Close };
    struct Case {
        const char* what;
        Step step;
        bool otherFinishesInTime;
    };
    const Case cases[] = {
        {"started during it, waits", Step::Start, true},     {"started during it, gives way", Step::Start, false},
        {"pruning during it, waits", Step::Prune, true},     {"pruning during it, gives way", Step::Prune, false},
        {"closing during it, waits", Step::Close, true},     {"closing during it, gives way", Step::Close, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        if (c.step == Step::Start) {  // this copy has not loaded yet
            Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
            WriteValues(Raw(), hl::kTypedUrlsKey, Numbered(5));
        } else {
            Load(Numbered(5));
        }
        if (c.step == Step::Prune) SetChecks({true, false, true, true, true});
        if (c.step == Step::Close) SetChecks({false, false, false, true, false});
        const std::vector<Row> rows = Rows();
        ASSERT_TRUE(c.step == Step::Start || rows[1].address != "http://site3/");

        // This copy waits long enough for the other to finish, or gives way at once.
        lock = binding->NewLock(c.otherFinishesInTime ? 5000 : 100);
        history->SetWriterLock(lock.get());
        OtherCopy other(*binding, shell);
        ASSERT_TRUE(other.PruneAndStopHalfWay("http://site3/", c.otherFinishesInTime ? 300 : 10000));
        bool closed = false;
        switch (c.step) {
        case Step::Start: history->FillList(); break;
        case Step::Prune: history->OnDeleteUnchecked(); break;
        case Step::Close: closed = history->BeginClose(); break;
        }
        other.LetGo();
        const std::vector<RegValue> profileOfOther = [&] {
            other.Finish();
            std::vector<RegValue> entries;
            for (const Row& row : other.Rows()) entries.push_back(Dword(row.address, 1));
            return entries;
        }();
        const std::vector<RegValue> keyOfOther = ExpectedKey(other.Rows(), {});

        const bool waited = c.otherFinishesInTime;
        EXPECT_EQ(history->messages, waited ? std::vector<std::string>{}
                                            : std::vector<std::string>{History::kBusyMessage});
        EXPECT_EQ(history->LockedOut(), c.step == Step::Start && !waited);
        bool journal = true;
        ReadValues(Raw(), hl::kJournalKey, &journal);
        EXPECT_FALSE(journal) << "a journal left behind";
        switch (c.step) {
        case Step::Start: {
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(keyOfOther));
            std::vector<Row> loaded;  // the key as the other left it, newest on top, its marks remembered
            for (const RegValue& value : TypedUrls()) loaded.insert(loaded.begin(), {ShownText(value.data), value.name, true});
            EXPECT_EQ(Rows(), waited ? loaded : std::vector<Row>{}) << "loaded only once the other is done";
            break;
        }
        case Step::Prune: {
            // Waiting, it prunes what its user left: the other's unchecked address stays checked here.
            std::vector<Row> kept = rows;
            if (waited) {
                kept.erase(kept.begin() + 1);
                for (std::size_t i = 0; i < kept.size(); ++i) kept[i].name = "url" + std::to_string(i + 1);
            }
            EXPECT_EQ(Sorted(TypedUrls()), waited ? Sorted(ExpectedKey(kept, {})) : Sorted(keyOfOther));
            EXPECT_EQ(Rows(), kept);
            break;
        }
        case Step::Close: {
            EXPECT_EQ(closed, waited);
            std::vector<RegValue> marks;
            for (const Row& row : rows) marks.push_back(Dword(row.address, row.checked));
            EXPECT_EQ(Sorted(ReadValues(Raw(), hl::kSectionKey)), Sorted(waited ? marks : profileOfOther))
                << "the marks of one copy, whole";
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(keyOfOther));
            history->EndClose();
            break;
        }
        }
    }
}

HL_CONTRACT_SUITE(TwoCopies);

}  // namespace
}  // namespace hltest
