// The program's entry point, in a file of its own so that console programs
// (the tests) can use the framework without it.
#include <windows.h>

#include "WinApp.h"

int WINAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    // A dialog-based application does all its work in its start-up and says
    // false, so there is no message loop to run afterwards.
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
