// The fixture of every end-to-end test: clean keys, a run of the program, the ways a user closes it; and what
// it must show and a pruning leave, from full exports of the registry, never from what the program reports.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ProductNames.h"
#include "driver/Driver.h"
#include "support/MemoryRegistry.h"
#include "support/Values.h"

namespace e2e {

using namespace drive;
using namespace hltest;
using hltest::Folded;

// The captions as a user reads them, written out on purpose rather than taken from the resource script.
inline constexpr const char kAppCaption[] = "Hedgeloom";
inline constexpr const char kAboutCaption[] = "About Hedgeloom";

enum class CloseBy { ExitButton, EscapeKey, EnterKey, AltF4 };
const char* NameOf(CloseBy how);

// The program and our stand-in for the browser (recorder.exe); main() finds them.
inline std::string g_hedgeloomExe, g_recorderExe;

class HedgeloomTest : public testing::Test {
protected:
    void SetUp() override;

    // The key as the browser numbers it, url1 holding the first address.
    void SeedTypedUrls(const std::vector<std::string>& addresses, const std::vector<std::string>& checked = {});

    void Start(bool visible = true);
    HedgeloomRun& Run() { return *m_run; }
    RemoteListView List() const { return m_run->List(); }
    void Press(int id);
    // Waits for the process to end, or only for the window to go, then starts again, the old run in m_closing.
    void Close(CloseBy how, bool startAgain = false);

    // Makes the recorder the shell's "open" for http and https: every address opened is a line of its log.
    void RecordOpens();
    // The addresses opened so far, once there are `count` of them or time is up.
    std::vector<std::string> Opened(std::size_t count = 0) const;

    // Runs the program from a command line to its end, which must come in time and without a window.
    CommandRun Command(const std::string& arguments);
    // A point on the row's address near its start (the column is wider than the list shows), scrolled into view.
    POINT OnAddress(int row) const;

    // The profile holds each row's exact address and its mark (set if any row of it is) as a DWORD, and nothing else.
    testing::AssertionResult Remembers(const std::vector<Row>& rows) const;
    // Every value of a key; one the registry would not give is a failure.
    std::vector<RegValue> Export(const std::string& path) const;
    // The browser's key, its stamps and the profile: what a run that changes nothing leaves alone.
    std::vector<std::vector<RegValue>> Keys() const;

    Registry m_registry;
    Registry m_machine{HKEY_LOCAL_MACHINE};  // for the organization's policy
    std::unique_ptr<HedgeloomRun> m_closing;

private:
    std::unique_ptr<HedgeloomRun> m_run;
};

// The program runs with UTF-8 as its ANSI code page, and so do these tests: texts compare as bytes.
inline constexpr hltest::CodePage kProgramCodePage = hltest::CodePage::Utf8;

// Compared item by item, so that a long list reports where it goes wrong.
template <typename T>
testing::AssertionResult SameItems(const std::vector<T>& actual, const std::vector<T>& expected) {
    const auto differ = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (differ.first == actual.end() && differ.second == expected.end()) return testing::AssertionSuccess();
    testing::AssertionResult fault = testing::AssertionFailure();
    fault << actual.size() << " items, " << expected.size() << " expected; item " << (differ.first - actual.begin());
    if (differ.first != actual.end()) fault << " is " << *differ.first;
    if (differ.second != expected.end()) fault << ", should be " << *differ.second;
    return fault;
}

// The rows from the top: the values that fit, checked where the profile holds a 32-bit 1.
std::vector<Row> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile);

// The key after a pruning kept these rows: they as url1..urlN, the values not listed with type and bytes unchanged.
testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before, const std::vector<Row>& kept,
                                        const std::vector<RegValue>& after);

// What `/list` must write of these rows, a line each: mark, name, address, when last typed by the stamp of
// their name, apart by tabs.
std::string ExpectedListing(const std::vector<Row>& rows, const std::vector<RegValue>& stamps);

}  // namespace e2e
