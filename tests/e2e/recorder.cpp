// Stands in for the web browser in the tests: registered as the handler of a
// protocol's "open", it appends the address it was given to a log file, in
// UTF-8 so that an address in any script arrives as it was sent.
//   recorder.exe LOGFILE ADDRESS
#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count < 3) return 2;
    // The address and its line's end in place of the closing zero.
    static char line[16384];
    const int size = WideCharToMultiByte(CP_UTF8, 0, arguments[2], -1, line, sizeof line, nullptr, nullptr);
    if (size <= 0) return 1;
    line[size - 1] = '\n';

    // Opens that come close together must not lose each other's lines.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && (log = CreateFileW(arguments[1], FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                                                FILE_ATTRIBUTE_NORMAL, nullptr)) == INVALID_HANDLE_VALUE; ++attempt)
        Sleep(20);
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(log, line, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(log);
    return ok && written == static_cast<DWORD>(size) ? 0 : 1;
}
