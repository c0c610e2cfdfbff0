// Addresses in any script, as the browser writes them through the wide calls:
// the list shows them as they are, a click opens them as they are (and the site
// button the maker's site), the profile remembers them under their own text,
// and a pruning moves each one with the type and bytes it had, and its time
// stamp with it. Everything is read back in the registry's and the list's own
// wide form, so that no code page of ours can hide a '?'.
#include <algorithm>

#include "ContentsOracle.h"
#include "E2eEnvironment.h"
#include "HedgeloomTest.h"
#include "ProtocolRecorder.h"
#include "driver/Input.h"

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

std::vector<Address> Addresses() {
    return {
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
}

WideValue ValueOf(const Address& address) {
    WideValue value = WideSz(address.name, address.text);
    value.type = address.type;
    return value;
}

const std::string kCheckMark("\x01\0\0\0", 4);

// A FILETIME of its own for each address.
unsigned long long TimeOf(int n) { return 0x01DA5E0F12345678ull + n * 0x10000193ull; }
WideValue Stamp(const std::u16string& name, int n) {
    const unsigned long long time = TimeOf(n);
    return {name, REG_BINARY, std::string(reinterpret_cast<const char*>(&time), sizeof time)};
}
// Kept, pruned and unshown addresses stamped, others not; url30's stamp belongs to no address.
const std::pair<const char16_t*, int> kStamped[] = {{u"url1", 1}, {u"url2", 2},     {u"url6", 6},   {u"адрес", 7},
                                                    {u"url9", 9}, {u"заметка", 10}, {u"url30", 30}};
std::vector<WideValue> Stamps() {
    std::vector<WideValue> stamps;
    for (const auto& [name, n] : kStamped) stamps.push_back(Stamp(name, n));
    return stamps;
}

// The keys after a pruning that kept these values, top first: each under the
// next name of url1..urlN with its own type and bytes, then the values the list
// could not show, those named url<number> numbered on after the rows; and each
// stamp of a value that stays under the value's new name.
void ExpectKeys(const std::vector<WideValue>& keptTopDown, const std::vector<WideValue>& unshown,
                const std::vector<WideValue>& stamps, std::vector<WideValue>& key, std::vector<WideValue>& stamped) {
    auto keep = [&](const WideValue& value, const std::u16string& name) {
        key.push_back({name, value.type, value.data});
        for (const WideValue& stamp : stamps)
            if (stamp.name == value.name) stamped.push_back({name, stamp.type, stamp.data});
    };
    for (const WideValue& kept : keptTopDown) keep(kept, u"url" + Utf16(std::to_string(key.size() + 1)));
    std::size_t number = key.size();
    for (const WideValue& value : unshown)
        keep(value, hltest::NumberedUrlName(Utf8(value.name)) ? u"url" + Utf16(std::to_string(++number)) : value.name);
    key = ByName(key);
    stamped = ByName(stamped);
}

class AnyScriptTest : public HedgeloomTest {};

TEST_F(AnyScriptTest, ShowsOpensRemembersAndMovesEveryAddressAsWritten) {
    const std::vector<Address> addresses = Addresses();
    std::vector<WideValue> seed;
    for (const Address& address : addresses) seed.push_back(ValueOf(address));
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, seed));
    const std::u16string remembered = addresses[1].text;
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, {WideValue{remembered, REG_DWORD, kCheckMark}}));
    const std::vector<WideValue> before = m_registry.WideValues(hl::kTypedUrlsKey);
    ASSERT_EQ(ByName(before), ByName(seed)) << "the registry did not take the values as written";
    const std::vector<WideValue> stamps = Stamps();
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, stamps));

    auto find = [&](const std::u16string& name) {
        return *std::find_if(addresses.begin(), addresses.end(), [&](const Address& a) { return a.name == name; });
    };
    std::vector<Row> expected;
    std::vector<WideValue> keptTopDown, unshown;
    for (auto value = before.rbegin(); value != before.rend(); ++value) {
        const Address address = find(value->name);
        if (!address.listed) continue;
        expected.push_back({Utf8(address.text), Utf8(address.name), address.text == remembered});
        if (!address.pruned) keptTopDown.push_back(*value);
    }
    for (const WideValue& value : before)
        if (!find(value.name).listed) unshown.push_back(value);

    const E2eEnvironment& environment = E2eEnvironment::Get();
    ProtocolRecorder recorder(environment.recorderExe, environment.scratchDir + "hedgeloom-scripts.log",
                              {"http", "https"});
    ASSERT_TRUE(recorder.Registered());
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
    EXPECT_TRUE(recorder.Lines().empty()) << "a click on no row opened " << recorder.Lines()[0];

    // A click on a row hands the shell exactly that address, also with Shift,
    // when the selection runs from the row clicked before.
    std::vector<std::string> opened;
    int previous = -1;
    for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
        const bool shift = previous >= 0 && row == static_cast<int>(expected.size()) - 1;
        if (!find(Utf16(expected[row].name)).clicked && !shift) continue;
        RECT label{};
        ASSERT_TRUE(list.LabelOnScreen(row, &label));
        ClickAt({(label.left + label.right) / 2, (label.top + label.bottom) / 2}, shift);
        opened.push_back(expected[row].address);
        EXPECT_EQ(recorder.WaitForLines(opened.size()), opened);
        previous = row;
    }
    PostClick(Run().Control(IDC_VISIT_SITE));
    opened.push_back(hl::kMakerSite);
    EXPECT_EQ(recorder.WaitForLines(opened.size()), opened) << "the site button";

    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    for (int row = 0; row < static_cast<int>(expected.size()); ++row) {
        if (find(Utf16(expected[row].name)).pruned) {
            EXPECT_TRUE(list.SetChecked(row, false)) << "row " << row;
        }
    }
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
    std::vector<WideValue> key, stamped;
    ExpectKeys(keptTopDown, unshown, stamps, key, stamped);
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsKey)), key)) << " in the key after pruning";
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), stamped)) << " in the time stamps";

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    std::vector<WideValue> marks;
    for (const WideValue& kept : keptTopDown) {
        const std::u16string text = find(kept.name).text;
        marks.push_back({text, REG_DWORD, kCheckMark});
    }
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kSectionKey)), ByName(marks))) << " in the profile";
}

