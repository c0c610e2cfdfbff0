#pragma once

#include "Shell.h"

namespace hl {

// The shell's "open" over ShellExecuteA, handing the text on exactly as given.
class Win32Shell final : public IShell {
public:
    void ShellExecuteA(const char* verb, const char* file, int showCommand) override;
};

}  // namespace hl
