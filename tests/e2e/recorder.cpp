// Stands in for the web browser in the tests: registered as the handler of a
// protocol's "open", it appends the address it was given to a log file, in
// UTF-8 so that an address in any script arrives as it was sent.
//   recorder.exe LOGFILE ADDRESS
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 3) return 2;
    const std::wstring logFile = arguments[1];
    const std::string line = Narrow(arguments[2]) + "\n";
    LocalFree(arguments);

    // Opens that come close together must not lose each other's lines.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && log == INVALID_HANDLE_VALUE; ++attempt) {
        log = CreateFileW(logFile.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE) Sleep(20);
    }
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return ok && written == line.size() ? 0 : 1;
}
