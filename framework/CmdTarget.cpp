#include "CmdTarget.h"

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam, LPARAM lParam) {
    if (entry.nMessage != message) return false;
    if (message == WM_COMMAND) {
        // Menus and accelerators send codes 0 and 1; both are plain commands.
        const UINT code = lParam ? HIWORD(wParam) : 0;
        return entry.nCode == code && entry.nID == LOWORD(wParam);
    }
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && entry.nCode == header->code && entry.nID == header->idFrom;
    }
    return true;
}

}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (!Matches(*entry, message, wParam, lParam)) continue;
            *pResult = 0;
            entry->pfn(this, wParam, lParam, pResult);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID) {
    LRESULT result = 0;
    return OnWndMsg(WM_COMMAND, MAKEWPARAM(nID, 0), 0, &result);
}
