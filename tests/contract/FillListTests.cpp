// Loading the list from the browser's key.
#include "contract/Contract.h"

namespace hltest {
namespace {

using FillList = Contract;

std::string Chars(std::size_t count, char c = 'a') { return std::string(count, c); }
std::string Url(std::size_t length) { return "http://" + Chars(length - 7); }

TEST_P(FillList, ShowsValuesInReverseOfEnumeration) {
    Load({Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url10", "http://ten/"),
          Sz("url3", "http://three/")});
    const std::vector<std::string> order = EnumeratedNames();
    ASSERT_EQ(order.size(), 4u);
    std::vector<Row> expected;
    for (auto name = order.rbegin(); name != order.rend(); ++name) expected.push_back({Address(*name), *name});
    EXPECT_EQ(Rows(), expected);
}

struct Shown {
    const char* what;
    RawValue value;
    bool listed;
    std::string text;
};

TEST_P(FillList, ShowsWhatFitsAndSkipsTheRest) {
    const Shown cases[] = {
        {"address of 259", Sz("url2", Url(259)), true, Url(259)},
        {"address of 260", Sz("url2", Url(260)), false, ""},
        {"name of 259", Sz("u" + Chars(258, 'n'), "http://name/"), true, "http://name/"},
        {"name of 260", Sz("u" + Chars(259, 'n'), "http://name/"), false, ""},
        {"binary without zero", {"url2", hl::kRegBinary, "http://bin/"}, true, "http://bin/"},
        {"string without zero", {"url2", hl::kRegSz, "http://nozero/"}, true, "http://nozero/"},
        {"dword", {"url2", hl::kRegDword, std::string("abc\0", 4)}, true, "abc"},
        {"dword without zero", {"url2", hl::kRegDword, "abcd"}, true, "abcd"},
        {"260 bytes without zero", {"url2", hl::kRegBinary, Chars(260, 'x')}, true, Chars(259, 'x')},
        {"261 bytes", {"url2", hl::kRegBinary, Chars(261, 'x')}, false, ""},
        {"embedded zeros", {"url2", hl::kRegBinary, std::string("ab\0cd\0", 6)}, true, "ab"},
        {"multi-string", {"url2", hl::kRegMultiSz, std::string("one\0two\0\0", 9)}, true, "one"},
        {"expandable", {"url2", hl::kRegExpandSz, std::string("%TEMP%\\x\0", 9)}, true, "%TEMP%\\x"},
        {"empty string", Sz("url2", ""), true, ""},
        {"no data", {"url2", hl::kRegBinary, ""}, true, ""},
        {"8-bit characters", Sz("url2", "http://b\xfc" "cher.example/\xe9t\xe9"), true,
         "http://b\xfc" "cher.example/\xe9t\xe9"},
        {"8-bit name", Sz("url\xe9", "http://e/"), true, "http://e/"},
        {"short text in long data", {"url2", hl::kRegBinary, "http://x/" + std::string(300, '\0')}, false, ""},
        {"default value", Sz("", "http://default/"), true, "http://default/"},
    };
    for (const Shown& c : cases) {
        SCOPED_TRACE(c.what);
        Load({Sz("url1", "http://before/"), c.value, Sz("url3", "http://after/")});
        std::vector<Row> expected;
        for (const std::string& name : EnumeratedNames()) {
            if (name == c.value.name) {
                if (c.listed) expected.insert(expected.begin(), Row{c.text, name});
            } else {
                expected.insert(expected.begin(), Row{Address(name), name});
            }
        }
        EXPECT_EQ(Rows(), expected);
    }
}

TEST_P(FillList, ChecksOnlyAddressesRememberedAsOne) {
    const unsigned char one[] = {1, 0, 0, 0};
    SeedKey({Sz("url1", "http://one/"), Sz("url2", "http://zero/"), Sz("url3", "http://two/"),
          Sz("url4", "http://never/"), Sz("url5", "http://text/"), Sz("url6", "http://binary/"),
          Sz("url7", "http://qword/"), Sz("url8", "http://short/"), Sz("url9", "C:\\dir\\page.htm"),
          Sz("url10", "http://UPPER/")});
    Remember("http://one/", 1);
    Remember("http://zero/", 0);
    Remember("http://two/", 2);
    SeedProfile(Sz("http://text/", "1"));
    SeedProfile({"http://binary/", hl::kRegBinary, std::string(reinterpret_cast<const char*>(one), 4)});
    SeedProfile({"http://qword/", hl::kRegQword, std::string("\1\0\0\0\0\0\0\0", 8)});
    SeedProfile({"http://short/", hl::kRegDword, std::string("\1\0", 2)});
    Remember("C:\\dir\\page.htm", 1);
    Remember("http://upper/", 1);  // entry names are as case-blind as value names
    history->FillList();
    std::vector<std::string> checked;
    for (const Row& row : Rows())
        if (row.checked) checked.push_back(row.address);
    std::sort(checked.begin(), checked.end());
    EXPECT_EQ(checked, (std::vector<std::string>{"C:\\dir\\page.htm", "http://UPPER/", "http://one/"}));
}

TEST_P(FillList, MissingKeyEmptiesTheList) {
    Load({Sz("url1", "http://one/"), Sz("url2", "http://two/")});
    ASSERT_EQ(List().GetItemCount(), 2);
    List().SetCheck(List().GetItemText(0, 0) == "http://one/" ? 0 : 1, true);
    Remember("http://older/", 1);
    Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
    history->FillList();
    EXPECT_EQ(List().GetItemCount(), 0);
    // The rows emptied out remembered their marks on the way.
    EXPECT_EQ(Remembered("http://one/"), 1u);
    EXPECT_EQ(Remembered("http://two/"), 0u);
    EXPECT_EQ(Remembered("http://older/"), 1u) << "the browser's key and the profile are apart";
}

TEST_P(FillList, KeyDeletedWhileReadKeepsRowsReadSoFar) {
    SeedKey({Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url3", "http://three/"),
             Sz("url4", "http://four/")});
    const std::vector<std::string> order = EnumeratedNames();
    faulty->DeleteKeyWhileReading(hl::kTypedUrlsKey, 2);
    history->FillList();
    EXPECT_EQ(Rows(), (std::vector<Row>{{Address(order[1]), order[1]}, {Address(order[0]), order[0]}}));
    EXPECT_LE(faulty->Calls(RegOp::Enum), 3);
}

TEST_P(FillList, EnumerationFailingForEverEnds) {
    const long codes[] = {hl::kErrorKeyDeleted, hl::kErrorAccessDenied, 31 /* ERROR_GEN_FAILURE */,
                          hl::kErrorMoreData};
    for (long code : codes) {
        SCOPED_TRACE(code);
        Reset();
        SeedKey({Sz("url1", "http://one/"), Sz("url2", "http://two/"), Sz("url3", "http://three/")});
        const std::vector<std::string> order = EnumeratedNames();
        faulty->FailEnumFrom(2, code);
        // A registry that never ends its enumeration is ended here, so that a loop
        // without a bound makes this test fail instead of hang.
        faulty->onCall = [](RegOp op, int n, const std::string&) {
            return op == RegOp::Enum && n > 100000 ? hl::kErrorNoMoreItems : hl::kErrorSuccess;
        };
        history->FillList();
        EXPECT_EQ(Rows(), (std::vector<Row>{{Address(order[1]), order[1]}, {Address(order[0]), order[0]}}));
        EXPECT_LT(faulty->Calls(RegOp::Enum), 2000);
    }
}

TEST_P(FillList, OversizeValuesDoNotEndTheEnumeration) {
    std::vector<RawValue> values{Sz("url1", "http://first/")};
    for (int i = 0; i < 40; ++i) values.push_back(Sz("big" + std::to_string(100 + i), Url(300)));
    values.push_back(Sz("zz", "http://last/"));
    Load(values);
    std::vector<std::string> listed;
    for (const Row& row : Rows()) listed.push_back(row.address);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"http://first/", "http://last/"}));
}

HL_CONTRACT_SUITE(FillList);

}  // namespace
}  // namespace hltest
