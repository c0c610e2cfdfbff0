// What the program must show of whatever the browser's key holds, and what a
// pruning must leave of it, worked out from full exports of the registry
// rather than from anything the program itself reports.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/Registry.h"
#include "driver/RemoteListView.h"

namespace e2e {

using namespace drive;

// Value names and profile entries compare without regard to case.
std::string Folded(std::string name);
// The addresses of the rows, top first.
std::vector<std::string> UrlsOf(const std::vector<ListRow>& rows);

// The list holds names and addresses of at most 259 characters, read into
// buffers of 260; what does not fit is not listed.
bool Fits(const RegValue& value);
// The address a value shows: its bytes up to the first zero, at most 259.
std::string ShownText(const std::string& data);

// The rows from the top: the fitting values in the reverse of the order in
// which the registry enumerates them, checked where the profile holds a 32-bit
// 1 for the address.
std::vector<ListRow> ExpectedRows(const std::vector<RegValue>& key, const std::vector<RegValue>& profile);

// The key after a pruning: the kept addresses as url1..urlN from the top, and
// every value the list could not show with its type and bytes unchanged, under
// its own name or, if it was numbered url<digits>, under a number past N.
// Nothing else.
testing::AssertionResult PrunedAsItMust(const std::vector<RegValue>& before,
                                        const std::vector<std::string>& keptTopDown,
                                        const std::vector<RegValue>& after);

// The profile after a close without pruning: every listed address holds its
// row's check mark as a 32-bit integer; every other entry is as it was.
testing::AssertionResult RememberedAsItMust(const std::vector<RegValue>& before,
                                            const std::vector<ListRow>& rows,
                                            const std::vector<RegValue>& after);

}  // namespace e2e
