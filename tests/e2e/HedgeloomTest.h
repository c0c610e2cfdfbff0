// The fixture of every end-to-end test: a clean browser key and profile, a run
// of the program, and the ways a user closes its window.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ProductNames.h"
#include "driver/HedgeloomRun.h"
#include "driver/Registry.h"

namespace e2e {

using namespace drive;

// The captions as a user reads them, written out here on purpose: the resource
// script has them as literals, and the tests find the windows by them.
inline constexpr const char kAppCaption[] = "Hedgeloom";
inline constexpr const char kAboutCaption[] = "About Hedgeloom";

enum class CloseBy { ExitButton, EscapeKey, EnterKey, CloseBox, SysCommandClose };
const char* NameOf(CloseBy how);
inline void PrintTo(CloseBy how, std::ostream* out) { *out << NameOf(how); }

// A remembered check mark as the profile holds it: a DWORD, or something else.
using ProfileEntries = std::map<std::string, DWORD>;

// The program under test and our stand-in for the browser (recorder.exe), as
// Windows paths; main() finds them.
inline std::string g_hedgeloomExe, g_recorderExe;

class HedgeloomTest : public testing::Test {
protected:
    void SetUp() override;

    // Writes the browser's key value by value, in this order.
    void SeedTypedUrls(const std::vector<RegValue>& values);
    void SeedTypedUrls(const std::vector<std::pair<std::string, std::string>>& namesAndUrls);
    void Remember(const std::string& url, DWORD checked);

    // The value names of the browser's key as the registry enumerates them,
    // reversed: the order in which the program must show them from the top.
    std::vector<std::string> NamesTopDown() const;

    // Starts the program and waits for its main window (visible, if asked).
    void Start(bool visible = true);
    HedgeloomRun& Run() { return *m_run; }
    RemoteListView List() const { return m_run->List(); }
    // Presses a button of the main window and waits until it has been handled.
    void Press(int id);
    // Closes the main window as a user would and waits for the process to end,
    // or, if asked, only for the window to go (Wine ends the process seconds later).
    void Close(CloseBy how, bool waitForExit = true);
    // Hands the run over, so that a next start leaves it to end on its own.
    std::unique_ptr<HedgeloomRun> Detach() { return std::move(m_run); }

    // Makes the recorder the shell's "open" for http and https, so that every
    // address the program opens ends up as a line of a log this test reads.
    void RecordOpens();
    // The addresses opened so far, once there are `count` of them or time is up.
    std::vector<std::string> Opened(std::size_t count = 0) const;

    // Runs the program from a command line with these arguments, to its end;
    // it must end in time and show no window.
    CommandRun Command(const std::string& arguments);

    // The profile's entries; one that is not a DWORD is reported as a failure.
    ProfileEntries Profile() const;
    // Every value of a key; one the registry would not give is reported as a failure.
    std::vector<RegValue> Export(const std::string& path) const;

    Registry m_registry;

private:
    std::unique_ptr<HedgeloomRun> m_run;
};

}  // namespace e2e