// Without a window: `/list` writes every listed address as it is, with its mark
// and stamp, and changes nothing; `/prune` keeps the addresses remembered as
// checked, each with its type, bytes and stamp, as "Delete Unchecked" would.
// The switches are taken in any case, after '/' or '-'.
TEST_F(AnyScriptTest, FromTheCommandLineListsAndPrunesEveryAddressAsWritten) {
    const std::vector<Address> addresses = Addresses();
    std::vector<WideValue> seed, marks;
    for (const Address& address : addresses) {
        seed.push_back(ValueOf(address));
        if (address.listed && !address.pruned) marks.push_back({address.text, REG_DWORD, kCheckMark});
    }
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, seed));
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, marks));
    const std::vector<WideValue> stamps = Stamps();
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, stamps));
    const std::vector<WideValue> before = m_registry.WideValues(hl::kTypedUrlsKey);
    const std::vector<WideValue> profile = m_registry.WideValues(hl::kSectionKey);

    std::vector<Row> rows;
    std::vector<unsigned long long> typed;
    std::vector<WideValue> keptTopDown, unshown;
    for (auto value = before.rbegin(); value != before.rend(); ++value) {
        const Address address =
            *std::find_if(addresses.begin(), addresses.end(), [&](const Address& a) { return a.name == value->name; });
        if (!address.listed) {
            unshown.insert(unshown.begin(), *value);
            continue;
        }
        rows.push_back({Utf8(address.text), Utf8(address.name), !address.pruned});
        typed.push_back(0);
        for (const auto& [name, n] : kStamped)
            if (name == address.name) typed.back() = TimeOf(n);
        if (!address.pruned) keptTopDown.push_back(*value);
    }

    const CommandRun listing = Command("/LIST");
    EXPECT_EQ(listing.exitCode, 0u);
    EXPECT_TRUE(SameItems(LinesOf(listing.output), ExpectedListing(rows, typed))) << " in the listing";
    EXPECT_EQ(m_registry.WideValues(hl::kTypedUrlsKey), before) << "listing changed the key";
    EXPECT_EQ(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), ByName(stamps)) << "listing changed the stamps";
    EXPECT_EQ(m_registry.WideValues(hl::kSectionKey), profile) << "listing changed the profile";

    const CommandRun pruning = Command("-Prune");
    EXPECT_EQ(pruning.exitCode, 0u);
    std::vector<WideValue> key, stamped;
    ExpectKeys(keptTopDown, unshown, stamps, key, stamped);
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsKey)), key)) << " in the key after pruning";
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kTypedUrlsTimeKey)), stamped)) << " in the time stamps";
    EXPECT_TRUE(SameItems(ByName(m_registry.WideValues(hl::kSectionKey)), ByName(marks))) << " in the profile";
}

}  // namespace
}  // namespace e2e
