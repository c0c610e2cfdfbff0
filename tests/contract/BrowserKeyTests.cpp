// The browser's keys belong to the browser: addresses in any language, a key
// rewritten while the window is open, time stamps that follow their addresses,
// and a process that dies at any registry call of a pruning.
#include <algorithm>
#include <functional>
#include <memory>
#include <map>
#include <set>

#include "ScopedKey.h"
#include "UnattendedHistory.h"
#include "contract/Contract.h"
#include "support/MemoryRegistry.h"

namespace hltest {
namespace {

using BrowserKey = Contract;

std::string Stamp(int minute) { return std::string("\x01\x02\x03\x04\x05\x06", 6) + char(minute) + '\x01'; }
WideValue WideStamp(const std::u16string& name, int minute) { return {name, hl::kRegBinary, Stamp(minute)}; }
std::u16string Url(int number) { return u"url" + FromCodePage(CodePage::Latin1, std::to_string(number)); }

// Which seeded value each listed row came from, by the name it was loaded under.
std::vector<WideValue> SourcesTopDown(const std::vector<Row>& rows, const std::vector<WideValue>& seeded) {
    std::vector<WideValue> sources;
    for (const Row& row : rows)
        for (const WideValue& value : seeded)
            if (ToCodePage(CodePage::Latin1, value.name) == row.name) sources.push_back(value);
    return sources;
}

TEST_P(BrowserKey, AddressesOutsideTheCodePageKeepTheirBytes) {
    // On this test's code page (the prefix's, or Latin-1 in memory) most of these read as '?'; two
    // of them even read alike. Pruning must still move every kept one exactly and delete the right
    // one, also when the browser has rewritten its key under the open window.
    const std::vector<WideValue> seeded = {
        WideSz(u"url1", u"http://ru.example/\u043F\u0440\u0438\u0432\u0435\u0442"),
        WideSz(u"url2", u"http://ja.example/\u65E5\u672C\u8A9E"),
        WideSz(u"url3", u"http://emoji.example/\U0001F600\U0001F30D"),
        WideSz(u"url4", u"http://caf\u00E9.example/na\u00EFve"),
        WideSz(u"url5", u"http://he.example/\u05E9\u05DC\u05D5\u05DD"),
        WideSz(u"url6", u"http://x.example/\u0416\u0436"),
        WideSz(u"url7", u"http://x.example/\u0414\u0434"),
        WideSz(u"url8", u"http://plain.example/"),
        WideSz(u"\u0430\u0434\u0440\u0435\u0441", u"http://named.example/\u0416"),
    };
    struct Case {
        const char* unchecked;
        std::vector<std::u16string> gone;  // then deleted by the browser
        std::vector<WideValue> written;    // and written
    };
    const Case cases[] = {
        {"url6", {}, {}},
        {"url7", {}, {}},
        {"url8", {}, {}},
        {"url6", {u"url6", u"url7"}, {{u"url6", seeded[6].type, seeded[6].data}}},  // a look-alike in its place
        {"url8", {u"url1", u"url3"}, {}},  // kept addresses gone: written back as they were loaded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unchecked) + (c.gone.empty() ? "" : ", rewritten"));
        Reset();
        Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
        WriteWide(Raw(), hl::kTypedUrlsKey, seeded);
        history->FillList();
        KeepAllBut(1, {c.unchecked});
        ASSERT_EQ(Rows().size(), seeded.size());
        const std::vector<Row> kept = Kept();
        if (!c.gone.empty()) {
            hl::ScopedKey key(Raw());
            ASSERT_EQ(key.Open(hl::kTypedUrlsKey), hl::kErrorSuccess);
            for (const std::u16string& name : c.gone) Raw().RegDeleteValueW(key.get(), name.c_str());
            key.Close();
            WriteWide(Raw(), hl::kTypedUrlsKey, c.written);
        }

        history->OnDeleteUnchecked();
        std::vector<WideValue> expected = SourcesTopDown(kept, seeded);
        for (std::size_t i = 0; i < expected.size(); ++i) expected[i].name = Url(static_cast<int>(i + 1));
        EXPECT_EQ(SortedWide(ReadWide(Raw(), hl::kTypedUrlsKey)), SortedWide(expected));
        EXPECT_TRUE(history->messages.empty());
    }
}

TEST_P(BrowserKey, KeyRewrittenWhileListedLosesAndDoublesNothing) {
    // The key is loaded as url1=a, url2=b, url3=x unless said otherwise; the browser then writes it
    // anew. Rows from the top: x, b, a.
    struct Case {
        const char* what;
        std::vector<RegValue> rewritten;
        const char* unchecked;  // the address whose rows the user unchecks, or ""
        std::vector<std::string> expected;  // url1, url2, ... after the pruning
        std::vector<RegValue> loaded = {Sz("url1", "a"), Sz("url2", "b"), Sz("url3", "x")};
    };
    const Case cases[] = {
        {"an address added on top, the others moved", {Sz("url1", "c"), Sz("url2", "a"), Sz("url3", "b"), Sz("url4", "x")},
         "", {"x", "b", "a", "c"}},
        {"the unchecked address moved", {Sz("url1", "x"), Sz("url2", "a"), Sz("url3", "b"), Sz("url4", "c")}, "x",
         {"b", "a", "c"}},
        {"its old name holding another address", {Sz("url1", "b"), Sz("url2", "x"), Sz("url3", "a")}, "b", {"x", "a"}},
        {"a kept address changed in place", {Sz("url1", "a"), Sz("url2", "b2"), Sz("url3", "x")}, "x", {"b", "a", "b2"}},
        {"the unchecked address changed in place", {Sz("url1", "a"), Sz("url2", "b"), Sz("url3", "x2")}, "x",
         {"b", "a", "x2"}},
        {"a kept address deleted", {Sz("url1", "x"), Sz("url2", "b")}, "b", {"x", "a"}},
        {"twice the same address", {Sz("url1", "a"), Sz("url2", "a"), Sz("url3", "b"), Sz("url4", "x")}, "a",
         {"x", "b", "a"}},
        {"the key deleted", {}, "b", {"x", "a"}},
        {"two rows of one address, both moved", {Sz("url1", "b"), Sz("url2", "a"), Sz("url3", "c"), Sz("url4", "a")},
         "a", {"b", "c"}, {Sz("url1", "a"), Sz("url2", "b"), Sz("url3", "a")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Load(c.loaded);
        KeepAllBut(0, {c.unchecked});
        Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
        if (!c.rewritten.empty()) WriteValues(Raw(), hl::kTypedUrlsKey, c.rewritten);
        history->OnDeleteUnchecked();
        std::vector<RegValue> expected;
        for (const std::string& text : c.expected) expected.push_back(Sz("url" + std::to_string(expected.size() + 1), text));
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(expected));
        EXPECT_TRUE(history->messages.empty());
    }
}

// The typed-address key with values the list cannot show (one of them named url<number> in
// capitals, which counts as the browser's numbering all the same), and the stamps the browser
// keeps beside it, their names not always spelt as their addresses' are.
struct Seed {
    std::vector<RegValue> urls = {
        Sz("url1", "http://one/"), Sz("URL2", "http://" + std::string(300, '2')), Sz("url3", "http://three/"),
        {"blob", hl::kRegBinary, std::string(400, 'b')}, Sz("url4", "http://four/"), Sz("url5", "http://five/")};
    std::vector<WideValue> stamps = {WideStamp(u"url1", 1), WideStamp(u"url2", 2), WideStamp(u"url3", 3),
                                     WideStamp(u"blob", 4), WideStamp(u"url5", 5), WideStamp(u"url9", 9)};
};

TEST_P(BrowserKey, AFailedSavePutsBothKeysBackSaysSoAndStampsFollowTheirAddresses) {
    // A failure while the key or the stamps are read stops the rewrite before it starts; one
    // while they move puts both back, or leaves the journal to, so that no address gets another's
    // stamp. In the window, and from the command line, where the marks the last run left are kept.
    struct Case {
        const char* what;
        RegOp op;
        int call;  // of op, counted from 1; 0 for none, -1 for every one
        int opens = 0;  // calls are counted once the time key has been opened this often
        const char* message = History::kSaveFailedMessage;
        bool stamps = true;
        bool inScan = false;  // counted while the unchecked values go, before the rewrite
    };
    const Case cases[] = {
        {"nothing fails", RegOp::Set, 0, 0, nullptr},
        {"no time key", RegOp::Set, 0, 0, nullptr, false},
        {"the unchecked value will not go", RegOp::DeleteValue, 1, 0, nullptr, true, true},
        {"key cannot be read", RegOp::Open, 1},
        {"key cannot be read to its end", RegOp::Enum, 2},
        {"key cannot be made again", RegOp::Create, 2},
        {"an old value will not go", RegOp::DeleteValue, 2},
        {"first address not stored", RegOp::Set, 3},
        {"kept value not stored", RegOp::Set, 6},
        {"a stamp cannot be read", RegOp::Query, 1, 2},
        {"the time key will not open for the move", RegOp::Open, 1, 3},
        {"a stamp not stored", RegOp::Set, 2, 3},
        {"no old stamp will go, nor the new ones", RegOp::DeleteValue, -1, 3, History::kSaveUndoneAtNextStartMessage},
    };
    for (bool unattended : {false, true})
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (unattended ? ", from the command line" : ", in the window"));
        Reset();
        Raw().RegDeleteKeyA(hl::kTypedUrlsTimeKey);
        const Seed seed;
        if (c.stamps) WriteWide(Raw(), hl::kTypedUrlsTimeKey, seed.stamps);
        Load(seed.urls);
        KeepAllBut(1, {"url3"});  // its stamp goes with it
        const std::vector<Row> kept = Kept();
        std::unique_ptr<hl::CUnattendedHistory> command;
        if (unattended) {
            CloseWindow();  // remembers the marks, as a run in the window would have left them
            command = std::make_unique<hl::CUnattendedHistory>(*faulty, List(), shell);
            removalsTo = command.get();
        }
        std::vector<RegValue> beforeRewrite;  // taken when the profile's section goes
        bool scanned = false, forgotten = false, rewriting = false;
        int timeOpens = 0, matched = 0;
        faulty->onCall = [&](RegOp op, int, const std::string& what) {
            // The marks not kept are forgotten once the scan is over; the rewrite then reads the key.
            scanned = scanned || op == RegOp::DeleteValue;
            if (scanned && op == RegOp::Open && what == hl::kSectionKey) forgotten = true;
            else if (forgotten && !rewriting && op == RegOp::Open && what == hl::kTypedUrlsKey)
                beforeRewrite = TypedUrls(), rewriting = true;
            if (op == RegOp::Open && what == hl::kTypedUrlsTimeKey) ++timeOpens;
            const bool fails = c.call && rewriting != c.inScan && timeOpens >= c.opens && op == c.op &&
                               (c.call < 0 || ++matched == c.call);
            return fails ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        };
        std::vector<std::string> messages;
        if (command) {
            EXPECT_EQ(command->Prune(), !c.message);
            if (!command->Message().empty()) messages.push_back(command->Message());
            EXPECT_EQ(List().GetItemCount(), 0) << "the rows outlived the run";
        } else {
            history->OnDeleteUnchecked();
            messages = history->messages;
        }
        faulty->onCall = nullptr;
        removalsTo = nullptr;
        EXPECT_EQ(messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(Sorted(Marks()), Sorted(Remembered(kept)));
        const bool journal = JournalLeft();
        EXPECT_EQ(journal, c.call < 0) << "the journal is kept only when the keys could not be put back";
        if (journal) {
            Reset();
            history->FillList();
        } else if (!command && c.message) {
            EXPECT_EQ(Rows(), kept) << "renamed though not saved";
        }

        bool exists = true;
        const std::vector<WideValue> stamps = ReadWide(Raw(), hl::kTypedUrlsTimeKey, &exists);
        EXPECT_EQ(exists, c.stamps);
        if (c.message) {
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(beforeRewrite)) << "both keys back as they were";
            EXPECT_EQ(SortedWide(stamps), SortedWide(seed.stamps));
            continue;
        }
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(ExpectedKey(kept, beforeRewrite)));
        // Rows from the top: five, four, one; then the unshown URL2 as url4, and "blob".
        if (c.stamps) {
            EXPECT_EQ(SortedWide(stamps), SortedWide({WideStamp(u"url1", 5), WideStamp(u"url3", 1),
                                                      WideStamp(u"url4", 2), WideStamp(u"blob", 4)}));
        }
    }
}

