// Event tables: one static table per class that reads like the list of events
// the class answers. Entries are tried in the order written, then the base
// class's table, so a derived class takes an event over by listing it.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CCmdTarget;

// One table entry's handler call, made type-safe by the macros below.
using AFX_PMSG = void (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // the window message; WM_COMMAND and WM_NOTIFY also match code and ID
    UINT nCode;     // notification code (0 for a plain command)
    UINT nID;       // control or command ID
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx_detail {

// A handler may be a member of any base of the table's class, a second base
// included; converting it to a member of the class itself adjusts the object
// pointer for that base.
template <class T, class B>
void CallCommand(CCmdTarget* target, void (B::*handler)()) {
    void (T::*own)() = handler;
    (static_cast<T*>(target)->*own)();
}

template <class T, class B>
void CallNotify(CCmdTarget* target, void (B::*handler)(NMHDR*, LRESULT*), LPARAM lParam,
                LRESULT* result) {
    void (T::*own)(NMHDR*, LRESULT*) = handler;
    (static_cast<T*>(target)->*own)(reinterpret_cast<NMHDR*>(lParam), result);
}

}  // namespace afx_detail

#define DECLARE_MESSAGE_MAP()                                  \
protected:                                                     \
    static const AFX_MSGMAP* GetThisMessageMap();              \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                    \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                             \
        typedef theClass ThisClass;                                               \
        typedef baseClass TheBaseClass;                                           \
        static_assert(sizeof(ThisClass) > 0, "complete class");                  \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                      \
    {0, 0, 0, nullptr}};                                                      \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
    return &messageMap;                                                        \
    }

// void OnCommand(): a command from a menu, an accelerator or a control's default notice.
#define ON_COMMAND(id, memberFxn)                                                     \
    {WM_COMMAND, 0, static_cast<UINT>(id), [](CCmdTarget* target, WPARAM, LPARAM, LRESULT*) { \
         ::afx_detail::CallCommand<ThisClass>(target, memberFxn);                     \
     }},

// void OnClicked(): a button's click arrives as its command with the code BN_CLICKED, which is 0.
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)

// void OnNotify(NMHDR* pNMHDR, LRESULT* pResult): pNMHDR heads the notice's own
// structure (NMLISTVIEW for LVN_DELETEITEM); *pResult, 0 unless set, is the answer.
#define ON_NOTIFY(code, id, memberFxn)                                                  \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id),                         \
     [](CCmdTarget* target, WPARAM, LPARAM lParam, LRESULT* result) {                   \
         ::afx_detail::CallNotify<ThisClass>(target, memberFxn, lParam, result);        \
     }},

// void OnSysCommand(UINT nID, LPARAM lParam): the low four bits of nID are the system's own.
#define ON_WM_SYSCOMMAND()                                                          \
    {WM_SYSCOMMAND, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT*) { \
         void (ThisClass::*handler)(UINT, LPARAM) = &ThisClass::OnSysCommand;       \
         (static_cast<ThisClass*>(target)->*handler)(static_cast<UINT>(wParam), lParam); \
     }},

// void OnPaint(): paints between BeginPaint and EndPaint (CPaintDC), or calls the base's.
#define ON_WM_PAINT()                                                      \
    {WM_PAINT, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT*) {     \
         void (ThisClass::*handler)() = &ThisClass::OnPaint;               \
         (static_cast<ThisClass*>(target)->*handler)();                    \
     }},

// BOOL OnQueryEndSession(): TRUE lets the session end.
#define ON_WM_QUERYENDSESSION()                                                      \
    {WM_QUERYENDSESSION, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT* result) { \
         BOOL (ThisClass::*handler)() = &ThisClass::OnQueryEndSession;               \
         *result = (static_cast<ThisClass*>(target)->*handler)();                    \
     }},

// void OnEndSession(BOOL bEnding): the process ends soon after, its windows not destroyed.
#define ON_WM_ENDSESSION()                                                           \
    {WM_ENDSESSION, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM, LRESULT*) { \
         void (ThisClass::*handler)(BOOL) = &ThisClass::OnEndSession;               \
         (static_cast<ThisClass*>(target)->*handler)(static_cast<BOOL>(wParam));    \
     }},

// HCURSOR OnQueryDragIcon(): the picture shown while a minimized window is dragged.
#define ON_WM_QUERYDRAGICON()                                                     \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM, LRESULT* result) { \
         HCURSOR (ThisClass::*handler)() = &ThisClass::OnQueryDragIcon;           \
         *result = reinterpret_cast<LRESULT>((static_cast<ThisClass*>(target)->*handler)()); \
     }},

// void OnContextMenu(HWND hWnd, POINT point): hWnd is the window clicked; point is
// on the screen, or -1, -1 when the menu was asked for from the keyboard.
#define ON_WM_CONTEXTMENU()                                                              \
    {WM_CONTEXTMENU, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT*) { \
         void (ThisClass::*handler)(HWND, POINT) = &ThisClass::OnContextMenu;            \
         const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; \
         (static_cast<ThisClass*>(target)->*handler)(reinterpret_cast<HWND>(wParam), point); \
     }},

// LRESULT OnMessage(WPARAM wParam, LPARAM lParam): a message of the window's own.
#define ON_MESSAGE(message, memberFxn)                                                      \
    {static_cast<UINT>(message), 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result) { \
         LRESULT (ThisClass::*handler)(WPARAM, LPARAM) = memberFxn;                         \
         *result = (static_cast<ThisClass*>(target)->*handler)(wParam, lParam);             \
     }},
