// The registry as the program uses it: ADVAPI32 for the browser's key, the
// application object's profile for the remembered check marks.
#pragma once

#include "Win32Registry.h"
#include "WinApp.h"

class CAppRegistry final : public hl::Win32Registry {
public:
    explicit CAppRegistry(CWinApp& app) : m_app(app) {}

    unsigned GetProfileIntA(const char* section, const char* entry, int defaultValue) override {
        return m_app.GetProfileIntA(section, entry, defaultValue);
    }
    bool WriteProfileInt(const char* section, const char* entry, int value) override {
        return m_app.WriteProfileInt(section, entry, value) != FALSE;
    }

private:
    CWinApp& m_app;
};