// What the keys say of each address: its type and bytes, and the stamp beside it.
std::multimap<std::string, std::string> Addresses(const std::vector<WideValue>& urls, const std::vector<WideValue>& stamps) {
    std::multimap<std::string, std::string> addresses;
    for (const WideValue& url : urls) {
        std::string stamp = "no stamp";
        for (const WideValue& s : stamps)
            if (FoldedWide(s.name) == FoldedWide(url.name)) stamp = s.data;
        addresses.emplace(std::to_string(url.type) + ":" + url.data, stamp);
    }
    return addresses;
}

TEST_P(BrowserKey, ProcessThatDiesAtAnyCallLosesNothing) {
    const Seed seed;
    // What the browser writes when the user types an address after the death, before the next start:
    // under a new name, or (while a journal is left) under url3, which the kept http://three/ held
    // before the rewrite and which the rewrite may have emptied.
    WideValue typed = WideSz(u"url7", u"http://typed.later/"), typedStamp = WideStamp(u"url7", 7);
    const std::string typedAddress = std::to_string(typed.type) + ":" + typed.data;
    std::set<std::pair<std::string, std::string>> before = {{typedAddress, typedStamp.data}};  // each address with its stamp
    std::set<std::string> kept, pruned;
    std::vector<WideValue> savedUrls, savedStamps;  // the keys as a pruning that ran to its end leaves them
    bool saved = false;  // the keys were so when the process died
    int calls = 0;
    auto diesAt = [&calls](int at) {
        calls = 0;
        return [&calls, at](RegOp, int, const std::string&) {
            return ++calls >= at && at ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        };
    };
    // Prunes url1 and url4 with a registry that stops obeying at its call `death` (never, for 0), as
    // if the process died there; the browser then writes a new address if `browser`; the program then
    // starts again, dying at call `rebirth` of its start if that is not 0, and then once more for good.
    // The marks the last run left: the kept addresses checked, and one the list will not show.
    const std::vector<RegValue> marks = {Dword("http://three/", 1), Dword("http://five/", 1), Dword("http://gone/", 1)};
    auto prune = [&](int death, int rebirth, int browser) {
        Reset();
        WriteWide(Raw(), hl::kTypedUrlsTimeKey, seed.stamps);
        Raw().RegDeleteKeyA(hl::kSectionKey);
        WriteValues(Raw(), hl::kSectionKey, marks);
        Load(seed.urls);
        if (kept.empty()) {
            const std::vector<WideValue> urls = ReadWide(Raw(), hl::kTypedUrlsKey);
            for (const auto& address : Addresses(urls, seed.stamps)) before.insert(address);
            for (const WideValue& url : urls)
                (url.name != u"url1" && url.name != u"url4" ? kept : pruned).insert(std::to_string(url.type) + ":" + url.data);
        }
        KeepAllBut(1, {"url1", "url4"});
        faulty->onCall = diesAt(death);
        history->OnDeleteUnchecked();
        const int pruning = calls;
        const std::vector<WideValue> urls = SortedWide(ReadWide(Raw(), hl::kTypedUrlsKey));
        const std::vector<WideValue> stamps = SortedWide(ReadWide(Raw(), hl::kTypedUrlsTimeKey));
        if (!death) savedUrls = urls, savedStamps = stamps;
        saved = urls == savedUrls && stamps == savedStamps;
        if (browser) {
            // url3 only once the rewrite has emptied it: over http://three/ it would be the browser's own choice.
            const bool emptied = std::none_of(urls.begin(), urls.end(), [](const WideValue& url) {
                return url.name == u"url3" && url.data == WideSz(u"url3", u"http://three/").data;
            });
            typed.name = typedStamp.name = browser == 2 && emptied ? u"url3" : u"url7";
            WriteWide(Raw(), hl::kTypedUrlsKey, {typed});
            WriteWide(Raw(), hl::kTypedUrlsTimeKey, {typedStamp});
        }
        if (rebirth) {
            Reset();
            faulty->onCall = diesAt(rebirth);
            history->FillList();
        }
        Reset();
        return pruning;
    };
    const int all = prune(0, 0, false);
    ASSERT_GT(all, 20);
    for (int death = 1; death <= all + 1; ++death) {
        prune(death, 0, false);
        const bool journal = JournalLeft();
        // While a journal is there, the next start itself may die on its way through it.
        std::vector<std::pair<int, int>> runs = {{0, 0}, {0, 1}};
        if (journal) runs.emplace_back(0, 2);
        for (int rebirth = 1; journal && rebirth <= 40; rebirth += rebirth < 8 ? 1 : 8) runs.emplace_back(rebirth, 0);
        for (const auto& [rebirth, browser] : runs) {
            SCOPED_TRACE("died at call " + std::to_string(death) +
                         (browser ? browser == 2 ? ", the browser wrote url3" : ", the browser wrote" : "") +
                         ", then at call " + std::to_string(rebirth));
            if (rebirth || browser) prune(death, rebirth, browser);
            history->FillList();
            const std::multimap<std::string, std::string> now =
                Addresses(ReadWide(Raw(), hl::kTypedUrlsKey), ReadWide(Raw(), hl::kTypedUrlsTimeKey));
            for (const auto& [address, stamp] : now)
                EXPECT_TRUE(before.count({address, stamp}))
                    << "not there before, or with another stamp: " << address << " " << stamp;
            for (const std::string& address : kept)
                EXPECT_EQ(now.count(address), 1u) << "a kept address not there exactly once: " << address << " in " << testing::PrintToString(now);
            EXPECT_EQ(now.count(typedAddress), browser ? 1u : 0u) << "the browser's own address";
            for (const std::string& address : pruned)
                EXPECT_TRUE(!saved || !now.count(address)) << "a finished pruning undone: " << address;
            EXPECT_FALSE(JournalLeft()) << "the journal outlived a start";
            // The marks held what they held before the pruning, or what it leaves: the kept ones, whole.
            for (const Row& row : Rows()) {
                if (row.address == "http://three/" || row.address == "http://five/") {
                    EXPECT_TRUE(row.checked) << "a kept address's mark lost: " << row.address;
                }
            }
            if (death > all && !browser) {
                EXPECT_EQ(Checks(), (std::vector<bool>{true, true})) << "remembered once the pruning returned";
            }
        }
    }
}

