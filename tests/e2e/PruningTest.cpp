// "Delete Unchecked" twice and three times in one run: what the browser's key
// and the profile hold afterwards. Hostile contents are another test's.
#include <map>

#include "ContentsOracle.h"
#include "HedgeloomTest.h"

namespace e2e {
namespace {

// The key's values by name (names are case-blind), so that the test does not
// depend on the order in which this registry enumerates.
std::map<std::string, RegValue> ByName(const std::vector<RegValue>& values) {
    std::map<std::string, RegValue> byName;
    for (const RegValue& value : values) byName.emplace(Folded(value.name), value);
    return byName;
}

// What a rewrite must leave: url1 to urlN from the top of the list.
std::map<std::string, RegValue> Renumbered(const std::vector<std::string>& urlsTopDown) {
    std::vector<RegValue> values;
    for (std::size_t i = 0; i < urlsTopDown.size(); ++i)
        values.push_back(Sz("url" + std::to_string(i + 1), urlsTopDown[i]));
    return ByName(values);
}

ProfileEntries AllChecked(const std::vector<std::string>& urls) {
    ProfileEntries entries;
    for (const std::string& url : urls) entries[url] = 1;
    return entries;
}

class PruningTest : public HedgeloomTest {
protected:
    // Seeds url1..urlN with the given addresses, all remembered as checked,
    // plus one remembered address that is no longer in the key.
    void SeedChecked(const std::vector<std::string>& urls) {
        std::vector<std::pair<std::string, std::string>> values;
        for (std::size_t i = 0; i < urls.size(); ++i) {
            values.push_back({"url" + std::to_string(i + 1), urls[i]});
            ASSERT_NO_FATAL_FAILURE(Remember(urls[i], 1));
        }
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls(values));
        ASSERT_NO_FATAL_FAILURE(Remember("http://forgotten.example.com/", 1));
    }
    std::vector<std::string> UrlsTopDown() { return UrlsOf(List().Rows()); }
    void Uncheck(std::initializer_list<int> rows) {
        for (int row : rows) ASSERT_TRUE(List().SetChecked(row, false)) << "row " << row;
    }
};

TEST_F(PruningTest, ASecondPruningAfterMoreUncheckingLeavesExactlyTheRemainingRows) {
    ASSERT_NO_FATAL_FAILURE(SeedChecked({"http://one.example.com/", "http://two.example.com/", "http://three.example.com/",
                                          "http://four.example.com/", "http://five.example.com/"}));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<std::string> top = UrlsTopDown();
    ASSERT_EQ(top.size(), 5u);

    ASSERT_NO_FATAL_FAILURE(Uncheck({1}));
    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    ASSERT_EQ(UrlsTopDown(), (std::vector<std::string>{top[0], top[2], top[3], top[4]}));
    EXPECT_EQ(ByName(TypedUrls()), Renumbered({top[0], top[2], top[3], top[4]}));

    // The rows keep the names they were loaded under, which the rewrite gave to others.
    ASSERT_NO_FATAL_FAILURE(Uncheck({0, 3}));
    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    const std::vector<std::string> kept = {top[2], top[3]};
    EXPECT_EQ(UrlsTopDown(), kept);
    EXPECT_EQ(List().Checks(), std::vector<bool>(2, true));
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));
    EXPECT_FALSE(m_registry.KeyExists(kSectionPath)) << "the remembered checks were not forgotten";

    // Again, with nothing left unchecked: the same key.
    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    EXPECT_EQ(UrlsTopDown(), kept);
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), AllChecked(kept)) << "kept addresses must be remembered, the forgotten one not";
}

}  // namespace
}  // namespace e2e
