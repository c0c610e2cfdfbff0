// What can be read of another process's windows from outside: class, text, styles, children in tab order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drive {

struct ControlFacts {
    HWND hwnd;
    int id;  // as GetDlgCtrlID gives it; a template's -1 may read as 0xFFFF
    std::string className;
    std::string text;
    DWORD style;
    DWORD exStyle;
};

// A message to another process's window, given up on in time so that a hung program fails a test rather
// than hangs it; `ok` tells which.
LRESULT SendTimed(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, bool* ok = nullptr);

std::string ClassOf(HWND hwnd);
std::string TextOf(HWND hwnd);
// Direct children, first to last: the order in which the template lists them.
std::vector<ControlFacts> ChildrenOf(HWND parent);

// The top-level windows of a process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// The window that has the keyboard focus in the thread that owns `hwnd`.
HWND FocusOfThread(HWND hwnd);

}  // namespace drive
