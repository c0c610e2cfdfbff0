// The part of a window that every wrapper shares: its handle, and the event
// table through which it answers messages.
#pragma once

#include <windows.h>

#include <cassert>

#include "CmdTarget.h"

// Every call but GetSafeHwnd needs the window to exist: debug builds assert it,
// as a call on a window that is gone would fail without a word.
class CWnd : public CCmdTarget {
public:
    CWnd() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        assert(::IsWindow(m_hWnd));
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, bRedraw); }
    BOOL IsIconic() const {
        assert(::IsWindow(m_hWnd));
        return ::IsIconic(m_hWnd);
    }
    void GetClientRect(LPRECT lpRect) const {
        assert(::IsWindow(m_hWnd) && lpRect);
        ::GetClientRect(m_hWnd, lpRect);
    }
    HMENU GetSystemMenu(BOOL bRevert) const {
        assert(::IsWindow(m_hWnd));
        return ::GetSystemMenu(m_hWnd, bRevert);
    }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
    }

    HWND m_hWnd = nullptr;
};
