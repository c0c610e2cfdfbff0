// The pure functions behind what a script reads and what it may type: the time
// column, the list's fields, the switches, and the organization's patterns.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>

#include "CommandLine.h"
#include "IsoTime.h"
#include "KeepPolicy.h"
#include "ProductNames.h"

namespace hltest {
namespace {

// The C library's own calendar, which shares no arithmetic with the program's.
std::string LibraryIsoTime(std::time_t unixSeconds) {
    std::tm parts{};
    gmtime_r(&unixSeconds, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

TEST(TextTables, IsoTimeOnEveryDayOfALeapYearAndAtTheEndsOfYears) {
    constexpr std::int64_t kFileTimeEpoch = 11644473600;  // 1601-01-01 to 1970-01-01, in seconds
    std::vector<std::time_t> moments;
    std::tm first{};
    first.tm_year = 2024 - 1900;
    first.tm_mday = 1;
    const std::time_t start = timegm(&first);
    // Each day of 2024 at a moment that moves through the clock, and the first second of 2025.
    for (int day = 0; day <= 366; ++day) moments.push_back(start + day * 86400 + (day * 3917) % 86400);
    for (const int year : {1601, 1900, 2000, 2001, 2100, 2400, 30827}) {
        std::tm end{};
        end.tm_year = year - 1900;
        end.tm_mday = 1;
        const std::time_t newYear = timegm(&end);
        moments.insert(moments.end(), {newYear - 1, newYear, newYear + 59 * 86400 - 1, newYear + 59 * 86400});
    }
    for (const std::time_t moment : moments) {
        const std::string expected = LibraryIsoTime(moment);
        const std::uint64_t fileTime = static_cast<std::uint64_t>(moment + kFileTimeEpoch) * 10000000u + 9999999u;
        if (moment + kFileTimeEpoch < 0) continue;  // before 1601: no FILETIME
        EXPECT_EQ(hl::IsoTime(fileTime), expected) << fileTime;
    }
}

TEST(TextTables, SwitchesAreExactWordsIgnoringTheCaseOfAToZAlone) {
    using K = hl::CommandKind;
    const struct {
        std::vector<std::string> arguments;
        K kind;
    } known[] = {{{}, K::Window},         {{"/prune"}, K::Prune}, {{"-PRUNE"}, K::Prune}, {{"/PrUnE"}, K::Prune},
                 {{"/list"}, K::List},    {{"-LiSt"}, K::List},   {{"/?"}, K::Usage},     {{"-?"}, K::Usage}};
    for (const auto& c : known) {
        const hl::Command command = hl::ParseCommandLine(c.arguments);
        EXPECT_EQ(command.kind, c.kind) << testing::PrintToString(c.arguments);
        EXPECT_EQ(command.complaint, "");
    }
    // A soft hyphen inside, a dotless i, a dotted capital I, and near misses.
    for (const char* word : {"/pr\xC2\xADune", "/l\xC4\xB1st", "/L\xC4\xB0ST", "/prun", "/prunes", "/prune ", "prune",
                             "//prune", "/", ""}) {
        const hl::Command command = hl::ParseCommandLine({word});
        EXPECT_EQ(command.kind, K::Wrong) << word;
        EXPECT_EQ(command.complaint, std::string("Unknown argument: ") + word);
    }
    const hl::Command two = hl::ParseCommandLine({"/list", "/prune"});
    EXPECT_EQ(two.kind, K::Wrong);
    EXPECT_EQ(two.complaint, "One argument at a time, not: /list /prune");
}

TEST(TextTables, PatternsMatchTheWholeAddressWithWildcardsAndFoldedCase) {
    const struct {
        std::u16string pattern;
        std::string address;  // UTF-8
        bool matches;
    } cases[] = {
        {u"http://intranet/", "http://intranet/", true}, {u"http://intranet/", "xhttp://intranet/", false},
        {u"http://intranet/", "http://intranet/x", false},  // the whole address
        {u"http://intranet/*", "http://intranet/", true}, {u"http://intranet/*", "http://intranet/a/b?c", true},
        {u"*intranet*", "https://www.intranet.example/", true}, {u"*", "", true}, {u"?", "", false},
        {u"http://?.example/", "http://a.example/", true}, {u"http://?.example/", "http://ab.example/", false},
        {u"http://?.example/", "http://\xF0\x9F\xA6\x94.example/", true},  // one character beyond the BMP
        {u"*a*b*c", "xaxbxbxc", true}, {u"*a*b*c", "xaxbxcx", false}, {u"a*a*a", "aaaa", true}, {u"**?**", "z", true},
        {u"HTTP://Intranet.CORP/*", "http://INTRANET.corp/Page", true},
        {u"http://caf\u00e9.example/", "http://CAF\xC3\x89.example/", true},                  // Latin-1
        {u"http://\u0142\u00f3d\u017a.example/", "http://\xC5\x81\xC3\x93" "D\xC5\xB9.example/", true},  // Latin Extended-A
        {u"az\u00e0\u00fe\u0101\u012f\u0133\u0137\u014b\u0177\u013a\u0148\u017a\u017e\u03b1\u03cb\u0430\u044f\u0450\u045f", "AZ\xC3\x80\xC3\x9E\xC4\x80\xC4\xAE\xC4\xB2\xC4\xB6\xC5\x8A\xC5\xB6\xC4\xB9\xC5\x87\xC5\xB9\xC5\xBD\xCE\x91\xCE\xAB\xD0\x90\xD0\xAF\xD0\x80\xD0\x8F", true},  // every run's first and last pair
        {u"\u0131", "\xC4\xB0", false}, {u"\U00010000\U0001F994\U0010FFFD", "\xF0\x90\x80\x80\xF0\x9F\xA6\x94\xF4\x8F\xBF\xBD", true},
        {u"http://\u043f\u0440\u0438\u043c\u0435\u0440.\u0440\u0444/", "http://\xD0\x9F\xD0\xA0\xD0\x98\xD0\x9C\xD0\x95\xD0\xA0.\xD0\xA0\xD0\xA4/", true},
        {u"http://\u03b1\u03b2/", "http://\xCE\x91\xCE\x92/", true},  // Greek
        {u"http://stra\u00dfe/", "http://STRASSE/", false},      // no folding that changes a length
        {u"\u00df", "\xC3\xBF", false}, {u"\u00d7", "\xC3\xB7", false},  // nor one of a sign without a pair
        {u"http://a/", "http://\xC3\xA0/", false},                // accents are kept
        {u"http://x/?", "http://x/\xFF", true},                   // a byte that is no UTF-8 is one character
        {u"[a]", "a", false},                                     // nothing but * and ? is special
    };
    for (const auto& c : cases)
        EXPECT_EQ(hl::MatchesPattern(hl::CharactersOf(c.pattern), hl::CharactersOfUtf8(c.address)), c.matches)
            << c.address;
}

std::string FileText(const std::string& path) {
    std::ifstream file(std::string(HL_SOURCE_DIR) + "/" + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Group Policy writes a <list> without a value prefix, nor names of its own, as REG_SZ values
// named 1, 2, ... under its key: the one policy's key, what the program reads, for users and machines.
TEST(AdministrativeTemplates, NameTheKeyAndTheValueFormTheProgramReads) {
    const std::string admx = FileText("res/policy/Hedgeloom.admx"), adml = FileText("res/policy/en-US/Hedgeloom.adml");
    const std::string key = std::string(" key=\"") + hl::kKeepPolicyKey + "\"";
    const std::size_t policy = admx.find("<policy "), list = admx.find("<list ");
    EXPECT_EQ(admx.find("<policy ", policy + 1), std::string::npos) << "one policy";
    const std::string policyElement = admx.substr(policy, admx.find('>', policy) - policy);
    EXPECT_TRUE(policyElement.find(key) != std::string::npos && policyElement.find(" class=\"Both\"") != std::string::npos);
    EXPECT_EQ(admx.substr(list, admx.find('>', list) - list), "<list id=\"KeepAddressesList\"" + key + " /");
    EXPECT_NE(adml.find("<listBox refId=\"KeepAddressesList\">"), std::string::npos);
    EXPECT_NE(adml.find("<string id=\"KeepAddresses\">Addresses always kept</string>"), std::string::npos);
}

}  // namespace
}  // namespace hltest
