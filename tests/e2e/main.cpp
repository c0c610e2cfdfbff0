// The end-to-end tests drive the real Hedgeloom.exe from outside.
//   e2e_tests.exe [--hedgeloom=PATH] [GoogleTest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "E2eEnvironment.h"
#include "driver/Registry.h"

namespace {

// Without a window manager (Xvfb) nobody draws the frames of Wine's windows,
// and their close box and system-menu icon cannot be clicked. Wine then draws
// them itself when told so; programs started later follow.
void LetWineDrawFrames() {
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return;
    drive::Registry().Set("Software\\Wine\\X11 Driver", drive::Sz("Decorated", "N"));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string given;
    const std::string option = "--hedgeloom=";
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(option, 0) == 0) given = argv[i] + option.size();

    e2e::E2eEnvironment& environment = e2e::E2eEnvironment::Get();
    if (!environment.Locate(given)) {
        std::fprintf(stderr, "e2e: Hedgeloom.exe (\"%s\") or recorder.exe (\"%s\") not found; "
                     "give --hedgeloom=PATH\n",
                     environment.hedgeloomExe.c_str(), environment.recorderExe.c_str());
        return 2;
    }
    LetWineDrawFrames();
    std::printf("e2e: driving %s\n", environment.hedgeloomExe.c_str());
    return RUN_ALL_TESTS();
}
