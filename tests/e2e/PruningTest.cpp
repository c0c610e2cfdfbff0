// "Delete Unchecked": what the browser's key and the profile hold afterwards,
// before and after the window closes.
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

const std::vector<std::string> kFour = {"http://one.example.com/", "http://two.example.com/",
                                        "http://three.example.com/", "http://four.example.com/"};

TEST_F(PruningTest, DeletesTheUncheckedAtZeroAndTwoAndRenumbersTheRestTopFirst) {
    ASSERT_NO_FATAL_FAILURE(SeedChecked(kFour));
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<std::string> before = UrlsTopDown();
    ASSERT_EQ(before.size(), 4u);
    ASSERT_NO_FATAL_FAILURE(Uncheck({0, 2}));

    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    const std::vector<std::string> kept = {before[1], before[3]};
    EXPECT_EQ(UrlsTopDown(), kept);
    EXPECT_EQ(List().Checks(), std::vector<bool>(2, true));
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));
    EXPECT_FALSE(m_registry.KeyExists(kSectionPath)) << "the remembered checks were not forgotten";

    // Again, with nothing left unchecked: the same key.
    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    EXPECT_EQ(UrlsTopDown(), kept);
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), AllChecked(kept));
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));
}

TEST_F(PruningTest, WithEveryRowCheckedDeletesNothingButRenumbersFromTheTop) {
    ASSERT_NO_FATAL_FAILURE(SeedChecked({kFour[0], kFour[1], kFour[2]}));
    const std::vector<std::string> enumerated = m_registry.Names(kTypedUrlsPath);
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::vector<std::string> top = UrlsTopDown();
    ASSERT_EQ(top.size(), 3u);

    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    EXPECT_EQ(UrlsTopDown(), top);
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(top));
    if (enumerated == std::vector<std::string>{"url1", "url2", "url3"}) {
        // Loading reverses, rewriting numbers from the top: the key comes back reversed.
        EXPECT_EQ(ByName(TypedUrls()), Renumbered({kFour[2], kFour[1], kFour[0]}));
    }
    EXPECT_FALSE(m_registry.KeyExists(kSectionPath));
    const std::vector<RegValue> afterFirst = TypedUrls();
    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    EXPECT_EQ(ByName(TypedUrls()), ByName(afterFirst)) << "pressing twice changed the key again";

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::EscapeKey));
    EXPECT_EQ(Profile(), AllChecked(top)) << "kept addresses must be remembered, the forgotten one not";
}

TEST_F(PruningTest, WithAnEmptyListLeavesTheKeyExistingAndEmptyAndTheChecksDoNothing) {
    ASSERT_TRUE(m_registry.CreateKey(kTypedUrlsPath));
    ASSERT_NO_FATAL_FAILURE(Remember("http://forgotten.example.com/", 1));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(List().Count(), 0);
    // The check buttons have nothing to do on no rows, and must not stumble.
    for (int button : {kCheckAllId, kUncheckAllId, kInvertChecksId}) ASSERT_NO_FATAL_FAILURE(Press(button));

    ASSERT_NO_FATAL_FAILURE(Press(kDeleteUncheckedId));
    EXPECT_TRUE(m_registry.KeyExists(kTypedUrlsPath));
    EXPECT_TRUE(TypedUrls().empty());
    EXPECT_FALSE(m_registry.KeyExists(kSectionPath));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_TRUE(m_registry.KeyExists(kTypedUrlsPath));
    EXPECT_TRUE(Profile().empty());
}

TEST_F(PruningTest, ASecondPruningAfterMoreUncheckingLeavesExactlyTheRemainingRows) {
    ASSERT_NO_FATAL_FAILURE(SeedChecked({kFour[0], kFour[1], kFour[2], kFour[3], "http://five.example.com/"}));
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
    EXPECT_EQ(ByName(TypedUrls()), Renumbered(kept));

    ASSERT_NO_FATAL_FAILURE(Close(CloseBy::ExitButton));
    EXPECT_EQ(Profile(), AllChecked(kept));
}

}  // namespace
}  // namespace e2e
