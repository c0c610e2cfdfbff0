#pragma once

#include <windows.h>

// A message box captioned with the application's name and modal to the
// window the user is working in. A plain OK box gets the warning icon.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The window a new modal box should belong to: the active one, else the main window.
HWND AfxGetSafeOwner();
