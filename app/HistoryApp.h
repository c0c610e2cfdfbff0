// The application object: fixes the profile's place and runs the main window.
#pragma once

#include "WinApp.h"

class CHistoryApp : public CWinApp {
public:
    CHistoryApp() = default;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CHistoryApp theApp;
