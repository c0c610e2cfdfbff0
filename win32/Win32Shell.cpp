#include "Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace hl {

static_assert(kSwShowNormal == SW_SHOWNORMAL);

void Win32Shell::ShellExecuteA(const char* verb, const char* file, int showCommand) {
    ::ShellExecuteA(nullptr, verb, file, nullptr, nullptr, showCommand);  // failures stay quiet
}

}  // namespace hl
