// The end-to-end tests drive the real Hedgeloom.exe from outside.
//   e2e_tests.exe [--hedgeloom=PATH] [GoogleTest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
    std::string here = self;
    here.erase(here.find_last_of("\\/") + 1);
    e2e::g_recorderExe = here + "recorder.exe";
    e2e::g_hedgeloomExe = given.empty() ? here + "..\\..\\Hedgeloom.exe" : drive::WindowsPath(given);
    if (GetFileAttributesA(e2e::g_hedgeloomExe.c_str()) == INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesA(e2e::g_recorderExe.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "e2e: Hedgeloom.exe (\"%s\") or recorder.exe (\"%s\") not found; give --hedgeloom=PATH\n",
                     e2e::g_hedgeloomExe.c_str(), e2e::g_recorderExe.c_str());
        return 2;
    }
    // Without a window manager (Xvfb) nobody draws the frames of Wine's windows, so their close
    // box and system-menu icon cannot be clicked: Wine draws them itself, for programs started later.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        drive::Registry().Set("Software\\Wine\\X11 Driver", drive::Sz("Decorated", "N"));
    std::printf("e2e: driving %s\n", e2e::g_hedgeloomExe.c_str());
    return RUN_ALL_TESTS();
}
