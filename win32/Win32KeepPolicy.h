// The keep policy as Group Policy writes it: the string values of the policy key
// under HKEY_LOCAL_MACHINE and under HKEY_CURRENT_USER, read in their wide form.
#pragma once

#include "KeepPolicy.h"

namespace hl {

class Win32KeepPolicy final : public IKeepPolicy {
public:
    bool ReadPatterns(std::vector<std::u16string>& patterns) override;
};

}  // namespace hl
