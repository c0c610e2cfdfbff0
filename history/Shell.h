// The shell's "open", the one call through which addresses leave the program.
#pragma once

namespace hl {

inline constexpr int kSwShowNormal = 1;

class IShell {
public:
    // Opens file with the verb, no owner window, no parameters, no directory.
    virtual void ShellExecuteA(const char* verb, const char* file, int showCommand) = 0;

protected:
    ~IShell() = default;
};

// Opens the maker's web site; needs nothing of a window.
void OnVisitSite(IShell& shell);

}  // namespace hl
