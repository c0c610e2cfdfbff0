// The end-to-end tests drive the real Hedgeloom.exe from outside.
//   e2e_tests.exe [--hedgeloom=PATH] [GoogleTest options]
#include <cstdio>

#include "HedgeloomTest.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const std::string option = "--hedgeloom=";
    std::string given;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(option, 0) == 0) given = argv[i] + option.size();

    // The recorder is built beside these tests; the program, unless given, two folders above them.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string here(self, std::string(self).find_last_of("\\/") + 1);
    e2e::g_recorderExe = here + "recorder.exe";
    e2e::g_hedgeloomExe = given.empty() ? here + "..\\..\\Hedgeloom.exe" : drive::WindowsPath(given);
    for (const std::string& exe : {e2e::g_hedgeloomExe, e2e::g_recorderExe})
        if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
            return std::fprintf(stderr, "e2e: %s not found; give --hedgeloom=PATH\n", exe.c_str()), 2;
    // Without a window manager (Xvfb) nobody draws the frames of Wine's windows: Wine draws them
    // itself, caption and borders as Windows would, for programs started later.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        drive::Registry().Set("Software\\Wine\\X11 Driver", drive::Sz("Decorated", "N"));
    // The tests read the program's text and the registry through the ANSI calls, as UTF-8 (see the manifest).
    if (GetACP() != CP_UTF8) return std::fprintf(stderr, "e2e: the tests do not run in UTF-8\n"), 2;
    std::printf("e2e: driving %s\n", e2e::g_hedgeloomExe.c_str());
    return RUN_ALL_TESTS();
}
