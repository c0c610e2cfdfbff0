// Whatever the browser's key and the profile hold, `/list` and the window show
// what fits, the window ends when closed, and a pruning, in the window or by
// `/prune`, takes away only what the user unchecked. Each launch seeds many hostile
// values at once (a run costs seconds); each is checked on its own against full exports.
#include "HedgeloomTest.h"

namespace e2e {
namespace {

struct Contents {
    std::vector<RegValue> values;
    std::vector<std::pair<std::string, RegValue>> subkeyValues;  // a subkey's path, its one value
    std::vector<RegValue> profile;
    // The organization's patterns, the machine's and the user's, and the addresses they keep.
    std::vector<RegValue> machinePolicy, userPolicy;
    std::vector<std::string> keptByPolicy;
};

std::string Repeat(const std::string& text, std::size_t size) {
    std::string out;
    while (out.size() < size) out += text;
    out.resize(size);
    return out;
}

// `scheme` starts the address, so that every type shows its own; `zeros` end well-formed data of the type.
const struct TypeCase {
    const char* scheme;
    DWORD type;
    std::size_t zeros;
} kTypes[] = {
    {"sz", REG_SZ, 1},         {"expand", REG_EXPAND_SZ, 1}, {"multi", REG_MULTI_SZ, 2}, {"binary", REG_BINARY, 0},
    {"dword", REG_DWORD, 0},   {"qword", REG_QWORD, 0},      {"none", REG_NONE, 0},
};
// Around the 260-byte buffer, and far past it.
const std::size_t kSizes[] = {0, 1, 259, 260, 261, 65536};

// An address padded or cut to exactly `size` bytes, ended as the type ends its strings.
std::string DataOf(const TypeCase& type, std::size_t size) {
    if (size < type.zeros) return std::string(size, '\0');
    const std::string address = std::string(type.scheme) + "://" + std::to_string(size) + ".example/";
    return Repeat(address + Repeat("p", size), size - type.zeros) + std::string(type.zeros, '\0');
}

Contents EveryTypeAndSize() {
    Contents c;
    int n = 0;
    for (const TypeCase& type : kTypes) {
        for (std::size_t size : kSizes) {
            // Half of them carry the browser's own names, which a rewrite renumbers.
            const std::string name = n++ % 2 ? "url" + std::to_string(100 + n)
                                             : std::string(type.scheme) + " of " + std::to_string(size) + " bytes";
            c.values.push_back({name, type.type, DataOf(type, size)});
        }
    }
    c.values.push_back({"dword", REG_DWORD, std::string("abc\0", 4)});
    c.values.push_back({"qword", REG_QWORD, std::string("qw\0\0\0\0\0\0", 8)});
    c.values.push_back({"unknown type", 0x7E57, "http://unknown.type.example/"});  // shown as text like any other
    c.values.push_back({"big-endian", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x01", 4)});
    c.values.push_back({"two strings", REG_MULTI_SZ, std::string("http://first.example/") + '\0' + "http://second.example/" + '\0' + '\0'});
    // Strings without their zero. std::string keeps a zero just past its data,
    // so what the registry makes of the missing one does not vary from run to run.
    c.values.push_back({"url1", REG_SZ, "http://unterminated.example/"});
    c.values.push_back({"unterminated expand", REG_EXPAND_SZ, Repeat("http://unterminated.expand.example/", 260)});
    // Zeros inside: the address ends at the first.
    c.values.push_back({"url2", REG_SZ, std::string("http://before.zero.example/") + '\0' + "after the zero" + '\0'});
    c.values.push_back({"zero first", REG_BINARY, '\0' + std::string("http://behind.a.zero.example/")});
    // Characters beyond ASCII, and bytes that are no UTF-8 text.
    c.values.push_back({"url3", REG_SZ, SzData("http://caf\xC3\xA9-\xC3\xBC\xC3\xA0\xC2\xA0\xC3\xBF.example/")});
    std::string high;
    for (int b = 0xA0; b <= 0xFF; ++b) high += static_cast<char>(b);
    c.values.push_back({"high bytes", REG_BINARY, high});
    // The default value, names with backslashes, and names around 260 characters.
    c.values.push_back(Sz("", "http://default.example/"));
    c.values.push_back(Sz("a\\b", "http://back\\slash.example/"));
    c.values.push_back(Sz("\\\\server\\share\\", "file://\\\\server\\share\\page.htm"));
    // Tabs and line breaks, which `/list` must not let split a field or forge a row.
    c.values.push_back(Sz("tab\tname", "http://tab\t.example/\\t"));
    c.values.push_back(Sz("url4", "http://forged.example/\r\n1\turl9\thttp://evil.example/\t\r\n"));
    c.values.push_back(Sz("line\nfeed\r", "http://lf.example/\n\r"));
    c.values.push_back(Sz(std::string(259, 'n'), "http://name.of.259.example/"));
    c.values.push_back(Sz(std::string(260, 'm'), "http://name.of.260.example/"));
    c.values.push_back(Sz("url" + std::string(256, '0') + "7", "http://numbered.name.of.260.example/"));
    // A key with subkeys cannot simply be deleted; they and their values stay.
    const std::string sub = std::string(hl::kTypedUrlsKey) + "\\Sub";
    c.subkeyValues = {{sub, Sz("inner", "http://inner.example/")},
                      {sub + "\\Deeper", {"deep", REG_BINARY, std::string("\x01\0\x02", 3)}}};

    auto textOf = [&](const std::string& name) {
        for (const RegValue& value : c.values)
            if (value.name == name) return ShownText(value.data);
        return std::string("not seeded: ") + name;
    };
    // Remembered marks: only a 32-bit 1 is one; these entries only the whole program can get wrong.
    c.profile = {
        Dword(textOf("sz of 259 bytes"), 1),
        Dword(textOf("binary of 260 bytes"), 1),  // by its first 259 characters
        Dword(textOf("url3"), 1),
        Dword(textOf("a\\b"), 1),
        {textOf("url1"), REG_DWORD, std::string("\x01\0\0", 3)},
        {textOf("high bytes"), REG_EXPAND_SZ, SzData("1")},
        // Rows without an address share the entry without a name.
        {"", REG_SZ, SzData("1")},
        // A mark of an address too long to be listed.
        Dword(Repeat("http://too.long.example/", 260), 1),
    };
    return c;
}

// A browser's list grown far past its usual few dozen, a third of it kept.
Contents TenThousandAddresses() {
    Contents c;
    for (int n = 1; n <= 10000; ++n) {
        const std::string address = "http://www.site" + std::to_string(n) + ".example/page?n=" + std::to_string(n);
        c.values.push_back(Sz("url" + std::to_string(n), address));
        if (n % 3 == 0) c.profile.push_back(Dword(address, 1));
        if ((n >= 10 && n <= 20) || n == 9999) c.keptByPolicy.push_back(address);
    }
    c.machinePolicy = {Sz("1", "http://www.site1?.example/page?n=1?"), Sz("2", "")};
    c.userPolicy = {Sz("1", "*N=9999"), {"2", REG_EXPAND_SZ, SzData("http://www.site20.example/*")}};
    return c;
}

// Every type and size is pruned in the window; ten thousand addresses by `/prune`, with the marks as
// remembered and the addresses the organization keeps.
class HostileContentsTest : public HedgeloomTest, public testing::WithParamInterface<bool> {};

TEST_P(HostileContentsTest, ListsShowsWhatFitsEndsWhenClosedAndPruningKeepsAllButTheUnchecked) {
    const bool window = GetParam();
    const Contents contents = window ? EveryTypeAndSize() : TenThousandAddresses();
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsKey, contents.values));
    for (const auto& [subkey, value] : contents.subkeyValues) ASSERT_TRUE(m_registry.Set(subkey, value)) << value;
    ASSERT_TRUE(m_registry.SetAll(hl::kSectionKey, contents.profile));
    const std::vector<RegValue> before = Export(hl::kTypedUrlsKey), profile = Export(hl::kSectionKey);
    ASSERT_EQ(before.size(), contents.values.size()) << "the registry did not take every value";
    std::vector<Row> expected = ExpectedRows(before, profile);
    ASSERT_TRUE(contents.machinePolicy.empty() || m_machine.SetAll(hl::kKeepPolicyKey, contents.machinePolicy));
    ASSERT_TRUE(contents.userPolicy.empty() || m_registry.SetAll(hl::kKeepPolicyKey, contents.userPolicy));
    for (Row& row : expected)
        row.checked = row.checked || std::count(contents.keptByPolicy.begin(), contents.keptByPolicy.end(), row.address);

    // `/list` writes the rows the window shows, and looking changes nothing.
    const CommandRun listing = Command("/list");
    EXPECT_EQ(listing.exitCode, 0u);
    EXPECT_TRUE(SameItems(LinesOf(listing.output), ExpectedListing(expected, {}))) << " in the listing";
    EXPECT_EQ(Export(hl::kTypedUrlsKey), before) << "listing changed the key";
    EXPECT_EQ(Export(hl::kSectionKey), profile) << "listing changed the profile";

    std::vector<Row> kept;
    if (!window) {
        const CommandRun pruning = Command("/prune");
        EXPECT_EQ(pruning.exitCode, 0u);
        EXPECT_EQ(pruning.output, "");
        kept = CheckedOf(expected);
    } else {
        ASSERT_NO_FATAL_FAILURE(Start());
        EXPECT_TRUE(SameItems(List().Rows(), expected));
        // All but every third row checked; what must stay is what the user meant, not what the list reports.
        ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
        for (std::size_t row = 0; row < expected.size(); ++row) {
            if (row % 3 != 1) kept.push_back({expected[row].address, expected[row].name, true});
            else EXPECT_TRUE(List().SetChecked(static_cast<int>(row), false)) << "row " << row;
        }
        ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));
        EXPECT_TRUE(Run().OtherDialogs().empty()) << "a message came up though nothing failed";
        // The rows' names are the rewrite's to choose; the key below tells they show the right values.
        EXPECT_TRUE(SameItems(List().Rows(RemoteListView::kWithoutNames), Unnamed(kept))) << "the list after pruning";
    }
    const std::vector<RegValue> pruned = Export(hl::kTypedUrlsKey);
    EXPECT_TRUE(PrunedAsItMust(before, kept, pruned));
    for (const auto& [subkey, value] : contents.subkeyValues) EXPECT_EQ(Export(subkey), std::vector<RegValue>{value});
    EXPECT_TRUE(Remembers(kept)) << "the old marks are forgotten and the kept addresses remembered at once";
    EXPECT_FALSE(m_registry.KeyExists(hl::kJournalKey)) << "a journal was left behind";
    if (!window) return;

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Export(hl::kTypedUrlsKey), pruned) << "closing changed the key";
    EXPECT_TRUE(Remembers(kept));
}

INSTANTIATE_TEST_SUITE_P(Launches, HostileContentsTest, testing::Bool(), [](const testing::TestParamInfo<bool>& info) {
    return info.param ? "EveryTypeAndSizeNamesAndProfileEntries" : "TenThousandAddresses";
});

}  // namespace
}  // namespace e2e
