#include "ConsoleOutput.h"

#include <vector>

namespace {

bool Usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

CConsoleOutput::CConsoleOutput() {
    m_handle = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (Usable(m_handle)) return;
    m_handle = nullptr;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    m_handle = ::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) m_handle = nullptr;
    m_owned = m_handle != nullptr;
}

CConsoleOutput::~CConsoleOutput() {
    if (m_owned) ::CloseHandle(m_handle);
}

void CConsoleOutput::Write(const std::string& text) {
    if (!m_handle || text.empty()) return;
    DWORD mode = 0;
    if (::GetConsoleMode(m_handle, &mode)) {
        const int size = static_cast<int>(text.size());
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
        if (length <= 0) return;
        std::vector<wchar_t> wide(static_cast<std::size_t>(length));
        if (!::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length)) return;
        DWORD written = 0;
        ::WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // A full disk or a closed pipe loses the text, not the work: the status still tells.
    for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        if (!::WriteFile(m_handle, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}
