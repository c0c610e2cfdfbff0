// The baseline of the benchmark: the typed-address logic with the program's
// own registry binding and profile, but no window and no list control, so that
// what it costs is the registry's work alone.
#pragma once

#include "WinApp.h"

class CBaselineApp : public CWinApp {
public:
    CBaselineApp() : CWinApp("Hedgeloom") {}

    BOOL InitInstance() override;
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = 0;
};
