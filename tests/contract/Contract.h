// The fixture of the test cases that every binding must pass: the typed-address
// logic over a binding's registry (behind fault injection) and list.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ProductNames.h"
#include "RowList.h"
#include "TypedUrlHistory.h"
#include "contract/Binding.h"
#include "support/FaultyRegistry.h"
#include "support/Values.h"

namespace hltest {

using Opened = std::vector<std::tuple<std::string, std::string, int>>;  // verb, file, show command

class RecordingShell final : public hl::IShell {
public:
    void ShellExecuteA(const char* verb, const char* file, int showCommand) override {
        opened.emplace_back(verb, file, showCommand);
    }
    Opened opened;
};

// The organization's keep-list as a test sets it: both policy keys' patterns at once.
class MemoryKeepPolicy final : public hl::IKeepPolicy {
public:
    bool ReadPatterns(std::vector<std::u16string>& out) override {
        out = patterns;
        return readable;
    }
    std::vector<std::u16string> patterns;
    bool readable = true;
};

class History final : public hl::CTypedUrlHistory {
public:
    History(hl::IRegistry& registry, hl::IAddressList& list, hl::IShell& shell)
        : CTypedUrlHistory(registry, list, shell) {}
    std::vector<std::string> messages;

private:
    void ShowMessage(const char* text) override { messages.emplace_back(text); }
};

// A key's values in the order the registry enumerates them, read with room for anything.
std::vector<RegValue> ReadValues(hl::IRegistry& registry, const std::string& path, bool* exists = nullptr);
// Creates the key if need be and writes the values into it in this order.
void WriteValues(hl::IRegistry& registry, const std::string& path, const std::vector<RegValue>& values);

// The same in the registry's own wide form, names and bytes exactly as kept.
std::vector<WideValue> ReadWide(hl::IRegistry& registry, const std::string& path, bool* exists = nullptr);
void WriteWide(hl::IRegistry& registry, const std::string& path, const std::vector<WideValue>& values);

// The profile after a pruning: each kept address remembered as checked.
std::vector<RegValue> Remembered(const std::vector<Row>& kept);

// The list's rows, top first.
std::vector<Row> RowsOf(hl::IAddressList& list);

// How long a copy waits for another that holds the writer lock, unless a case says otherwise.
inline constexpr unsigned long kLockWaitMs = 5000;

class Contract : public testing::TestWithParam<BindingKind> {
protected:
    void SetUp() override;
    void TearDown() override { Reset(); }

    hl::IRegistry& Raw() { return binding->Registry(); }  // for seeding and reading back, never failing
    hl::IAddressList& List() { return binding->List(); }
    // Closes the window and starts again with fresh fault injection, once no key is left open.
    void Reset();
    // Makes the typed-address key afresh with these values, written in this order, and loads the list.
    void Load(const std::vector<RegValue>& values);
    void SetChecks(const std::vector<bool>& checks);
    // Checks every row but those whose text in the column is one of these, through "Check All".
    void KeepAllBut(int column, const std::vector<std::string>& texts);
    std::vector<Row> Rows() { return RowsOf(List()); }
    // The rows the user keeps: the checked ones, top first.
    std::vector<Row> Kept();
    std::vector<bool> Checks();
    std::vector<RegValue> TypedUrls(bool* exists = nullptr) { return ReadValues(Raw(), hl::kTypedUrlsKey, exists); }
    void Remember(const RegValue& entry) { WriteValues(Raw(), hl::kSectionKey, {entry}); }
    std::vector<RegValue> Marks() { return ReadValues(Raw(), hl::kSectionKey); }  // the profile's
    bool JournalLeft() {
        bool exists = false;
        ReadValues(Raw(), hl::kJournalKey, &exists);
        return exists;
    }
    void CloseWindow() { binding->CloseWindow(); }

    std::unique_ptr<Binding> binding;
    std::unique_ptr<FaultyRegistry> faulty;
    RecordingShell shell;
    std::unique_ptr<History> history;
    std::shared_ptr<hl::IWriterLock> lock;  // the history's: this copy's
    MemoryKeepPolicy policy;                // the history's; none unless a case sets one
    hl::CTypedUrlHistory* removalsTo = nullptr;  // who hears of the list's removals instead of history
};

std::string BindingName(const testing::TestParamInfo<BindingKind>& info);
#define HL_CONTRACT_SUITE(suite) \
    INSTANTIATE_TEST_SUITE_P(On, suite, testing::ValuesIn(Bindings()), BindingName)

}  // namespace hltest
