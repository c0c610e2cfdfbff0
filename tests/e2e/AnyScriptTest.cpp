// Addresses in any script, as the browser writes them through the wide calls:
// `/list` writes them as they are, `/prune` and the window's pruning move each
// kept one with the type and bytes it had, and its time stamp with it; the
// list shows them as they are, a click opens them as they are (and the site
// button the maker's site), and the profile remembers them under their own
// text. Everything is read back in the registry's and the list's own wide form,
// so that no code page of ours can hide a '?'.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "ContentsOracle.h"
#include "HedgeloomTest.h"
#include "driver/Input.h"

namespace e2e {
namespace {

std::u16string Repeat(const std::u16string& text, std::size_t count) {
    std::u16string out;
    while (count--) out += text;
    return out;
}

// Which pruning takes an address away: none, `/prune` (it is not remembered as
// checked), or the window's (the user unchecks it there).
enum PrunedBy { kKept, kCommandLine, kWindow };

struct Address {
    std::u16string name;
    DWORD type;
    std::u16string text;
    bool listed;  // its name and its text fit 259 bytes of UTF-8
    PrunedBy prunedBy;
    bool clicked;
};

const Address kAddresses[] = {
    {u"url1", REG_SZ, u"http://пример.рф/путь?q=ёж", true, kKept, true},
    {u"url2", REG_SZ, u"http://例え.テスト/パス/索引.html", true, kKept, false},
    {u"url3", REG_SZ, u"https://emoji.example/\U0001F600/\U0001F994", true, kKept, true},
    {u"url4", REG_EXPAND_SZ, u"http://café-crème.example/über/ñandú", true, kKept, false},
    {u"url5", REG_SZ, u"http://דוגמה.בדיקה/עמוד", true, kKept, true},
    {u"url6", REG_SZ, u"http://مثال.إختبار/صفحة", true, kWindow, false},
    {u"url7", REG_SZ, u"http://www.example.com/plain", true, kWindow, false},
    {u"адрес", REG_SZ, u"http://адрес.example/имя", true, kCommandLine, false},
    // 7 + 126 * 2 = 259 bytes of UTF-8: just fits.
    {u"url8", REG_SZ, u"http://" + Repeat(u"ф", 126), true, kKept, false},
    // 260 bytes of UTF-8 in 134 UTF-16 units: too long for the list, kept.
    {u"url9", REG_SZ, u"http://a" + Repeat(u"ф", 126), false, kKept, false},
    {u"заметка", REG_SZ, u"http://" + Repeat(u"日", 100), false, kKept, false},
    {u"url20", REG_SZ, u"http://" + Repeat(u"\U0001F994", 70), false, kKept, false},
    // A name of 260 bytes of UTF-8 in 130 units.
    {Repeat(u"и", 130), REG_SZ, u"http://long.name.example/", false, kKept, false},
};

WideValue ValueOf(const Address& address) {
    WideValue value = WideSz(address.name, address.text);
    value.type = address.type;
    return value;
}

// The address a value of the key holds, whatever name a pruning gave it since.
const Address& AddressOf(const WideValue& value) {
    return *std::find_if(std::begin(kAddresses), std::end(kAddresses),
                         [&](const Address& a) { return ValueOf(a).data == value.data; });
}

const std::string kCheckMark("\x01\0\0\0", 4);

// The marks of the listed addresses no pruning up to `stage` takes.
std::vector<WideValue> MarksAfter(PrunedBy stage) {
    std::vector<WideValue> marks;
    for (const Address& a : kAddresses)
        if (a.listed && (a.prunedBy == kKept || a.prunedBy > stage)) marks.push_back({a.text, REG_DWORD, kCheckMark});
    return ByName(marks);
}

// A FILETIME of its own for stamped addresses, shown and not, and for url30,
// which belongs to no address.
std::vector<WideValue> Stamps() {
    std::vector<WideValue> stamps;
    int n = 0;
    for (const char16_t* name : {u"url1", u"url2", u"url6", u"адрес", u"url9", u"заметка", u"url30"}) {
        const unsigned long long time = 0x01DA5E0F12345678ull + ++n * 0x10000193ull;
        stamps.push_back({name, REG_BINARY, std::string(reinterpret_cast<const char*>(&time), sizeof time)});
    }
    return stamps;
}

class AnyScriptTest : public HedgeloomTest {
protected:
    // The rows the key as it is now lists, top first, checked unless `stage`
    // takes them; and when each was last typed.
    std::vector<Row> RowsNow(PrunedBy stage, std::vector<unsigned long long>* typed = nullptr) {
        const std::vector<WideValue> key = m_registry.WideValues(hl::kTypedUrlsKey);
        const std::vector<WideValue> stamps = m_registry.WideValues(hl::kTypedUrlsTimeKey);
        std::vector<Row> rows;
        for (auto value = key.rbegin(); value != key.rend(); ++value) {
            const Address& address = AddressOf(*value);
            if (!address.listed) continue;
            rows.push_back({Utf8(address.text), Utf8(value->name), address.prunedBy != stage});
            if (!typed) continue;
            typed->push_back(0);
            for (const WideValue& stamp : stamps)
                if (stamp.name == value->name) std::memcpy(&typed->back(), stamp.data.data(), sizeof typed->back());
        }
        return rows;
    }

    // Takes the keys as they are before the pruning of `stage`.
    void Before(PrunedBy stage) {
        m_stage = stage;
        m_key = m_registry.WideValues(hl::kTypedUrlsKey);
        m_stamps = m_registry.WideValues(hl::kTypedUrlsTimeKey);
    }

