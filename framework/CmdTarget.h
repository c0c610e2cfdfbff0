// Anything that answers messages and commands through an event table.
#pragma once

#include <windows.h>

#include "MsgMap.h"
#include "Object.h"

class CCmdTarget : public CObject {
public:
    virtual ~CCmdTarget() = default;

    // Runs the first handler the tables give for the message, the class's own
    // table first; false when none answers it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A command that no control sent, such as ID_HELP.
    BOOL OnCmdMsg(UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
