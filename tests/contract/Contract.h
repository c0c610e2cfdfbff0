// The fixture of the test cases that every binding must pass: the typed-address
// logic over a binding's registry (behind fault injection) and list.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "TypedUrlHistory.h"
#include "contract/Binding.h"
#include "support/FaultyRegistry.h"

namespace hltest {

struct RawValue {
    std::string name;
    unsigned long type = hl::kRegSz;
    std::string data;  // the bytes as stored
    bool operator==(const RawValue& o) const { return name == o.name && type == o.type && data == o.data; }
};
std::ostream& operator<<(std::ostream& out, const RawValue& value);

// A string value as the browser writes it: the text and its terminating zero.
RawValue Sz(const std::string& name, const std::string& text);

struct Row {
    std::string address;
    std::string name;
    bool checked = false;
    bool operator==(const Row& o) const {
        return address == o.address && name == o.name && checked == o.checked;
    }
};
std::ostream& operator<<(std::ostream& out, const Row& row);

class RecordingShell final : public hl::IShell {
public:
    void ShellExecuteA(const char* verb, const char* file, int showCommand) override {
        opened.emplace_back(verb, file, showCommand);
    }
    std::vector<std::tuple<std::string, std::string, int>> opened;
};

class History final : public hl::CTypedUrlHistory {
public:
    History(hl::IRegistry& registry, hl::IAddressList& list, hl::IShell& shell)
        : CTypedUrlHistory(registry, list, shell) {}
    std::vector<std::string> messages;

private:
    void ShowMessage(const char* text) override { messages.emplace_back(text); }
};

class Contract : public testing::TestWithParam<BindingKind> {
protected:
    void SetUp() override;
    void TearDown() override;

    hl::IRegistry& Raw() { return binding->Registry(); }  // for seeding and reading back, never failing
    hl::IAddressList& List() { return binding->List(); }

    // The typed-address key, made afresh with these values written in this order.
    void SeedKey(const std::vector<RawValue>& values);
    void SeedSubkey(const std::string& name, const std::vector<RawValue>& values);
    void SeedProfile(const RawValue& entry);
    void Remember(const std::string& address, unsigned number);
    // A key's values in the order the registry enumerates them.
    std::vector<RawValue> ReadKey(const std::string& path, bool* exists = nullptr);
    std::vector<RawValue> TypedUrls(bool* exists = nullptr) { return ReadKey(hl::kTypedUrlsKey, exists); }
    std::vector<std::string> EnumeratedNames(const std::string& path = hl::kTypedUrlsKey);
    std::optional<unsigned> Remembered(const std::string& address);
    bool SectionExists();

    std::vector<Row> Rows();
    // Seeds the key and loads the list from it.
    void Load(const std::vector<RawValue>& values);
    void SetChecks(const std::vector<bool>& checks);
    void CloseWindow() { binding->CloseWindow(); }
    // Closes the window and starts again with fresh fault injection and no removals seen.
    void Reset();
    std::string Address(const std::string& name);  // the seeded text of a value, by name

    struct Removal {
        std::string address;
        bool checked;
    };

    std::unique_ptr<Binding> binding;
    std::unique_ptr<FaultyRegistry> faulty;
    RecordingShell shell;
    std::unique_ptr<History> history;
    std::vector<Removal> removals;
    std::vector<RawValue> seeded;
};

// A key's values in the order the registry enumerates them, read with room for anything.
std::vector<RawValue> ReadValues(hl::IRegistry& registry, const std::string& path, bool* exists = nullptr);
// Creates the key if need be and writes the values into it in this order.
void WriteValues(hl::IRegistry& registry, const std::string& path, const std::vector<RawValue>& values);

std::string BindingName(const testing::TestParamInfo<BindingKind>& info);
#define HL_CONTRACT_SUITE(suite) \
    INSTANTIATE_TEST_SUITE_P(On, suite, testing::ValuesIn(Bindings()), BindingName)

// Rows top first for values that the registry enumerated in the given order.
std::vector<Row> RowsFor(const std::vector<RawValue>& enumerated);
// The list's text for a value's data: up to the first zero, at most 259 characters.
std::string ShownText(const std::string& data);
bool Fits(const RawValue& value);

}  // namespace hltest
