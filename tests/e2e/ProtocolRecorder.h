// Makes our recorder program the handler of the shell's "open" for some
// protocols, so that what the program under test asks the shell to open ends
// up, one line per open, in a log file the test reads.
#pragma once

#include <string>
#include <vector>

namespace e2e {

class ProtocolRecorder {
public:
    // recorderExe and logFile are Windows paths.
    ProtocolRecorder(const std::string& recorderExe, const std::string& logFile,
                     const std::vector<std::string>& protocols);
    ~ProtocolRecorder();
    ProtocolRecorder(const ProtocolRecorder&) = delete;
    ProtocolRecorder& operator=(const ProtocolRecorder&) = delete;

    bool Registered() const { return m_registered; }
    std::vector<std::string> Lines() const;
    // Waits until at least `count` opens have been recorded; returns them all.
    std::vector<std::string> WaitForLines(std::size_t count, unsigned timeoutMs = 10000) const;

private:
    std::string m_logFile;
    bool m_registered = true;
};

}  // namespace e2e
