#include "E2eEnvironment.h"

#include <windows.h>

#include "driver/HedgeloomRun.h"

namespace e2e {

using namespace drive;

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

E2eEnvironment& E2eEnvironment::Get() {
    static E2eEnvironment environment;
    return environment;
}

bool E2eEnvironment::Locate(const std::string& given) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string here = self;
    here.erase(here.find_last_of("\\/") + 1);
    recorderExe = here + "recorder.exe";

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    scratchDir = temp;

    // Else the program built beside these tests: build/win64/Hedgeloom.exe.
    hedgeloomExe = given.empty() ? here + "..\\..\\Hedgeloom.exe" : WindowsPath(given);
    return IsFile(hedgeloomExe) && IsFile(recorderExe);
}

}  // namespace e2e
