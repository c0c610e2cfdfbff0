// The registry's own answers that the typed-address logic depends on. Run against
// the real registry too, so that the in-memory model cannot drift from it.
#include "contract/Contract.h"
#include "ScopedKey.h"

namespace hltest {
namespace {

using RegistryModel = Contract;

struct Enumerated {
    long result;
    std::string name;
    unsigned long dataLength;
};

Enumerated EnumerateFirst(hl::IRegistry& registry, hl::RegHandle key) {
    char name[hl::kTextBuffer];
    unsigned char data[hl::kTextBuffer];
    unsigned long nameLength = hl::kTextBuffer, dataLength = hl::kTextBuffer;
    const long result = registry.RegEnumValueA(key, 0, name, &nameLength, nullptr, data, &dataLength);
    return {result, result == hl::kErrorSuccess ? std::string(name, nameLength) : std::string(), dataLength};
}

TEST_P(RegistryModel, EnumerationWithBuffersOf260) {
    struct Case {
        const char* what;
        RawValue value;
        long result;
        unsigned long dataLength;  // as reported; 0 when the registry may report anything
    };
    const std::string name259(259, 'n'), name260(260, 'n');
    const Case cases[] = {
        {"name of 259", {name259, hl::kRegBinary, "x"}, hl::kErrorSuccess, 1},
        {"name of 260", {name260, hl::kRegBinary, "x"}, hl::kErrorMoreData, 0},
        {"data of 260", {"v", hl::kRegBinary, std::string(260, 'd')}, hl::kErrorSuccess, 260},
        {"data of 261", {"v", hl::kRegBinary, std::string(261, 'd')}, hl::kErrorMoreData, 261},
        {"string of 259 and its zero", Sz("v", std::string(259, 's')), hl::kErrorSuccess, 260},
        {"string of 260 and its zero", Sz("v", std::string(260, 's')), hl::kErrorMoreData, 261},
        {"no data", {"v", hl::kRegBinary, ""}, hl::kErrorSuccess, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SeedKey({c.value});
        hl::ScopedKey key(Raw());
        ASSERT_EQ(key.Open(hl::kTypedUrlsKey), hl::kErrorSuccess);
        const Enumerated got = EnumerateFirst(Raw(), key.get());
        EXPECT_EQ(got.result, c.result);
        if (c.result == hl::kErrorSuccess) {
            EXPECT_EQ(got.name, c.value.name);
        }
        if (c.dataLength || c.result == hl::kErrorSuccess) {
            EXPECT_EQ(got.dataLength, c.dataLength);
        }
        char name[hl::kTextBuffer];
        unsigned long nameLength = hl::kTextBuffer;
        EXPECT_EQ(Raw().RegEnumValueA(key.get(), 1, name, &nameLength, nullptr, nullptr, nullptr), hl::kErrorNoMoreItems);
    }
}

TEST_P(RegistryModel, NamesAreCaseBlindAndKeepTheirSpelling) {
    SeedKey({Sz("URL1", "http://first/"), Sz("url1", "http://second/")});
    EXPECT_EQ(TypedUrls(), (std::vector<RawValue>{Sz("URL1", "http://second/")}));
    hl::ScopedKey key(Raw());
    ASSERT_EQ(key.Open("software\\microsoft\\internet explorer\\typedurls"), hl::kErrorSuccess);
    EXPECT_EQ(Raw().RegDeleteValueA(key.get(), "Url1"), hl::kErrorSuccess);
    EXPECT_EQ(Raw().RegDeleteValueA(key.get(), "Url1"), hl::kErrorFileNotFound);
}

TEST_P(RegistryModel, KeysThatAreMissingDeletedOrHoldSubkeys) {
    hl::ScopedKey key(Raw());
    Raw().RegDeleteKeyA(hl::kTypedUrlsKey);
    EXPECT_EQ(key.Open(hl::kTypedUrlsKey), hl::kErrorFileNotFound);
    EXPECT_FALSE(key);

    SeedKey({Sz("url1", "http://one/")});
    SeedSubkey("Sub", {});
    EXPECT_NE(Raw().RegDeleteKeyA(hl::kTypedUrlsKey), hl::kErrorSuccess) << "a key with subkeys stays";
    ASSERT_EQ(Raw().RegDeleteKeyA((std::string(hl::kTypedUrlsKey) + "\\Sub").c_str()), hl::kErrorSuccess);

    ASSERT_EQ(key.Open(hl::kTypedUrlsKey), hl::kErrorSuccess);
    ASSERT_EQ(Raw().RegDeleteKeyA(hl::kTypedUrlsKey), hl::kErrorSuccess);
    // The handle outlives its key, and says so.
    EXPECT_EQ(EnumerateFirst(Raw(), key.get()).result, hl::kErrorKeyDeleted);
    const unsigned char byte = 'x';
    EXPECT_EQ(Raw().RegSetValueExA(key.get(), "url2", 0, hl::kRegBinary, &byte, 1), hl::kErrorKeyDeleted);
    EXPECT_EQ(key.Open(hl::kTypedUrlsKey), hl::kErrorFileNotFound);
}

TEST_P(RegistryModel, ProfileReadsOnlyIntegersOfFourBytes) {
    EXPECT_EQ(Raw().GetProfileIntA(hl::kSection, "http://none/", 7), 7u) << "no section at all";
    EXPECT_TRUE(Raw().WriteProfileInt(hl::kSection, "C:\\a\\b", 1));
    EXPECT_EQ(Raw().GetProfileIntA(hl::kSection, "c:\\A\\B", 0), 1u);
    EXPECT_EQ(Remembered("C:\\a\\b"), 1u);
    SeedProfile({"short", hl::kRegDword, std::string("\1\0", 2)});
    SeedProfile({"text", hl::kRegSz, std::string("1\0", 2)});
    SeedProfile({"long", hl::kRegQword, std::string("\1\0\0\0\0\0\0\0", 8)});
    for (const char* entry : {"short", "text", "long", "missing"}) EXPECT_EQ(Raw().GetProfileIntA(hl::kSection, entry, 5), 5u) << entry;
}

HL_CONTRACT_SUITE(RegistryModel);

}  // namespace
}  // namespace hltest
