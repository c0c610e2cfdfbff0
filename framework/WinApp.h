// The application object: its name, its registry profile and its start-up.
#pragma once

#include <windows.h>

#include <string>

#include "CmdTarget.h"
#include "Wnd.h"

#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
public:
    // Without a name the application is called after its executable.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The message loop of an application that keeps running after start-up.
    virtual int Run();
    virtual int ExitInstance();

    // The profile then lives under "Software\<key>\<profile name>" of HKEY_CURRENT_USER.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // An entry that is absent, or not a 32-bit integer, reads as nDefault.
    UINT GetProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);

    HICON LoadIcon(UINT nIDResource) const;

    // Dialog controls have drawn themselves in 3-D since Windows 95: nothing to turn on.
    BOOL Enable3dControls() { return TRUE; }

    void OnHelp();

    LPCSTR m_pszAppName = nullptr;      // malloc'd
    LPCSTR m_pszProfileName = nullptr;  // malloc'd; an application may replace it
    LPCSTR m_pszRegistryKey = nullptr;  // malloc'd
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    // The section's full path, or empty when no profile location is set.
    std::string SectionKey(LPCSTR lpszSection) const;
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();

// The program hosts no ActiveX controls, so there is no container support to set up.
inline void AfxEnableControlContainer() {}

int WINAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
