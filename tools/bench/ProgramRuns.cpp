#include "ProgramRuns.h"

#include <commctrl.h>
#include <psapi.h>

#include <initializer_list>
#include <utility>

#include "BenchPhases.h"
#include "Stopwatch.h"
#include "driver/Driver.h"

namespace bench {

namespace {

constexpr DWORD kTimeoutMs = 120000;  // far past any healthy run at the largest size

// Every wait of the benchmark polls, once a millisecond, and none blocks. On
// this machine a registry call of the watched program, a round trip to the
// wineserver, took up to five times as long while the watcher slept in a
// blocking wait as while it polled; watched alike, the programs compare fairly.
template <typename Done>
bool Poll(Done done) {
    const Stopwatch waiting;
    while (!done()) {
        if (waiting.Ms() > kTimeoutMs) return false;
        ::Sleep(1);
    }
    return true;
}

// The first of the handles to be signalled, or -1 when none was in time.
int PollFor(std::initializer_list<HANDLE> handles) {
    int signalled = -1;
    Poll([&] {
        const DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.begin(), FALSE, 0);
        if (result < WAIT_OBJECT_0 + handles.size()) signalled = static_cast<int>(result - WAIT_OBJECT_0);
        return signalled >= 0 || result == WAIT_FAILED;
    });
    return signalled;
}

bool IsDialog(HWND hwnd) { return drive::ClassOf(hwnd) == "#32770"; }

// The process's dialog once it shows, with a list of `rows` rows if rows >= 0.
// The dialog exists, hidden, while it loads; once found, only its visibility
// is asked, so that the watching costs the watched program next to nothing.
HWND WaitForDialog(drive::HedgeloomRun& run, int rows) {
    HWND dialog = nullptr;
    bool shown = false;
    Poll([&] {
        if (!dialog)
            for (HWND hwnd : drive::TopLevelWindowsOf(run.ProcessId()))
                if (IsDialog(hwnd) && (rows < 0 || ::GetDlgItem(hwnd, IDC_LIST))) dialog = hwnd;
        if (dialog && ::IsWindowVisible(dialog))
            shown = rows < 0 || drive::SendTimed(::GetDlgItem(dialog, IDC_LIST), LVM_GETITEMCOUNT) == rows;
        return shown || !run.Running();
    });
    return shown ? dialog : nullptr;
}

SIZE_T PeakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

RunTimes Failure(RunTimes times, std::string why) {
    times.error = std::move(why);
    return times;
}

// "Delete Unchecked" sent as the button sends it, from a thread of its own, so
// that the wait for its return can poll like every other wait.
struct PruneCommand {
    HWND dialog;
    bool answered = false;

    static DWORD WINAPI Send(void* context) {
        auto* command = static_cast<PruneCommand*>(context);
        const HWND button = ::GetDlgItem(command->dialog, IDC_DELETE_UNCHECKED);
        DWORD_PTR answer = 0;
        command->answered = ::SendMessageTimeoutA(command->dialog, WM_COMMAND,
                                                  MAKEWPARAM(IDC_DELETE_UNCHECKED, BN_CLICKED),
                                                  reinterpret_cast<LPARAM>(button), SMTO_NORMAL, kTimeoutMs,
                                                  &answer) != 0;
        return 0;
    }
};

// Presses "Exit" and times the process's end.
RunTimes TimeClose(drive::HedgeloomRun& run, HWND dialog, RunTimes times) {
    const HWND exitButton = ::GetDlgItem(dialog, IDCANCEL);
    const Stopwatch closing;
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(exitButton));
    if (PollFor({run.Process()}) != 0) return Failure(times, "did not end after Exit");
    times.close = closing.Ms();
    return times;
}

class NamedEvent {
public:
    explicit NamedEvent(const char* name) : m_event(::CreateEventA(nullptr, FALSE, FALSE, name)) {}
    ~NamedEvent() {
        if (m_event) ::CloseHandle(m_event);
    }
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;
    HANDLE get() const { return m_event; }

private:
    HANDLE m_event;
};

}  // namespace

RunTimes RunHedgeloom(const std::string& exePath, int rows) {
    RunTimes times;
    const Stopwatch started;
    drive::HedgeloomRun run(exePath);
    if (!run.Started()) return Failure(times, "could not be started");
    const HWND dialog = WaitForDialog(run, rows);
    times.load = started.Ms();
    if (!dialog) return Failure(times, "showed no window with all rows");

    PruneCommand command{dialog};
    const Stopwatch pruning;
    const HANDLE sender = ::CreateThread(nullptr, 0, &PruneCommand::Send, &command, 0, nullptr);
    if (!sender) return Failure(times, "no thread to send \"Delete Unchecked\"");
    const bool returned = PollFor({sender}) == 0;
    times.prune = pruning.Ms();
    if (!returned) ::WaitForSingleObject(sender, INFINITE);  // it gives up by itself in time
    ::CloseHandle(sender);
    if (!command.answered) return Failure(times, "did not answer \"Delete Unchecked\"");
    const int kept = drive::RemoteListView{run.Process(), ::GetDlgItem(dialog, IDC_LIST)}.Count();
    if (kept != rows / 2) return Failure(times, "kept " + std::to_string(kept) + " rows");

    times.peakWorkingSet = PeakWorkingSet(run.Process());
    return TimeClose(run, dialog, times);
}

RunTimes RunBaseline(const std::string& exePath) {
    RunTimes times;
    const NamedEvent loaded(kLoadedEvent), prune(kPruneEvent), pruned(kPrunedEvent), close(kCloseEvent);
    if (!loaded.get() || !prune.get() || !pruned.get() || !close.get())
        return Failure(times, "no events to pace it");

    const Stopwatch started;
    drive::HedgeloomRun run(exePath);
    if (!run.Started()) return Failure(times, "could not be started");
    if (PollFor({loaded.get(), run.Process()}) != 0) return Failure(times, "did not load");
    times.load = started.Ms();

    const Stopwatch pruning;
    ::SetEvent(prune.get());
    if (PollFor({pruned.get(), run.Process()}) != 0) return Failure(times, "did not prune");
    times.prune = pruning.Ms();

    times.peakWorkingSet = PeakWorkingSet(run.Process());
    const Stopwatch closing;
    ::SetEvent(close.get());
    if (PollFor({run.Process()}) != 0) return Failure(times, "did not end");
    times.close = closing.Ms();
    if (run.ExitCode() != 0) return Failure(times, "could not save the rewritten key");
    return times;
}

RunTimes RunBareDialog(const std::string& exePath, bool timeClose) {
    RunTimes times;
    const Stopwatch started;
    drive::HedgeloomRun run(exePath);
    if (!run.Started()) return Failure(times, "could not be started");
    const HWND dialog = WaitForDialog(run, -1);
    times.load = started.Ms();
    if (!dialog) return Failure(times, "showed no window");
    times.peakWorkingSet = PeakWorkingSet(run.Process());
    return timeClose ? TimeClose(run, dialog, times) : times;  // HedgeloomRun ends it otherwise
}

}  // namespace bench
