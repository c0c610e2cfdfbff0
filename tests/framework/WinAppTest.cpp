// The application object's name and its profile in the real registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "WinApp.h"

namespace {

constexpr char kKeyName[] = "HedgeloomFrameworkTest";
constexpr char kProfileRoot[] = "Software\\HedgeloomFrameworkTest";
constexpr char kSectionKey[] = "Software\\HedgeloomFrameworkTest\\Profile\\Section";

class CTestApp : public CWinApp {
public:
    using CWinApp::CWinApp;
};

void ReplaceProfileName(CWinApp& app, const char* name) {
    std::free(const_cast<char*>(app.m_pszProfileName));
    app.m_pszProfileName = _strdup(name);
}

void StoreRaw(const char* entry, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, entry, 0, type, data.data(), static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
}

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kProfileRoot);
        m_app.SetRegistryKey(kKeyName);
        ReplaceProfileName(m_app, "Profile");
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kProfileRoot); }

    CTestApp m_app;
};

struct StoredEntry {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    UINT expected;
};

void PrintTo(const StoredEntry& value, std::ostream* os) { *os << value.what; }

class ProfileRead : public Profile, public ::testing::WithParamInterface<StoredEntry> {};

TEST_P(ProfileRead, OnlyA32BitIntegerCounts) {
    const StoredEntry& e = GetParam();
    StoreRaw("entry", e.type, e.data);
    EXPECT_EQ(m_app.GetProfileIntA("Section", "entry", 5), e.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ProfileRead,
    ::testing::Values(StoredEntry{"one", REG_DWORD, {1, 0, 0, 0}, 1},
                      StoredEntry{"large", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFEu},
                      StoredEntry{"zero", REG_DWORD, {0, 0, 0, 0}, 0},
                      StoredEntry{"text", REG_SZ, {'1', 0}, 5},
                      StoredEntry{"binary", REG_BINARY, {1, 0, 0, 0}, 5},
                      StoredEntry{"qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, 5},
                      StoredEntry{"short", REG_DWORD, {1, 0}, 5},
                      StoredEntry{"long", REG_DWORD, {1, 0, 0, 0, 0}, 5},
                      StoredEntry{"empty", REG_DWORD, {}, 5}),
    [](const ::testing::TestParamInfo<StoredEntry>& info) { return std::string(info.param.what); });

TEST_F(Profile, MissingEntryOrSectionReadsAsTheDefault) {
    EXPECT_EQ(m_app.GetProfileIntA("Section", "entry", 3), 3u);
    ASSERT_TRUE(m_app.WriteProfileInt("Section", "other", 1));
    EXPECT_EQ(m_app.GetProfileIntA("Section", "entry", 3), 3u);
    EXPECT_EQ(m_app.GetProfileIntA("Elsewhere", "other", -1), static_cast<UINT>(-1));
}

TEST_F(Profile, WritesCreateTheKeysAndStoreADword) {
    const std::vector<std::pair<const char*, int>> writes = {
        {"http://example.com/a\\b", 1}, {"plain", 0}, {"", 7}, {"plain", 1}};
    for (const auto& w : writes) EXPECT_TRUE(m_app.WriteProfileInt("Section", w.first, w.second));

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSectionKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& expected : std::vector<std::pair<const char*, DWORD>>{
             {"http://example.com/a\\b", 1}, {"plain", 1}, {"", 7}}) {
        DWORD type = 0, value = 0, size = sizeof value;
        EXPECT_EQ(::RegQueryValueExA(key, expected.first, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
                  ERROR_SUCCESS)
            << expected.first;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(value, expected.second) << expected.first;
        EXPECT_EQ(m_app.GetProfileIntA("Section", expected.first, 9), expected.second) << expected.first;
    }
    ::RegCloseKey(key);
}

TEST(WinApp, NameComesFromTheExecutableUnlessGiven) {
    {
        CTestApp app;
        EXPECT_STREQ(app.m_pszAppName, "framework_tests");
        EXPECT_EQ(AfxGetApp(), &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    CTestApp named("Named");
    EXPECT_STREQ(named.m_pszAppName, "Named");
}

TEST(WinApp, RegistryKeyMakesTheProfileACopyOfTheName) {
    CTestApp app("Sample");
    EXPECT_EQ(app.m_pszProfileName, nullptr);
    EXPECT_EQ(app.GetProfileIntA("Section", "entry", 4), 4u);
    EXPECT_FALSE(app.WriteProfileInt("Section", "entry", 1));  // nowhere to keep it yet

    app.SetRegistryKey(kKeyName);
    EXPECT_STREQ(app.m_pszRegistryKey, kKeyName);
    ASSERT_STREQ(app.m_pszProfileName, "Sample");
    EXPECT_NE(app.m_pszProfileName, app.m_pszAppName);
    EXPECT_TRUE(app.WriteProfileInt("Section", "entry", 1));
    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\HedgeloomFrameworkTest\\Sample\\Section", 0, KEY_READ,
                              &key),
              ERROR_SUCCESS);
    if (key) ::RegCloseKey(key);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProfileRoot);
}

}  // namespace
