// The browser's keys belong to the browser: addresses in any language, and a
// journal that puts back only what its rewrite changed. The fuzz target plays
// the rest (keys rewritten under the window, stamps, deaths at any call).
#include <functional>
#include <memory>

#include "ScopedKey.h"
#include "UnattendedHistory.h"
#include "contract/Contract.h"

namespace hltest {
namespace {

using BrowserKey = Contract;

TEST_P(BrowserKey, AddressesOutsideTheCodePageKeepTheirBytes) {
    // A string's bytes followed by a zero character, which the platform would take for the string's end, stored as given.
    const char16_t text[] = u"http://a/";  // a zero just past the 18 bytes given
    hl::ScopedKey key(Raw());
    ASSERT_EQ(key.Create(hl::kTypedUrlsKey), hl::kErrorSuccess);
    EXPECT_EQ(Raw().RegSetValueExW(key.get(), u"url1", 0, hl::kRegSz, reinterpret_cast<const unsigned char*>(text), 18), hl::kErrorSuccess);
    key.Close();
    EXPECT_EQ(ReadWide(Raw(), hl::kTypedUrlsKey), (std::vector<WideValue>{{u"url1", hl::kRegSz, Utf16Bytes(u"http://a/")}}));

    // On this test's code page (the prefix's, or Latin-1 in memory) most of these read as '?'; two
    // of them even read alike. Pruning must still move every kept one exactly and delete the right
    // one, also when the browser has rewritten its key under the open window.
    const std::vector<WideValue> seeded = {
        WideSz(u"url1", u"http://ru.example/\u043F\u0440\u0438"), WideSz(u"url2", u"http://ja.example/\u65E5\U0001F600"),
        WideSz(u"url3", u"http://caf\u00E9.example/na\u00EFve"), WideSz(u"url4", u"http://x.example/\u0416\u0436"),
        WideSz(u"url5", u"http://x.example/\u0414\u0434"), WideSz(u"url6", u"http://plain.example/"),
        WideSz(u"\u0430\u0434\u0440\u0435\u0441", u"http://named.example/\u0416"),
    };
    struct Case {
        const char* unchecked;
        std::vector<std::u16string> gone;  // then deleted by the browser
        std::vector<WideValue> written;    // and written
    };
    const Case cases[] = {
        {"url4", {}, {}}, {"url5", {}, {}}, {"url6", {}, {}},
        {"url4", {u"url4", u"url5"}, {{u"url4", seeded[4].type, seeded[4].data}}},  // a look-alike in its place
        {"url6", {u"url1", u"url2"}, {}},  // kept addresses gone: written back as they were loaded
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
        std::vector<WideValue> expected;  // the kept rows' values, by the names they were loaded under, renumbered
        for (const Row& row : kept)
            for (const WideValue& v : seeded)
                if (ToCodePage(CodePage::Latin1, v.name) == row.name)
                    expected.push_back({u"url" + FromCodePage(CodePage::Latin1, std::to_string(expected.size() + 1)), v.type, v.data});
        EXPECT_EQ(SortedWide(ReadWide(Raw(), hl::kTypedUrlsKey)), SortedWide(expected));
        EXPECT_TRUE(history->messages.empty());
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
    const auto at = [](int n, std::string address) { return Sz("url" + std::to_string(n), address); };
    const auto site = [](int n) { return "http://site" + std::to_string(n) + "/"; };
    // Five addresses, site3 unchecked: the rewrite means to leave site5, site4, site2, site1.
    const std::vector<RegValue> loaded = Numbered(5), saved = {at(1, site(5)), at(2, site(4)), at(3, site(2)), at(4, site(1))};
    std::vector<RegValue> unchecked = loaded;
    unchecked.erase(unchecked.begin() + 2);
    // Prunes the list as it was last loaded, or a list loaded afresh from the five and `more`.
    auto prune = [&](Fault fault, bool fresh = true, std::vector<RegValue> more = {}) {
        if (fresh) {
            Reset();
            Raw().RegDeleteKeyA(hl::kTypedUrlsTimeKey);  // the names free for an address come from both keys
            more.insert(more.begin(), loaded.begin(), loaded.end());
            Load(more);
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
        // With a value the list cannot show, which takes the journal past a part: twice 140 KB.
        SCOPED_TRACE("cut off; putting back fails once, and again at the next pruning, /list and start");
        const RegValue big = Sz("big", "http://big/" + std::string(70000, 'b'));
        prune(faults(nullptr, cutOff), true, {big});
        start(faults(once(is(RegOp::Set, "url1")), nullptr));
        EXPECT_TRUE(JournalLeft()) << "kept for the next start";
        const std::vector<RegValue> halfBack = TypedUrls();
        prune(faults(is(RegOp::Set, "url1"), nullptr), false);
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kJournalKeptMessage});
        EXPECT_TRUE(Sorted(TypedUrls()) == Sorted(halfBack)) << "nothing pruned";
        CloseWindow();
        hl::CUnattendedHistory command(*faulty, List(), shell);
        removalsTo = &command;
        faulty->onCall = faults(is(RegOp::Set, "url1"), nullptr);
        EXPECT_EQ(command.ListText(), "") << "a half-rewritten key listed as the user's";
        EXPECT_EQ(command.Message(), History::kJournalKeptListMessage);
        faulty->onCall = nullptr;
        removalsTo = nullptr;
        start(faults(once(is(RegOp::Query, "Complete")), nullptr));
        EXPECT_TRUE(JournalLeft()) << "whole, though that would not read once: not to be taken for torn";
        start(nullptr);
        std::vector<RegValue> left = unchecked;
        left.push_back(big);
        EXPECT_TRUE(Sorted(TypedUrls()) == Sorted(left)) << "not put back as the cut-off rewrite found it";
        EXPECT_FALSE(JournalLeft());
    }
    for (const int damage : {0, 1, 2}) {
        SCOPED_TRACE(testing::Message() << "cut off; the journal holds bytes after its last value, ends inside it, or begins otherwise: " << damage);
        prune(faults(nullptr, cutOff));
        const std::vector<RegValue> parts = ReadValues(Raw(), hl::kJournalKey);
        ASSERT_FALSE(parts.empty());
        const std::vector<RegValue> cut = TypedUrls();
        for (const RegValue& part : parts)
            if (part.name == "1") {
                std::string data = damage == 1 ? part.data.substr(0, part.data.size() - 1) : part.data + (damage ? "" : "x");
                data[0] = static_cast<char>(data[0] ^ (damage == 2));
                WriteValues(Raw(), hl::kJournalKey, {{"1", part.type, data}});
            }
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
        Raw().RegDeleteTreeA(hl::kJournalKey);
    }
    {
        SCOPED_TRACE("a value of the rewrite not stored: put back at once, the ones it never wrote being no failure");
        prune(faults(once(is(RegOp::Set, "url2")), nullptr));
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kSaveFailedMessage});
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(unchecked));
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("a journal part not written, nor the journal removed");
        prune(faults([&](RegOp op, const std::string& what) {
            return (op == RegOp::Set && what == "1") || (op == RegOp::DeleteKey && what == hl::kJournalKey);
        }, nullptr));
        EXPECT_EQ(history->messages, std::vector<std::string>{History::kSaveFailedMessage});
        for (const RegValue& value : ReadValues(Raw(), hl::kJournalKey)) EXPECT_NE(value.name, "Complete");
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(unchecked));
        EXPECT_FALSE(JournalLeft());
    }
    {
        // Cut off once the rewrite stored url1 or emptied it; the browser then writes; the start that puts
        // back may die too. An address whose name the browser took comes back under a free one.
        const auto emptied = is(RegOp::DeleteValue, "url1");
        const RegValue later = Sz("url1", "http://typed.later/");
        struct Case { const char* what; Pick dies; std::vector<RegValue> typed; Fault startDies; std::vector<RegValue> expected; };
        const Case cases[] = {
            {"the browser writes under a name the rewrite had changed", cutOff, {at(2, later.data)}, nullptr,
             {at(1, site(1)), at(2, later.data), at(4, site(4)), at(5, site(5)), at(6, site(2))}},
            {"url1 emptied; the browser writes url1 and changes url5", emptied, {later, at(5, "http://changed/")}, nullptr,
             {later, at(2, site(2)), at(4, site(4)), at(5, "http://changed/"), at(6, site(1))}},
            {"the browser writes the emptied url5; the start dies once it stored url1", cutOff, {at(5, later.data)}, faults(nullptr, is(RegOp::Set, "url1")),
             {at(1, site(1)), at(2, site(2)), at(4, site(4)), at(5, later.data), at(6, site(5))}},
            {"the same, but what was emptied could not be recorded", cutOff, {at(5, later.data)}, faults(is(RegOp::Set, "Emptied"), is(RegOp::Set, "url1")),
             {at(1, site(1)), at(2, site(2)), at(4, site(4)), at(5, later.data), at(6, site(5))}},
            {"the browser writes the emptied url5, and its address typed again as url9", cutOff, {at(5, later.data), at(9, site(5))}, nullptr,
             {at(1, site(1)), at(2, site(2)), at(4, site(4)), at(5, later.data), at(9, site(5))}},
            {"the browser types url2's address again as url1", cutOff, {at(1, site(2))}, nullptr, {at(1, site(2)), at(4, site(4)), at(5, site(5)), at(6, site(1))}},
            {"url1 emptied; the user types its address again, the browser writes it as url1", emptied, {at(1, site(1))}, nullptr, unchecked},
            {"all stored but not marked saved; the browser writes url1, whose address is nowhere else", is(RegOp::Set, "url4"), {later}, nullptr,
             {later, at(2, site(2)), at(4, site(4)), at(5, site(5)), at(6, site(1))}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            prune(faults(nullptr, c.dies));
            WriteValues(Raw(), hl::kTypedUrlsKey, c.typed);
            if (c.startDies) start(c.startDies);
            start(nullptr);
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(c.expected)) << "an address lost, twice, or the browser's own";
            EXPECT_FALSE(JournalLeft());
        }
    }
    {
        // The process dies as the rewrite is to store `dies`; the browser then writes its url1 or url5.
        const std::string longer = "http://" + std::string(300, 'l') + "/";
        struct Case { const char* what; std::vector<RegValue> key; const char* dies; RegValue typed; std::vector<RegValue> expected; };
        const Case cases[] = {
            {"its only address not stored, the browser writes that name", {Sz("url3", "http://only/")}, "url1",
             Sz("url1", "http://typed.later/"), {Sz("url1", "http://typed.later/"), Sz("url3", "http://only/")}},
            {"url1 stored back as it was, the browser writes the emptied url5", {Sz("url1", "http://a/"), Sz("url5", longer)},
             "url2", Sz("url5", "http://typed.later/"), {Sz("url1", "http://a/"), Sz("url5", "http://typed.later/"), Sz("url7", longer)}},
            {"URL1 stored back as url1, the browser writes the emptied url5", {Sz("URL1", "http://a/"), Sz("url5", longer)},
             "url2", Sz("url5", "http://typed.later/"), {Sz("URL1", "http://a/"), Sz("url5", "http://typed.later/"), Sz("url7", longer)}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            Reset();
            Load(c.key);
            // The stamp of an address gone since: url6 is free in the addresses' key, not in the stamps'.
            WriteValues(Raw(), hl::kTypedUrlsTimeKey, {{"url6", hl::kRegBinary, std::string(8, 'o')}});
            history->OnCheckAll();
            auto dead = std::make_shared<bool>(false);
            faulty->onCall = [dead, &c](RegOp op, int, const std::string& what) {
                *dead = *dead || (op == RegOp::Set && what == c.dies);
                return *dead ? hl::kErrorAccessDenied : hl::kErrorSuccess;
            };
            history->OnDeleteUnchecked();
            faulty->onCall = nullptr;
            WriteValues(Raw(), hl::kTypedUrlsKey, {c.typed});
            start(nullptr);
            EXPECT_EQ(Sorted(TypedUrls()), Sorted(c.expected)) << "an address lost, or the browser's own";
        }
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
        SCOPED_TRACE("cut off; the browser types as url1 the address the rewrite meant for it, stamped anew");
        Reset();
        const RegValue stamp{"url1", hl::kRegBinary, std::string(8, 'o')}, fresh{"url1", hl::kRegBinary, std::string(8, 'n')};
        WriteValues(Raw(), hl::kTypedUrlsTimeKey, {stamp});
        Load({Sz("url1", "http://a/"), Sz("url2", "http://b/")});  // listed b, a: the rewrite means url1 b, url2 a
        prune(faults(nullptr, cutOff), false);
        WriteValues(Raw(), hl::kTypedUrlsKey, {Sz("url1", "http://b/")});
        WriteValues(Raw(), hl::kTypedUrlsTimeKey, {fresh});
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted({Sz("url1", "http://b/"), Sz("url2", "http://a/")})) << "b twice, or a lost";
        EXPECT_EQ(Sorted(ReadValues(Raw(), hl::kTypedUrlsTimeKey)), Sorted({fresh, {"url2", hl::kRegBinary, stamp.data}}))
            << "the address put back under url1 with the stamp the browser gave another";
    }
    for (const bool marked : {true, false}) {
        // Saved, the journal not removed, and marked saved or not even that; then the browser
        // deletes an address, or the user the stamps' key.
        SCOPED_TRACE(marked ? "marked saved" : "not marked saved");
        Reset();
        Load(loaded);
        WriteValues(Raw(), hl::kTypedUrlsTimeKey, {{"url1", hl::kRegBinary, std::string(8, 's')}});
        prune(faults([&](RegOp op, const std::string& what) {
            return (op == RegOp::Set && what == "Saved" && !marked) || (op == RegOp::DeleteKey && what == hl::kJournalKey);
        }, nullptr), false);
        EXPECT_TRUE(history->messages.empty());
        EXPECT_TRUE(JournalLeft()) << "left behind";
        std::vector<RegValue> now = saved;
        if (marked) now.erase(now.begin());
        Raw().RegDeleteKeyA(marked ? hl::kTypedUrlsKey : hl::kTypedUrlsTimeKey);
        WriteValues(Raw(), hl::kTypedUrlsKey, now);
        start(nullptr);
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(now)) << "a finished pruning undone";
        EXPECT_FALSE(JournalLeft());
    }
    {
        SCOPED_TRACE("a key below the journal");
        prune(faults([&](RegOp op, const std::string& what) {
            if (op == RegOp::Set && what == "Complete") WriteValues(Raw(), std::string(hl::kJournalKey) + "\\Below", loaded);
            return false;
        }, nullptr));
        EXPECT_FALSE(JournalLeft()) << "removed whole";
        EXPECT_EQ(Sorted(TypedUrls()), Sorted(saved));
    }
}

HL_CONTRACT_SUITE(BrowserKey);

}  // namespace
}  // namespace hltest
