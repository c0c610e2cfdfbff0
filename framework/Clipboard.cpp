#include "Clipboard.h"

BOOL CopyTextToClipboard(HWND owner, const char* text) {
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);  // with the zero
    if (units <= 0) return FALSE;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(units) * sizeof(WCHAR));
    if (!memory) return FALSE;
    if (void* wide = ::GlobalLock(memory)) {
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, static_cast<WCHAR*>(wide), units);
        ::GlobalUnlock(memory);
    }
    // Another program may hold the clipboard for a moment.
    BOOL opened = FALSE;
    for (int attempt = 0; attempt < 10 && !(opened = ::OpenClipboard(owner)); ++attempt) ::Sleep(20);
    if (!opened) {
        ::GlobalFree(memory);
        return FALSE;
    }
    ::EmptyClipboard();
    const BOOL placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!placed) ::GlobalFree(memory);  // the clipboard owns it only once it is placed
    ::CloseClipboard();
    return placed;
}
