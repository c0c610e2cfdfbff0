#include "RowTip.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kToolId = 1;

}  // namespace

bool CRowTip::Create(HWND list, int maxWidth, TextOf textOf, void* context) {
    m_list = list;
    m_maxWidth = maxWidth;
    m_textOf = textOf;
    m_context = context;
    return ::SetWindowSubclass(list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

// The tip's window comes with the first mouse message over the list, not at the
// start, which a window of its own makes slower (under Wine by a few ms).
bool CRowTip::MakeTip() {
    m_tip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(m_list),
                              nullptr, nullptr, nullptr);
    if (!m_tip) return false;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every version of the control
    tool.hwnd = m_list;                 // which also receives the question for the text
    tool.uId = kToolId;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::GetClientRect(m_list, &tool.rect);
    ::SendMessageA(m_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // Without a width the tip is one line; with it the date goes under the address.
    ::SendMessageA(m_tip, TTM_SETMAXTIPWIDTH, 0, m_maxWidth);
    return true;
}

void CRowTip::Destroy() {
    if (m_list) ::RemoveWindowSubclass(m_list, ListProc, kSubclassId);
    if (m_tip) ::DestroyWindow(m_tip);
    m_list = m_tip = nullptr;
}

void CRowTip::Pause() {
    if (!m_list) return;
    ::RemoveWindowSubclass(m_list, ListProc, kSubclassId);
    if (m_tip) ::SendMessageA(m_tip, TTM_POP, 0, 0);
    m_row = -1;
}

void CRowTip::Resume() {
    if (m_list) ::SetWindowSubclass(m_list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

int CRowTip::RowAt(POINT client) const {
    LVHITTESTINFO hit = {};
    hit.pt = client;
    const int row = static_cast<int>(::SendMessageA(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? row : -1;
}

void CRowTip::Answer(NMHDR* header) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(m_list, &pointer);
    m_row = RowAt(pointer);
    m_text = m_row >= 0 ? m_textOf(m_context, m_row) : std::string();
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        info->hinst = nullptr;
        info->lpszText = &m_text[0];
    } else {
        // The control may ask in its own wide form; the text is in the process's code page.
        const int units = ::MultiByteToWideChar(CP_ACP, 0, m_text.c_str(), -1, nullptr, 0);
        m_wideText.assign(units > 0 ? static_cast<std::size_t>(units) : 1, L'\0');
        if (units > 0) ::MultiByteToWideChar(CP_ACP, 0, m_text.c_str(), -1, &m_wideText[0], units);
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        info->hinst = nullptr;
        info->lpszText = &m_wideText[0];
    }
}

LRESULT CALLBACK CRowTip::ListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR self) {
    CRowTip& tip = *reinterpret_cast<CRowTip*>(self);
    if (message == WM_NOTIFY) {
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == tip.m_tip && (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW)) {
            tip.Answer(header);
            return 0;
        }
    } else if (((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE) &&
               (tip.m_tip || tip.MakeTip())) {
        if (message == WM_MOUSEMOVE) {
            const POINT client{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            const int row = tip.RowAt(client);
            if (row != tip.m_row) {
                tip.m_row = row;
                ::SendMessageA(tip.m_tip, TTM_POP, 0, 0);
            }
        }
        MSG relayed = {hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        const DWORD where = ::GetMessagePos();
        relayed.pt = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
        ::SendMessageA(tip.m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, ListProc, kSubclassId);
        tip.m_list = nullptr;
    }
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}
