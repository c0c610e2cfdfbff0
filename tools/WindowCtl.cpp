// A small driver for the run and screenshot scripts: starts the program and
// waits for its window, or sends a window a command, from outside.
//   windowctl start <exe>              prints the milliseconds until the main window
//                                      shows, then waits for the program to end
//   windowctl wait <caption> [ms]      waits until a window with that caption shows
//   windowctl gone <caption> [ms]      waits until no window with that caption is left
//   windowctl command <caption> <id>   posts the command of control <id>
//   windowctl rect <caption>           prints the window's place as WxH+X+Y
//   windowctl menu <caption> <first> <last>  selects rows first to last and opens
//                                      the list's context menu, by keyboard alone
//   windowctl key <caption> <vk>       a real press of that key (27: Escape) where the focus is
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/Driver.h"

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK Visit(HWND hWnd, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    if (!::IsWindowVisible(hWnd) || drive::TextOf(hWnd) != search->caption) return TRUE;
    // The main window is told from its message boxes by its list.
    if (!search->found || ::GetDlgItem(hWnd, IDC_LIST)) search->found = hWnd;
    return TRUE;
}

HWND Find(const char* caption) {
    Search search = {caption, nullptr};
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "windowctl: %s: %s\n", what, detail);
    return 1;
}

DWORD Number(const char* text) { return static_cast<DWORD>(std::strtoul(text, nullptr, 0)); }

int Start(const char* exe) {
    drive::HedgeloomRun run(exe);
    if (!run.Started()) return Fail("cannot start", exe);
    if (!run.WaitForMainWindow(true, 30000)) return Fail("no main window from", exe);
    std::printf("%lu\n", static_cast<unsigned long>(run.StartToWindowMs()));
    std::fflush(stdout);
    run.WaitForExit(INFINITE);
    return static_cast<int>(run.ExitCode());
}

bool MenuShown(DWORD processId) {
    for (HWND window : drive::TopLevelWindowsOf(processId))
        if (::IsWindowVisible(window) && drive::ClassOf(window) == "#32768") return true;
    return false;
}

int Menu(HWND window, int first, int last) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    // The list has the focus from the start; keys select without opening anything.
    drive::BringToFront(window);
    drive::TypeKey(VK_HOME);
    for (int row = 0; row < first; ++row) drive::TypeKey(VK_DOWN);
    for (int row = first; row < last; ++row) drive::TypeChord({VK_SHIFT}, VK_DOWN);
    drive::TypeChord({VK_SHIFT}, VK_F10);
    return drive::WaitUntil([&] { return MenuShown(processId); }, 5000) ? 0 : Fail("no menu", "came up");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Fail("usage", "start|wait|gone|command|rect|menu|key ...");
    const std::string verb = argv[1];
    if (verb == "start") return Start(argv[2]);

    const char* caption = argv[2];
    const DWORD timeout = argc > 3 && verb != "command" && verb != "menu" && verb != "key" ? Number(argv[3]) : 10000;
    if (verb == "gone") return drive::WaitUntil([&] { return !Find(caption); }, timeout) ? 0 : Fail("still open", caption);
    HWND window = nullptr;
    if (!drive::WaitUntil([&] { return (window = Find(caption)) != nullptr; }, timeout, 5))
        return Fail("no window", caption);
    if (verb == "wait") return 0;
    if (verb == "rect") {
        RECT rect;
        ::GetWindowRect(window, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
        return 0;
    }
    if (verb == "key" && argc > 3) {
        drive::TypeKey(static_cast<WORD>(Number(argv[3])));
        return 0;
    }
    if (verb == "menu" && argc > 4) return Menu(window, static_cast<int>(Number(argv[3])), static_cast<int>(Number(argv[4])));
    if (verb == "command" && argc > 3) {
        const int id = static_cast<int>(Number(argv[3]));
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
        return 0;
    }
    return Fail("unknown verb or missing argument", verb.c_str());
}
