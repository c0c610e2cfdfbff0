// Addresses in any script, as the browser writes them through the wide calls, are
// listed, shown and opened as they are (and the site button opens the maker's site),
// remembered under their own text, and moved by a pruning with their type, bytes and
// time stamp. All is read back in wide form, so that no code page of ours hides a '?'.
#include <cstring>
#include <iterator>

#include "HedgeloomTest.h"

namespace e2e {
namespace {

std::u16string Repeat(const std::u16string& text, std::size_t count) {
    std::u16string out;
    while (count--) out += text;
    return out;
}

struct Address {
    std::u16string name;
    DWORD type;
    std::u16string text;
    bool listed;  // its name and its text fit 259 bytes of UTF-8
    bool pruned;  // the user unchecks it
    bool clicked;
};

const Address kAddresses[] = {
    {u"url1", REG_SZ, u"http://пример.рф/путь?q=ёж", true, false, true},
    {u"url2", REG_SZ, u"http://例え.テスト/パス/索引.html", true, false, false},
    {u"url3", REG_SZ, u"https://emoji.example/\U0001F600/\U0001F994", true, false, true},
    {u"url4", REG_EXPAND_SZ, u"http://café-crème.example/über/ñandú", true, false, false},
    {u"url5", REG_SZ, u"http://דוגמה.בדיקה/עמוד", true, false, true},
    {u"url6", REG_SZ, u"http://مثال.إختبار/صفحة", true, true, false},
    {u"url7", REG_SZ, u"http://www.example.com/plain", true, true, false},
    {u"адрес", REG_SZ, u"http://адрес.example/имя", true, true, false},
    // 7 + 126 * 2 = 259 bytes of UTF-8: just fits.
    {u"url8", REG_SZ, u"http://" + Repeat(u"ф", 126), true, false, false},
    // 260 bytes of UTF-8 in 134 UTF-16 units: too long for the list, kept.
    {u"url9", REG_SZ, u"http://a" + Repeat(u"ф", 126), false, false, false},
    {u"заметка", REG_SZ, u"http://" + Repeat(u"日", 100), false, false, false},
    {u"url20", REG_SZ, u"http://" + Repeat(u"\U0001F994", 70), false, false, false},
    // A name of 260 bytes of UTF-8 in 130 units.
    {Repeat(u"и", 130), REG_SZ, u"http://long.name.example/", false, false, false},
};

const Address& Named(const std::u16string& name) {
    return *std::find_if(std::begin(kAddresses), std::end(kAddresses), [&](const Address& a) { return a.name == name; });
}

const std::string kCheckMark("\x01\0\0\0", 4);

class AnyScriptTest : public HedgeloomTest {};

TEST_F(AnyScriptTest, ListsShowsOpensRemembersAndMovesEveryAddressAsWritten) {
    std::vector<WideValue> seed;
    for (const Address& address : kAddresses) seed.push_back({address.name, address.type, Utf16Bytes(address.text + u'\0')});
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, seed));
    const std::u16string remembered = kAddresses[1].text;
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, {WideValue{remembered, REG_DWORD, kCheckMark}}));
    // A FILETIME of its own for kept, pruned and unshown addresses, and for url30, which belongs to none.
    std::vector<WideValue> stamps;
    for (const char16_t* name : {u"url1", u"url2", u"url6", u"адрес", u"url9", u"заметка", u"url30"}) {
        const unsigned long long time = 0x01DA5E0F12345678ull + stamps.size() * 0x10000193ull;
        stamps.push_back({name, REG_BINARY, std::string(reinterpret_cast<const char*>(&time), sizeof time)});
    }
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, stamps));
    const std::vector<WideValue> before = m_registry.WideValues(hl::kTypedUrlsKey);
    ASSERT_EQ(ByName(before), ByName(seed)) << "the registry did not take the values as written";
    const std::vector<WideValue> profile = m_registry.WideValues(hl::kSectionKey);

    // The rows from the top, when each was last typed, and what a pruning keeps.
    std::vector<Row> expected;
    std::vector<unsigned long long> typed;
    std::vector<WideValue> kept, unshown;
    for (auto value = before.rbegin(); value != before.rend(); ++value) {
        const Address& address = Named(value->name);
        if (!address.listed) {
            unshown.insert(unshown.begin(), *value);
            continue;
        }
        expected.push_back({Utf8(address.text), Utf8(address.name), address.text == remembered});
        typed.push_back(0);
        for (const WideValue& stamp : stamps)
            if (stamp.name == value->name) std::memcpy(&typed.back(), stamp.data.data(), sizeof typed.back());
        if (!address.pruned) kept.push_back(*value);
    }

    // Without a window, and with the switch in another case after '-': nothing changes.
    const CommandRun listing = Command("-LIST");
    EXPECT_EQ(listing.exitCode, 0u);
    EXPECT_TRUE(SameItems(LinesOf(listing.output), ExpectedListing(expected, typed))) << " in the listing";
    EXPECT_EQ(m_registry.WideValues(hl::kTypedUrlsKey), before) << "listing changed the key";
    EXPECT_EQ(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), ByName(stamps)) << "listing changed the stamps";
    EXPECT_EQ(m_registry.WideValues(hl::kSectionKey), profile) << "listing changed the profile";

    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    std::vector<Row> shown;
    for (int row = 0; row < list.Count(); ++row)
        shown.push_back({Utf8(list.WideText(row, 0)), Utf8(list.WideText(row, 1)), list.Checked(row)});
    EXPECT_TRUE(SameItems(shown, expected)) << "the rows as the list holds them";

    // A click on a row hands the shell exactly that address.
    std::vector<std::string> opened;
    for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
        if (!Named(Utf16(expected[row].name)).clicked) continue;
        RECT label{};
        ASSERT_TRUE(list.LabelOnScreen(row, &label));
        ClickAt({(label.left + label.right) / 2, (label.top + label.bottom) / 2});
        opened.push_back(expected[row].address);
        EXPECT_EQ(Opened(opened.size()), opened);
    }
    PostClick(Run().Control(IDC_VISIT_SITE));
    opened.push_back(hl::kMakerSite);
    EXPECT_EQ(Opened(opened.size()), opened) << "the site button";

    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    for (int row = 0; row < static_cast<int>(expected.size()); ++row)
        EXPECT_TRUE(!Named(Utf16(expected[row].name)).pruned || list.SetChecked(row, false)) << "row " << row;
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));

    // The kept rows as url1..urlN from the top, then the unshown values, those named url<number>
    // numbered on; each stamp of a value that stays under its new name.
    std::vector<WideValue> key, stamped, marks;
    auto keep = [&](const WideValue& value, const std::u16string& name) {
        key.push_back({name, value.type, value.data});
        for (const WideValue& stamp : stamps)
            if (stamp.name == value.name) stamped.push_back({name, stamp.type, stamp.data});
    };
    for (const WideValue& value : kept) {
        keep(value, u"url" + Utf16(std::to_string(key.size() + 1)));
        marks.push_back({Named(value.name).text, REG_DWORD, kCheckMark});
    }
    std::size_t number = key.size();
    for (const WideValue& value : unshown)
        keep(value, hltest::NumberedUrlName(Utf8(value.name)) ? u"url" + Utf16(std::to_string(++number)) : value.name);
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsKey)), ByName(key))) << " in the key";
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), ByName(stamped))) << " in the stamps";
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kSectionKey)), ByName(marks))) << " in the profile";
}

}  // namespace
}  // namespace e2e