    // The keys after that pruning: each kept row under the next name of url1..urlN
    // from the top with its own type and bytes, then the values the list could not
    // show, those named url<number> numbered on after the rows; and each stamp of a
    // value that stays under the value's new name.
    void ExpectPruned() {
        std::vector<WideValue> rows, unshown, key, stamped;
        for (auto value = m_key.rbegin(); value != m_key.rend(); ++value) {
            const Address& address = AddressOf(*value);
            if (!address.listed) unshown.insert(unshown.begin(), *value);
            else if (address.prunedBy != m_stage) rows.push_back(*value);
        }
        auto keep = [&](const WideValue& value, const std::u16string& name) {
            key.push_back({name, value.type, value.data});
            for (const WideValue& stamp : m_stamps)
                if (stamp.name == value.name) stamped.push_back({name, stamp.type, stamp.data});
        };
        for (const WideValue& row : rows) keep(row, u"url" + Utf16(std::to_string(key.size() + 1)));
        std::size_t number = key.size();
        for (const WideValue& value : unshown)
            keep(value, hltest::NumberedUrlName(Utf8(value.name)) ? u"url" + Utf16(std::to_string(++number)) : value.name);
        EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsKey)), ByName(key))) << " in the key";
        EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), ByName(stamped)))
            << " in the time stamps";
        EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kSectionKey)), MarksAfter(m_stage))) << " in the profile";
    }

    PrunedBy m_stage = kKept;
    std::vector<WideValue> m_key, m_stamps;
};

TEST_F(AnyScriptTest, ListsPrunesShowsOpensAndRemembersEveryAddressAsWritten) {
    std::vector<WideValue> seed;
    for (const Address& address : kAddresses) seed.push_back(ValueOf(address));
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, seed));
    ASSERT_EQ(ByName(m_registry.WideValues(hl::kTypedUrlsKey)), ByName(seed))
        << "the registry did not take the values as written";
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, MarksAfter(kCommandLine)));
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, Stamps()));

    // Without a window, in any case of the switches, after '/' or '-': `/list`
    // changes nothing, `/prune` keeps the addresses remembered as checked.
    Before(kCommandLine);
    const std::vector<WideValue> profile = m_registry.WideValues(hl::kSectionKey);
    std::vector<unsigned long long> typed;
    const std::vector<Row> listed = RowsNow(kCommandLine, &typed);
    const CommandRun listing = Command("/LIST");
    EXPECT_EQ(listing.exitCode, 0u);
    EXPECT_TRUE(SameItems(LinesOf(listing.output), ExpectedListing(listed, typed))) << " in the listing";
    EXPECT_EQ(m_registry.WideValues(hl::kTypedUrlsKey), m_key) << "listing changed the key";
    EXPECT_EQ(m_registry.WideValues(hl::kTypedUrlsTimeKey), m_stamps) << "listing changed the stamps";
    EXPECT_EQ(m_registry.WideValues(hl::kSectionKey), profile) << "listing changed the profile";
    EXPECT_EQ(Command("-Prune").exitCode, 0u);
    ExpectPruned();

    // The window on what `/prune` left: every row checked, as remembered.
    Before(kWindow);
    const std::vector<Row> rows = RowsNow(kWindow);
    std::vector<Row> expected = rows;
    for (Row& row : expected) row.checked = true;
    ASSERT_NO_FATAL_FAILURE(RecordOpens());
    ASSERT_NO_FATAL_FAILURE(Start());
    const RemoteListView list = List();
    std::vector<Row> shown;
    for (int row = 0; row < list.Count(); ++row)
        shown.push_back({Utf8(list.WideText(row, 0)), Utf8(list.WideText(row, 1)), list.Checked(row)});
    EXPECT_TRUE(SameItems(shown, expected)) << "the rows as the list holds them";

    // A click below the rows selects none and opens nothing.
    ASSERT_TRUE(BringToFront(Run().MainWindow()));
    RECT last{}, client{};
    ASSERT_TRUE(list.LabelOnScreen(list.Count() - 1, &last));
    GetClientRect(list.hwnd(), &client);
    MapWindowPoints(list.hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const POINT below{last.left + 20, last.bottom + 12};
    ASSERT_LT(below.y, client.bottom);
    ClickAt(below);
    Sleep(1500);
    EXPECT_EQ(list.FirstSelected(), -1);
    EXPECT_EQ(Opened(), std::vector<std::string>{}) << "a click on no row";

    // A click on a row hands the shell exactly that address, also with Shift,
    // when the selection runs from the row clicked before.
    std::vector<std::string> opened;
    int previous = -1;
    for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
        const bool shift = previous >= 0 && row == static_cast<int>(expected.size()) - 1;
        if (!AddressOf(WideSz(u"", Utf16(expected[row].address))).clicked && !shift) continue;
        RECT label{};
        ASSERT_TRUE(list.LabelOnScreen(row, &label));
        ClickAt({(label.left + label.right) / 2, (label.top + label.bottom) / 2}, shift);
        opened.push_back(expected[row].address);
        EXPECT_EQ(Opened(opened.size()), opened);
        previous = row;
    }
    PostClick(Run().Control(IDC_VISIT_SITE));
    opened.push_back(hl::kMakerSite);
    EXPECT_EQ(Opened(opened.size()), opened) << "the site button";

    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        if (!rows[row].checked) {
            EXPECT_TRUE(list.SetChecked(row, false)) << "row " << row;
        }
    }
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    ExpectPruned();
}

}  // namespace
}  // namespace e2e
