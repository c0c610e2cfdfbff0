#include "CommandLineRun.h"

#include <windows.h>

#include <cstdlib>

#include "AppRegistry.h"
#include "BrowserCheck.h"
#include "ConsoleOutput.h"
#include "CommandLine.h"
#include "CodePageAddressList.h"
#include "ProgramNames.h"
#include "UnattendedHistory.h"
#include "Win32KeepPolicy.h"
#include "Win32Shell.h"
#include "Win32WriterLock.h"

namespace {

constexpr char kUsage[] =
    "Hedgeloom prunes the addresses Internet Explorer remembers as typed.\r\n"
    "\r\n"
    "  Hedgeloom          opens the window\r\n"
    "  Hedgeloom /prune   keeps the addresses last left checked and deletes the others,\r\n"
    "                     as \"Delete Unchecked\" does, without a window\r\n"
    "  Hedgeloom /list    writes the addresses top first, one a line, fields apart by tabs:\r\n"
    "                     1 if kept (0 if not), value name, address, last typed (UTC);\r\n"
    "                     a backslash, tab, LF and CR as \\\\, \\t, \\n and \\r\r\n"
    "  Hedgeloom /?       writes this text\r\n"
    "\r\n"
    "Exit status: 0 done, 1 not done, or not all (the text says why; nothing was lost),\r\n"
    "2 a wrong argument, 3 Internet Explorer is running (nothing was changed).\r\n";

constexpr char kBrowserRunning[] =
    "Internet Explorer is running: nothing was pruned.\r\n"
    "It writes its own list back when it closes; close it and run Hedgeloom again.\r\n";

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}

// The list's text is in the ANSI code page: UTF-8 already where the program's
// manifest is honoured, converted where Windows is older.
std::string Utf8FromAnsi(const std::string& text) {
    if (::GetACP() == CP_UTF8 || text.empty()) return text;
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) return text;
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return Utf8(wide.data());
}

// A message as console lines.
std::string Lines(const std::string& message) {
    std::string lines;
    for (char c : message) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines + "\r\n";
}

// The history over the registry and the profile, with rows kept in memory; made
// after everything it refers to.
struct Unattended {
    Unattended() {
        history.SetWriterLock(&lock);
        history.SetWindowLock(&window);
        history.SetKeepPolicy(&policy);
        history.HearRemovals(list);
    }
    CAppRegistry registry{*AfxGetApp()};
    CCodePageAddressList list;
    hl::Win32Shell shell;
    hl::Win32KeepPolicy policy;
    // The writer lock, waited for as long as a window waits: a logon script and a closing window take turns.
    hl::Win32WriterLock lock{hl::kWriterLockName, hl::kWriterLockWaitMs};
    // The lock the user's open window holds: asked, never waited for.
    hl::Win32WriterLock window{hl::kWindowLockName, 0};
    hl::CUnattendedHistory history{registry, list, shell};
};

}  // namespace

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> arguments;
    // The program's own name ends at its closing quote, or else at the first blank.
    const wchar_t* rest = ::GetCommandLineW();
    if (*rest == L'"') {
        for (++rest; *rest && *rest != L'"'; ++rest) {
        }
        if (*rest) ++rest;
    } else {
        while (*rest && *rest != L' ' && *rest != L'\t') ++rest;
    }
    while (*rest == L' ' || *rest == L'\t') ++rest;
    // A start without arguments, the window's, does without SHELL32 and its start-up time.
    if (!*rest) return arguments;
    using Split = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    const HMODULE shell = ::LoadLibraryA("shell32.dll");
    const auto split = shell ? reinterpret_cast<Split>(reinterpret_cast<void*>(::GetProcAddress(shell, "CommandLineToArgvW"))) : nullptr;
    int count = 0;
    LPWSTR* words = split ? split(::GetCommandLineW(), &count) : nullptr;
    if (!words) {
        // Not to be split: the whole rest is one word, never to be taken for no argument at all.
        arguments.push_back(Utf8(rest));
        return arguments;
    }
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8(words[i]));
    ::LocalFree(words);
    return arguments;
}

int RunFromCommandLine(const std::vector<std::string>& arguments) {
    // Nobody may be there to answer a box: a failing runtime or a crash ends the run instead.
    _set_error_mode(_OUT_TO_STDERR);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    CConsoleOutput out;
    const hl::Command command = hl::ParseCommandLine(arguments);
    switch (command.kind) {
        case hl::CommandKind::Usage:
            out.Write(kUsage);
            return kExitDone;
        case hl::CommandKind::List: {
            Unattended run;
            const std::string text = run.history.ListText();
            if (!run.history.Message().empty()) {
                out.Write(Lines(run.history.Message()));
                return kExitNotSaved;
            }
            out.Write(Utf8FromAnsi(text));
            return kExitDone;
        }
        case hl::CommandKind::Prune: {
            // The browser writes its own list back when it closes, over ours.
            if (hl::BrowserIsRunning()) {
                out.Write(kBrowserRunning);
                return kExitBrowserRunning;
            }
            Unattended run;
            if (run.history.Prune()) return kExitDone;
            out.Write(Lines(run.history.Message()));
            return kExitNotSaved;
        }
        case hl::CommandKind::Window:
        case hl::CommandKind::Wrong:
            break;
    }
    out.Write(command.complaint + "\r\n\r\n" + kUsage);
    return kExitUsage;
}
