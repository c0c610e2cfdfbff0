// The application object: fixes the profile's place and runs the main window.
#pragma once

#include "WinApp.h"

class CHistoryApp : public CWinApp {
public:
    CHistoryApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    DECLARE_MESSAGE_MAP()

private:
    int m_exitCode = 0;  // what a run from the command line tells its caller
};

extern CHistoryApp theApp;
