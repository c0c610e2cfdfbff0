// The hourglass for a busy moment on the window's own thread: nothing answers
// WM_SETCURSOR while the work runs, so the pointer keeps it until it is given back.
#pragma once

#include <windows.h>

#include "Object.h"

class CWaitCursor : public CObject {
public:
    CWaitCursor() : m_previous(::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
    ~CWaitCursor() { ::SetCursor(m_previous); }

private:
    HCURSOR m_previous;
};
