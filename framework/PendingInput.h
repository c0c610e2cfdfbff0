// Input that reached a thread's windows while it was busy with a long operation
// was aimed at what the user saw then: a click on a row that has since moved
// would land on another. Programs drop such input once the operation ends.
#pragma once

#include <windows.h>

// Removes the mouse and keyboard messages waiting in this thread's queue.
inline void AfxDiscardPendingInput() {
    MSG msg;
    const UINT ranges[][2] = {{WM_KEYFIRST, WM_KEYLAST},
                              {WM_MOUSEFIRST, WM_MOUSELAST},
                              {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}};
    for (const auto& range : ranges)
        while (::PeekMessageA(&msg, nullptr, range[0], range[1], PM_REMOVE | PM_NOYIELD)) {
        }
}
