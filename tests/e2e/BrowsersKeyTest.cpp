// The key is the browser's: it may rewrite the key while the window is open,
// and it keeps beside it the time each address was typed. A pruning takes away
// the addresses the user unchecked, wherever they are now, and nothing else;
// the time stamps move with their addresses.
#include <algorithm>

#include "ContentsOracle.h"
#include "HedgeloomTest.h"

namespace e2e {
namespace {

// The window loads url1=a, url2=b, url3=x; then the browser writes its list
// anew as url1=c, url2=a, url3=b, url4=x, so that every row's name holds
// another address than the row's, or none. The user unchecks b, whose old
// name now holds a, which a pruning by name would take.
const char kA[] = "http://a.example/";
const char kB[] = "http://b.example/";
const char kC[] = "http://c.example/typed-while-open";
const char kX[] = "http://x.example/";

class RewrittenWhileOpenTest : public HedgeloomTest {};

TEST_F(RewrittenWhileOpenTest, PruningTakesOnlyTheUncheckedAddressAndKeepsEveryOtherOnce) {
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", kA}, {"url2", kB}, {"url3", kX}}));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<Row> rows = List().Rows();
    ASSERT_EQ(rows.size(), 3u);

    m_registry.DeleteTree(hl::kTypedUrlsKey);
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({{"url1", kC}, {"url2", kA}, {"url3", kB}, {"url4", kX}}));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    const std::string gone = kB;
    const auto unchecked = std::find_if(rows.begin(), rows.end(), [&](const Row& row) { return row.address == gone; });
    ASSERT_NE(unchecked, rows.end());
    ASSERT_TRUE(List().SetChecked(static_cast<int>(unchecked - rows.begin()), false));
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));

    std::vector<std::string> addresses, names;
    for (const RegValue& value : Export(hl::kTypedUrlsKey)) {
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << value;
        addresses.push_back(value.data);
        names.push_back(value.name);
    }
    std::vector<std::string> expected;
    for (const char* address : {kA, kB, kC, kX})
        if (address != gone) expected.push_back(SzData(address));
    std::sort(addresses.begin(), addresses.end());
    std::sort(names.begin(), names.end());
    EXPECT_TRUE(SameItems(addresses, expected)) << " (the key's addresses, sorted)";
    EXPECT_EQ(names, (std::vector<std::string>{"url1", "url2", "url3"})) << "not renumbered without a gap";
    EXPECT_FALSE(m_registry.KeyExists(hl::kTypedUrlsTimeKey)) << "a pruning made a key of time stamps";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
}

// A FILETIME of its own for each address.
RegValue Stamp(const std::string& name, int n) {
    const unsigned long long time = 0x01DA5E0F12345678ull + n * 0x10000193ull;
    return {name, REG_BINARY, std::string(reinterpret_cast<const char*>(&time), sizeof time)};
}

class TimeStampsTest : public HedgeloomTest {};

TEST_F(TimeStampsTest, EachKeptAddressKeepsItsStampUnderItsNewNameAndNoOtherStampStays) {
    std::vector<std::pair<std::string, std::string>> typed;
    for (int i = 1; i <= 5; ++i)
        typed.push_back({"url" + std::to_string(i), "http://site" + std::to_string(i) + ".example/"});
    ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(typed));
    // url4 was never stamped, and url9's stamp belongs to no address.
    ASSERT_TRUE(m_registry.SetAll(hl::kTypedUrlsTimeKey, {Stamp("url1", 1), Stamp("url2", 2), Stamp("url3", 3),
                                                        Stamp("url5", 5), Stamp("url9", 9)}));
    const std::vector<RegValue> before = Export(hl::kTypedUrlsKey);
    const std::vector<RegValue> stampsBefore = Export(hl::kTypedUrlsTimeKey);

    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<Row> rows = List().Rows();
    ASSERT_NO_FATAL_FAILURE(Press(IDC_CHECK_ALL));
    std::vector<Row> kept;
    std::vector<RegValue> stamps;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].name == "url2") {
            ASSERT_TRUE(List().SetChecked(static_cast<int>(row), false));
            continue;
        }
        kept.push_back({rows[row].address, rows[row].name, true});
        for (RegValue stamp : stampsBefore) {
            if (stamp.name != rows[row].name) continue;
            stamp.name = "url" + std::to_string(kept.size());  // the address's new name
            stamps.push_back(stamp);
        }
    }
    ASSERT_EQ(kept.size(), 4u);
    ASSERT_NO_FATAL_FAILURE(Press(IDC_DELETE_UNCHECKED));

    EXPECT_TRUE(PrunedAsItMust(before, kept, Export(hl::kTypedUrlsKey)));
    EXPECT_TRUE(SameItems(ByName(Export(hl::kTypedUrlsTimeKey)), ByName(stamps))) << " in the time stamps";
    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
}

}  // namespace
}  // namespace e2e
