#include "ValueText.h"

#include <algorithm>

#include "ProgramNames.h"
#include "RegistryOps.h"

namespace hl {

std::string ValueText(const unsigned char* data, std::size_t size) {
    const unsigned char* end = std::find(data, data + size, '\0');
    const std::size_t length = std::min<std::size_t>(end - data, kTextBuffer - 1);
    return std::string(reinterpret_cast<const char*>(data), length);
}

}  // namespace hl
