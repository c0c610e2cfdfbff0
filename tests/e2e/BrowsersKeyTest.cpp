// The key is the browser's: it may rewrite the key while the window is open.
// A pruning takes away the addresses the user unchecked, wherever they are now,
// and nothing else. (The time stamps beside the key are the any-script test's.)
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

}  // namespace
}  // namespace e2e
