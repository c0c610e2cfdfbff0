// When the browser last saw an address typed, as a script reads it.
#pragma once

#include <cstdint>
#include <string>

namespace hl {

// A FILETIME as ISO 8601 in UTC, to the second: 2024-02-29T13:05:09Z.
std::string IsoTime(std::uint64_t fileTime);

}  // namespace hl
