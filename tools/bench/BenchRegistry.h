// The registry as every measured run finds it: the browser's key with N
// addresses as url1..urlN, every other one remembered as checked, so that the
// unchecked half is spread over the whole list.
#pragma once

#include <string>
#include <vector>

#include "driver/Driver.h"

namespace bench {

// An address of the kinds people type: sites, deep links, queries, intranet paths.
std::string PlausibleAddress(int number);

void SeedTypedUrls(int count);

// What a pruning of that key must leave: the checked addresses, in the key as
// url1..urlN, in the profile (after closing) each with 1.
struct PruneOutcome {
    std::vector<drive::RegValue> key;
    std::vector<drive::RegValue> profile;
};
PruneOutcome ReadOutcome();

// Empty when the outcome is what seeding `count` addresses must give, else why not.
std::string CheckOutcome(const PruneOutcome& outcome, int count);

}  // namespace bench