TEST_P(BrowserKey, JournalPutsBackOnlyWhatItsRewriteChanged) {
    using Fault = std::function<long(RegOp, int, const std::string&)>;
    using Pick = std::function<bool(RegOp, const std::string&)>;
    // Calls that fail: each call that `fails` picks, or, once `dies` picked one, every call after it.
    auto faults = [](Pick fails, Pick dies) {
        auto dead = std::make_shared<bool>(false);
        return Fault([=](RegOp op, int, const std::string& what) {
            if (*dead || (fails && fails(op, what))) return hl::kErrorAccessDenied;
            *dead = dies && dies(op, what);
            return hl::kErrorSuccess;
        });
    };
    auto is = [](RegOp op, std::string what) { return [=](RegOp o, const std::string& w) { return o == op && w == what; }; };
    auto once = [](Pick pick) {
        auto done = std::make_shared<bool>(false);
        return [=](RegOp op, const std::string& what) { return !*done && pick(op, what) && (*done = true); };
    };
    const std::string journalKey = hl::kJournalKey;
    // Five addresses, site3 unchecked: the rewrite means to leave site5, site4, site2, site1.
    const std::vector<RegValue> loaded = Numbered(5);
    std::vector<RegValue> unchecked = loaded, saved;
    unchecked.erase(unchecked.begin() + 2);
    for (const char* site : {"5", "4", "2", "1"})
        saved.push_back(Sz("url" + std::to_string(saved.size() + 1), std::string("http://site") + site + "/"));
    // Prunes the list as it was last loaded, or a list loaded afresh from the five.
    auto prune = [&](Fault fault, bool fresh = true) {
        if (fresh) {
            Reset();
            Raw().RegDeleteKeyA(hl::kTypedUrlsTimeKey);  // the names free for an address come from both keys
            Load(loaded);
        }
        history->messages.clear();
        KeepAllBut(0, {"http://site3/"});
        faulty->onCall = std::move(fault);
        history->OnDeleteUnchecked();
        faulty->onCall = nullptr;
    };
    auto start = [&](Fault fault) {
        Reset();
        faulty->onCall = std::move(fault);
        history->FillList();
        faulty->onCall = nullptr;
    };
    const auto cutOff = is(RegOp::Set, "url1");  // the process dies once the rewrite stored url1

    {
        SCOPED_TRACE("cut off; putting back fails once, and again at the next pruning");
        prune(faults(nullptr, cutOff));
        start(faults(once(is(RegOp::Set, "url1")), nullptr));
        EXPECT_TRUE(JournalLeft()) << "kept for the next start";
        const std::vector<RegValue> halfBack = TypedUrls();
        prune(faults(is(RegOp::Set, "url1"), nullptr), false);
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kJournalKeptMessage});
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(halfBack)) << "nothing pruned";
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(unchecked)) << "put back as the cut-off rewrite found it";
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("cut off; the journal holds bytes after its last value");
        prune(faults(nullptr, cutOff));
        const std::vector<RegValue> parts = ReadValues(Raw(), journalKey);
        ASSERT_FALSE(parts.empty());
        const std::vector<RegValue> cut = TypedUrls();
        for (const RegValue& part : parts)
            if (part.name == "1") WriteValues(Raw(), journalKey, {{"1", part.type, part.data + "x"}});
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(cut)) << "refused";
        EXPECT_TRUE(JournalLeft()) << "kept: nobody can tell what it would put back";
        prune(nullptr, false);
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kJournalUnreadableMessage});
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(cut)) << "nothing pruned over it";
        CloseWindow();
        hl::CUnattendedHistory command(*faulty, List(), shell);
        removalsTo = &command;
        EXPECT_EQ(command.ListText(), "") << "a half-rewritten key listed as the user's";
        EXPECT_EQ(command.Message(), History::kJournalUnreadableListMessage);
        removalsTo = nullptr;
        Raw().RegDeleteTreeA(journalKey.c_str());
    }
    {
        SCOPED_TRACE("a journal part not written, nor the journal removed");
        prune(faults([&](RegOp op, const std::string& what) {
            return (op == RegOp::Set && what == "1") || (op == RegOp::DeleteKey && what == journalKey);
        }, nullptr));
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kSaveFailedMessage});
        for (const RegValue& value : ReadValues(Raw(), journalKey)) EXPECT_NE(value.name, "Complete");
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(unchecked));
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("cut off; the browser then writes under a name the rewrite had changed");
        prune(faults(nullptr, cutOff));
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url2", "http://typed.later/")});
        start(nullptr);
        std::vector<RegValue> expected = unchecked;
        expected[1] = Sz("url2", "http://typed.later/");
        expected.push_back(Sz("url6", "http://site2/"));  // the kept address it had held, under a free name
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(expected)) << "the browser's own value stays, and loses no other";
    }
    {
        SCOPED_TRACE("cut off before the rewrite stored its only address; the browser then writes that name");
        Reset();
        Load({Sz("url3", "http://only/")});
        history->OnCheckAll();
        auto from = std::make_shared<bool>(false);
        faulty->onCall = [from](RegOp op, int, const std::string& what) {
            *from = *from || (op == RegOp::Set && what == "url1");
            return *from ? hl::kErrorAccessDenied : hl::kErrorSuccess;
        };
        history->OnDeleteUnchecked();
        faulty->onCall = nullptr;
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://typed.later/")});
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://typed.later/"), Sz("url3", "http://only/")}));
    }
    {
        SCOPED_TRACE("cut off; the user then clears the history");
        prune(faults(nullptr, cutOff));
        Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
        start(nullptr);
        bool exists = true;
        TypedUrls(&exists);
        EXPECT_FALSE(exists) << "what the user deleted came back";
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("cut off once url1 is emptied; the browser then writes url1 and changes url5");
        prune(faults(nullptr, is(RegOp::DeleteValue, "url1")));
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://typed.later/"), Sz("url5", "http://changed/")});
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://typed.later/"), Sz("url2", "http://site2/"),
                                               Sz("url4", "http://site4/"), Sz("url5", "http://changed/"),
                                               Sz("url6", "http://site1/")}))
            << "the kept address that was url1 lost";
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("cut off once url1 is emptied; the user types its address again, the browser writes it as url1");
        prune(faults(nullptr, is(RegOp::DeleteValue, "url1")));
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://site1/")});
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(unchecked)) << "the address twice";
    }
    {
        SCOPED_TRACE("saved, the journal not removed; the browser then deletes an address");
        prune(faults(is(RegOp::DeleteKey, journalKey), nullptr));
        EXPECT_TRUE(history->messages.empty());
        EXPECT_TRUE(JournalLeft()) << "left behind";
        std::vector<RegValue> now = saved;
        now.erase(now.begin());
        Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
        WriteValues(Raw(), hl::kTypedUrlsKey, now);
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(now)) << "a finished pruning undone";
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("a key below the journal");
        prune(faults([&](RegOp op, const std::string& what) {
            if (op == RegOp::Set && what == "Complete") WriteValues(Raw(), journalKey + "\\Below", loaded);
            return false;
        }, nullptr));
        EXPECT_FALSE(JournalLeft()) << "removed whole";
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(saved));
    }
}

HL_CONTRACT_SUITE(BrowserKey);

}  // namespace
}  // namespace hltest
