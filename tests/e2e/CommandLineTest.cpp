// From the command line, every refusal and failure has its own status and its own words, never a window, and
// changes nothing (a key it cannot save: it keeps what the user kept, no more).
#include "HedgeloomTest.h"
#include "Win32WriterLock.h"

#include <sddl.h>  // after windows.h

namespace e2e {
namespace {

// A key closed to everyone, as an administrator's mistake would leave it, until this goes.
struct DeniedKey {
    DeniedKey(const std::string& path, const char* deny) : path(path) {
        EXPECT_TRUE(Registry().CreateKey(path)) << path;
        Set(std::string("D:P(D;;") + deny + ";;;WD)(A;;KA;;;WD)");
    }
    ~DeniedKey() { Set("D:P(A;;KA;;;WD)"); }
    void Set(const std::string& sddl) const {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        HKEY key = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS) << path;
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS) << sddl;
        RegCloseKey(key);
        LocalFree(descriptor);
    }
    const std::string path;
};

using CommandLineTest = HedgeloomTest;

TEST_F(CommandLineTest, EveryRefusalAndFailureHasItsStatusAndChangesNothing) {
    enum Obstacle { kNone, kBrowser, kOtherCopy, kUnwritableKey, kUnreadablePolicy };
    // The arguments, what stands in the way, the exit status and the output's first line.
    const struct Case { const char* arguments; Obstacle obstacle; DWORD status; const char* says; } cases[] = {
        {"/prune", kBrowser, 3, "Internet Explorer is running: nothing was pruned."},
        {"/?", kNone, 0, "Hedgeloom prunes the addresses Internet Explorer remembers as typed."},
        {"/pr\xC2\xADune", kNone, 2, "Unknown argument: /pr\xC2\xADune"},  // a soft hyphen inside
        {"/prune /list", kNone, 2, "One argument at a time, not: /prune /list"},
        {"/prune", kOtherCopy, 1, "Another Hedgeloom is changing Internet Explorer's typed addresses."},
        {"/prune", kUnwritableKey, 1, "The typed addresses could not be saved."},
        {"/prune", kUnreadablePolicy, 1, "Nothing was deleted: the addresses your organization always keeps could not be read."},
        {"/list", kUnreadablePolicy, 1, "Nothing was listed: the addresses your organization always keeps could not be read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments << ", obstacle " << c.obstacle);
        ASSERT_NO_FATAL_FAILURE(SetUp());
        ASSERT_NO_FATAL_FAILURE(SeedTypedUrls({"http://one.example.com/", "http://two.example.com/"}, {"http://two.example.com/"}));
        ASSERT_TRUE(m_registry.Set(hl::kTypedUrlsTimeKey, {"url1", REG_BINARY, std::string("\x78\x56\x34\x12\x0F\x5E\xDA\x01", 8)}));
        std::vector<std::vector<RegValue>> after = Keys();
        const Window browser = c.obstacle == kBrowser ? FakeBrowser() : Window(nullptr, DestroyWindow);
        // The lock another copy holds while it prunes; it outlasts the program's wait.
        hl::Win32WriterLock otherCopy{hl::kWriterLockName, 0};
        ASSERT_TRUE(c.obstacle != kOtherCopy || otherCopy.Lock());
        std::unique_ptr<DeniedKey> denied;
        // The stamps cannot be moved: the unchecked address is gone, the kept one is not renumbered.
        if (c.obstacle == kUnwritableKey) {
            denied = std::make_unique<DeniedKey>(hl::kTypedUrlsTimeKey, "0x6");  // set, create
            after[0] = {Sz("url2", "http://two.example.com/")};
        }
        if (c.obstacle == kUnreadablePolicy) denied = std::make_unique<DeniedKey>(hl::kKeepPolicyKey, "KR");
        const CommandRun run = Command(c.arguments);
        denied.reset();
        if (c.obstacle == kOtherCopy) otherCopy.Unlock();
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_EQ(run.output.substr(0, run.output.find("\r\n")), c.says);
        EXPECT_EQ(run.output.substr(run.output.size() - std::min<std::size_t>(run.output.size(), 2)), "\r\n") << "the last line unended";
        EXPECT_TRUE(c.status != 2 || run.output.find("Hedgeloom /prune") != std::string::npos) << "no usage text";
        EXPECT_EQ(Keys(), after) << "the key, its stamps and the profile";
        EXPECT_FALSE(m_registry.KeyExists(hl::kJournalKey)) << "a journal was left behind";
    }
}

}  // namespace
}  // namespace e2e
