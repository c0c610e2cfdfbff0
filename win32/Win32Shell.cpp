#include "Win32Shell.h"

#include <windows.h>

namespace hl {

static_assert(kSwShowNormal == SW_SHOWNORMAL);

void Win32Shell::ShellExecuteA(const char* verb, const char* file, int showCommand) {
    // SHELL32 comes with the first address opened, not with every start: loading
    // it is most of what a start costs beyond its window under Wine. It stays.
    using Execute = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    const HMODULE shell32 = ::LoadLibraryA("shell32.dll");
    const auto execute = shell32 ? reinterpret_cast<Execute>(reinterpret_cast<void (*)()>(
                                       ::GetProcAddress(shell32, "ShellExecuteA")))
                                 : nullptr;
    if (execute) execute(nullptr, verb, file, nullptr, nullptr, showCommand);  // failures stay quiet
}

}  // namespace hl
