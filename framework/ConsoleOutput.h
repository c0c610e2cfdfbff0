// Text for whoever started a windowed program from a command line.
#pragma once

#include <windows.h>

#include <string>

#include "Object.h"

// Where the text goes: standard output where it was redirected, else the
// console the program was started from; with neither (a logon script, a
// scheduled task) the text is dropped and the exit status says it all.
class CConsoleOutput : public CObject {
public:
    CConsoleOutput();
    ~CConsoleOutput();

    // text is UTF-8; a console is given it as Unicode, so that it shows in any code page.
    void Write(const std::string& text);

private:
    HANDLE m_handle = nullptr;
    bool m_owned = false;
};
