#pragma once

#include <cstddef>
#include <string>

namespace hl {

// A value's data as the list shows it: the bytes up to the first zero, whatever
// the value's type, and never more than 259 characters.
std::string ValueText(const unsigned char* data, std::size_t size);

}  // namespace hl
