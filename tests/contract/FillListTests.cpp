// Loading the list from the browser's key; the fuzz target judges what fits its buffers, the
// end-to-end tests every type and size.
#include <algorithm>

#include "contract/Contract.h"

namespace hltest {
namespace {

using FillList = Contract;

// A value whose text the list would give back altered (no character of its code page),
// or whose bytes will not read, is left out, its mark left as it was, and kept by a pruning.
TEST_P(FillList, TextTheListWouldAlterOrThatWillNotReadIsLeftOutAndKept) {
    hl::CRowList list([](const char* text) {
        std::string kept = text;
        std::replace(kept.begin(), kept.end(), '\xff', '?');
        return kept;
    });
    History own(Raw(), list, shell);
    own.HearRemovals(list);
    Load({Sz("url1", "http://a/\xff"), Sz("url2", "http://b/")});
    Remember(Dword("http://a/\xff", 1));
    own.FillList();
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), "http://b/");
    list.DeleteAllItems();
    EXPECT_EQ(Sorted(Marks()), Sorted({Dword("http://a/\xff", 1), Dword("http://b/", 0)}));

    // Half a surrogate pair is no text in any code page: left out too, and kept by a pruning.
    // The last one ends in the half, without the zero that would follow it.
    const std::vector<WideValue> broken = {WideSz(u"url3", std::u16string(u"http://c/") + char16_t(0xD83D)),
                                           WideSz(u"url4", u"http://d/" + std::u16string{char16_t(0xD83D), char16_t(0xE000)}),
                                           {u"url5", hl::kRegSz, Utf16Bytes(std::u16string(u"http://e/") + char16_t(0xD83D))}};
    WriteWide(Raw(), hl::kTypedUrlsKey, broken);
    WriteWide(Raw(), hl::kTypedUrlsKey, {WideSz(u"url6", u"http://f/")});  // after them, by name or by creation
    history->FillList();
    EXPECT_EQ(List().GetItemCount(), 3) << "listed under another text, or the load stopped at one";
    history->OnDeleteUnchecked();
    const std::vector<WideValue> left = ReadWide(Raw(), hl::kTypedUrlsKey);
    ASSERT_EQ(left.size(), broken.size()) << "not kept, or the others not pruned";
    for (std::size_t i = 0; i < left.size(); ++i) EXPECT_EQ(left[i].data, broken[i].data);

    // A value that will not read in full is passed over, and kept by a pruning; those after it still come.
    int reads = 0;  // of the second value: first its text, then its exact bytes, which run out of memory
    faulty->onCall = [&](RegOp op, int, const std::string& what) { return op == RegOp::Enum && what == "1" && ++reads == 2 ? 8L : 0L; };
    Load({Sz("url1", "http://a/"), Sz("url2", "http://b/"), Sz("url3", "http://c/")});
    EXPECT_EQ(Rows(), (std::vector<Row>{{"http://c/", "url3", false}, {"http://a/", "url1", false}}));
    history->OnDeleteUnchecked();
    EXPECT_EQ(TypedUrls(), std::vector<RegValue>{Sz("url1", "http://b/")});
}

}  // namespace

HL_CONTRACT_SUITE(FillList);

}  // namespace hltest
