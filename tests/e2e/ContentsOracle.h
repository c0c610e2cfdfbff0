// What the program must show of whatever the browser's key holds, and what a
// pruning must leave of it, worked out from full exports of the registry
// rather than from anything the program itself reports.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver/Registry.h"
#include "driver/RemoteListView.h"
#include "support/MemoryRegistry.h"
#include "support/Values.h"

namespace e2e {

using namespace drive;
using namespace hltest;
using hltest::Folded;
using hltest::ShownText;

// The program runs with UTF-8 as its ANSI code page, and so do these tests, so
// that the text they read from its list and from the registry compare as bytes.
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

// The values of a key whatever order the registry enumerates them in.
template <typename Value>
std::vector<Value> ByName(std::vector<Value> values) {
    std::sort(values.begin(), values.end(), [](const Value& a, const Value& b) { return a.name < b.name; });
    return values;
}

// The rows from the top: the fitting values in the reverse of the order in
// which the registry enumerates them, checked where the profile holds a 32-bit
// 1 for the address.
std::vector<Row> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile);

// The key after a pruning that kept these rows, top first: the rows as url1..urlN
// and every value the list could not show with its type and bytes unchanged.
testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before, const std::vector<Row>& kept,
                                        const std::vector<RegValue>& after);

// The profile after a close without pruning: every listed address holds its
// row's check mark (checked if any of its rows is) as a 32-bit integer; every
// other entry is as it was.
testing::AssertionResult RememberedAsItMust(const std::vector<RegValue>& before,
                                            const std::vector<Row>& rows,
                                            const std::vector<RegValue>& after);

// What `/list` must write of these rows, top first, one line each: the mark,
// the name, the address and when it was last typed (lastTyped[i], a FILETIME
// or 0 for none), apart by tabs.
std::vector<std::string> ExpectedListing(const std::vector<Row>& rows, const std::vector<unsigned long long>& lastTyped);
// The lines of a program's output, each without its CR LF; a last line without one is reported as such.
std::vector<std::string> LinesOf(const std::string& output);

}  // namespace e2e
