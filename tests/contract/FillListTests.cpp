// Loading the list from the browser's key.
#include <algorithm>
#include <optional>

#include "contract/Contract.h"

namespace hltest {
namespace {

using FillList = Contract;

std::string Url(std::size_t length) { return "http://" + std::string(length - 7, 'a'); }

TEST_P(FillList, ShowsWhatFitsNewestOnTop) {
    struct Case {
        const char* what;
        RegValue value;
        std::optional<std::string> text;  // as listed; none when left out
    };
    const Case cases[] = {
        {"address of 259", Sz("url2", Url(259)), Url(259)},
        {"address of 260", Sz("url2", Url(260)), std::nullopt},
        {"name of 259", Sz("u" + std::string(258, 'n'), "http://name/"), "http://name/"},
        {"name of 260", Sz("u" + std::string(259, 'n'), "http://name/"), std::nullopt},
        {"260 bytes without zero", {"url2", hl::kRegBinary, std::string(260, 'x')}, std::string(259, 'x')},
        {"261 bytes", {"url2", hl::kRegBinary, std::string(261, 'x')}, std::nullopt},
        {"embedded zeros", {"url2", hl::kRegMultiSz, std::string("one\0two\0\0", 9)}, "one"},
        {"8-bit text and name", Sz("url\xe9", "http://b\xfc" "cher.example/\xe9"), "http://b\xfc" "cher.example/\xe9"},
        {"default value", Sz("", "http://default/"), "http://default/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load({Sz("url1", "http://first/"), c.value, Sz("url10", "http://ten/"), Sz("url3", "http://last/")});
        std::vector<Row> expected;
        for (const RegValue& value : TypedUrls()) {
            const bool tested = value.name == c.value.name;
            if (!tested || c.text)
                expected.insert(expected.begin(), Row{tested ? *c.text : ShownText(value.data), value.name});
        }
        EXPECT_EQ(Rows(), expected);
    }
    std::vector<RegValue> oversize{Sz("url1", "http://first/")};
    for (int i = 0; i < 1100; ++i) oversize.push_back(Sz("big" + std::to_string(1000 + i), Url(300)));
    oversize.push_back(Sz("zz", "http://last/"));
    Load(oversize);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"http://last/", "zz"}, {"http://first/", "url1"}}))
        << "values too long, however many in a row, end nothing";
}

// A list that cannot hold a text (bytes that are no character of its code page)
// gives it back altered: that value is left out, and its mark left as it was.
TEST_P(FillList, TextTheListWouldAlterIsLeftOutWithItsMark) {
    hl::CRowList list([](const char* text) {
        std::string kept = text;
        std::replace(kept.begin(), kept.end(), '\xff', '?');
        return kept;
    });
    History own(Raw(), list, shell);
    ReportRemovals(list, own);
    Load({Sz("url1", "http://a/\xff"), Sz("url2", "http://b/")});
    Remember(Dword("http://a/\xff", 1));
    own.FillList();
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), "http://b/");
    list.DeleteAllItems();
    EXPECT_EQ(Sorted(Marks()), Sorted({Dword("http://a/\xff", 1), Dword("http://b/", 0)}));

    // Half a surrogate pair is no text in any code page: left out too, and kept by a pruning.
    const std::vector<WideValue> broken = {WideSz(u"url3", std::u16string(u"http://c/") + char16_t(0xD83D)),
                                           WideSz(u"url4", u"http://d/" + std::u16string{char16_t(0xD83D), char16_t(0xE000)})};
    WriteWide(Raw(), hl::kTypedUrlsKey, broken);
    history->FillList();
    EXPECT_EQ(List().GetItemCount(), 2) << "listed under another text";
    history->OnDeleteUnchecked();
    const std::vector<WideValue> left = ReadWide(Raw(), hl::kTypedUrlsKey);
    ASSERT_EQ(left.size(), 2u) << "not kept, or the others not pruned";
    for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(left[i].data, broken[i].data);
}

}  // namespace

HL_CONTRACT_SUITE(FillList);

}  // namespace hltest
