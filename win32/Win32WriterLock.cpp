#include "Win32WriterLock.h"

#include <windows.h>
#include <sddl.h>

namespace hl {

namespace {

// The SID of the user this process runs as, in its string form, or empty.
std::string UserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::string sid;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    char* text = nullptr;
    if (size && ::GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
        ::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &text)) {
        sid = text;
        ::LocalFree(text);
    }
    ::CloseHandle(token);
    return sid;
}

// The user does not change while the process runs: its locks ask the token once,
// or again while it has not answered.
INIT_ONCE userSidOnce = INIT_ONCE_STATIC_INIT;
std::string userSid;

BOOL CALLBACK FindUserSid(PINIT_ONCE, PVOID, PVOID*) {
    userSid = UserSid();
    return !userSid.empty();
}

}  // namespace

Win32WriterLock::Win32WriterLock(const char* name, unsigned long waitMs) : m_mutex(nullptr), m_waitMs(waitMs) {
    const std::string sid = ::InitOnceExecuteOnce(&userSidOnce, FindUserSid, nullptr, nullptr) ? userSid : std::string();
    // Only this user may open it: another could otherwise hold it, or take it.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::string sddl = "D:P(A;;GA;;;" + sid + ")";
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (!sid.empty() && ::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                                              &descriptor, nullptr)) {
        attributes.lpSecurityDescriptor = descriptor;
        m_mutex = ::CreateMutexA(&attributes, FALSE, (std::string("Global\\") + name + "." + sid).c_str());
        ::LocalFree(descriptor);
    }
    // Where the global namespace cannot be had, copies of this session still take turns.
    if (!m_mutex) m_mutex = ::CreateMutexA(nullptr, FALSE, (std::string("Local\\") + name).c_str());
}

Win32WriterLock::~Win32WriterLock() {
    // A mutex stays owned by its thread after its handle is closed: give it back first.
    Unlock();
    if (m_mutex) ::CloseHandle(m_mutex);
}

bool Win32WriterLock::Lock() {
    if (!m_mutex) return false;
    // Abandoned: the copy that held it ended without giving it back, perhaps in
    // the middle of a rewrite, whose journal is then ours to put back.
    const DWORD waited = ::WaitForSingleObject(m_mutex, m_waitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        // A wait that gives up as the other copy lets go may still have been handed
        // the mutex (seen under Wine): a copy told it has no lock must hold none, or
        // it keeps every other copy out for as long as it runs.
        while (::ReleaseMutex(m_mutex)) {
        }
        return false;
    }
    m_held = true;
    return true;
}

void Win32WriterLock::Unlock() {
    if (!m_held) return;
    m_held = false;
    ::ReleaseMutex(m_mutex);
}

}  // namespace hl
