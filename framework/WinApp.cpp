#include "WinApp.h"

#include <cstdlib>
#include <cstring>

#include "RegKey.h"

namespace {

CWinApp* g_pApp = nullptr;

char* DupString(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

void FreeString(LPCSTR& text) {
    std::free(const_cast<char*>(text));
    text = nullptr;
}

std::string ExecutableBaseName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size() || path.size() >= 32768) {
            path.resize(length < path.size() ? length : path.size());
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

CWinApp* AfxGetApp() {
    return g_pApp;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName) {
    m_pszAppName = DupString(lpszAppName ? lpszAppName : ExecutableBaseName().c_str());
    m_hInstance = ::GetModuleHandleA(nullptr);  // the start-up sets it again; tests have no start-up
    g_pApp = this;
}

CWinApp::~CWinApp() {
    FreeString(m_pszAppName);
    FreeString(m_pszProfileName);
    FreeString(m_pszRegistryKey);
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg = {};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    const int exitCode = ExitInstance();
    return exitCode != 0 ? exitCode : static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    FreeString(m_pszRegistryKey);
    m_pszRegistryKey = DupString(lpszRegistryKey);
    FreeString(m_pszProfileName);
    m_pszProfileName = DupString(m_pszAppName);
}

std::string CWinApp::SectionKey(LPCSTR lpszSection) const {
    if (!m_pszRegistryKey || !m_pszProfileName || !lpszSection) return std::string();
    return std::string("Software\\") + m_pszRegistryKey + '\\' + m_pszProfileName + '\\' + lpszSection;
}

UINT CWinApp::GetProfileIntA(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    const std::string path = SectionKey(lpszSection);
    CRegKey key;
    if (path.empty() || !lpszEntry || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return static_cast<UINT>(nDefault);
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = ::RegQueryValueExA(key.m_hKey, lpszEntry, nullptr, &type,
                                           reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    const std::string path = SectionKey(lpszSection);
    CRegKey key;
    if (path.empty() || !lpszEntry ||
        key.Create(HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return FALSE;
    const DWORD value = static_cast<DWORD>(nValue);
    return ::RegSetValueExA(key.m_hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::OnHelp() {
    // There is no help file to open; a beep at least tells the user that F1 was heard.
    ::MessageBeep(MB_OK);
}
