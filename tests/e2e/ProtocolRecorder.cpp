#include "ProtocolRecorder.h"

#include <windows.h>

#include <fstream>

#include "driver/Registry.h"
#include "driver/Wait.h"

namespace e2e {

using namespace drive;

namespace {

// The shell of the prefix reads the protocol handlers from the machine's
// classes, not from the user's.
constexpr const char kClasses[] = "Software\\Classes\\";

}  // namespace

ProtocolRecorder::ProtocolRecorder(const std::string& recorderExe, const std::string& logFile,
                                   const std::vector<std::string>& protocols)
    : m_logFile(logFile) {
    DeleteFileA(m_logFile.c_str());
    const Registry machine(HKEY_LOCAL_MACHINE);
    const std::string command = "\"" + recorderExe + "\" \"" + logFile + "\" \"%1\"";
    for (const std::string& protocol : protocols) {
        // A handler of our own only: no DDE or other leftovers of the prefix's.
        const std::string root = kClasses + protocol;
        machine.DeleteTree(root);
        m_registered = machine.Set(root, Sz("", "URL:" + protocol)) && m_registered;
        m_registered = machine.Set(root, Sz("URL Protocol", "")) && m_registered;
        m_registered = machine.Set(root + "\\shell\\open\\command", Sz("", command)) && m_registered;
    }
}

ProtocolRecorder::~ProtocolRecorder() { DeleteFileA(m_logFile.c_str()); }

std::vector<std::string> ProtocolRecorder::Lines() const {
    std::vector<std::string> lines;
    std::ifstream log(m_logFile, std::ios::binary);
    std::string line;
    while (std::getline(log, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> ProtocolRecorder::WaitForLines(std::size_t count, unsigned timeoutMs) const {
    std::vector<std::string> lines;
    WaitUntil([&] { return (lines = Lines()).size() >= count; }, timeoutMs, 50);
    return lines;
}

}  // namespace e2e
