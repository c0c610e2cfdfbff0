#include "E2eEnvironment.h"

#include <windows.h>

#include <cstdlib>

#include "driver/HedgeloomRun.h"

namespace e2e {

using namespace drive;

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

E2eEnvironment& E2eEnvironment::Get() {
    static E2eEnvironment environment;
    return environment;
}

bool E2eEnvironment::Locate(const std::string& given) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string here = FolderOf(self);
    recorderExe = here + "recorder.exe";

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    scratchDir = temp;

    hedgeloomExe.clear();
    if (!given.empty()) {
        hedgeloomExe = WindowsPath(given);
    } else if (const char* fromEnvironment = std::getenv("HEDGELOOM_EXE"); fromEnvironment && *fromEnvironment) {
        hedgeloomExe = WindowsPath(fromEnvironment);
    } else {
        std::string folder = here;
        for (int up = 0; up <= 3 && !folder.empty(); ++up) {
            if (IsFile(folder + "Hedgeloom.exe")) {
                hedgeloomExe = folder + "Hedgeloom.exe";
                break;
            }
            folder = FolderOf(folder.substr(0, folder.size() - 1));
        }
    }
    return IsFile(hedgeloomExe) && IsFile(recorderExe);
}

}  // namespace e2e
