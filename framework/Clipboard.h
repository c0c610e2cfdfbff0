// Text for the clipboard, in the clipboard's own Unicode form.
#pragma once

#include <windows.h>

// Converts text from the process's code page and puts it on the clipboard in
// place of what was there. False when the clipboard could not be had.
BOOL CopyTextToClipboard(HWND owner, const char* text);
