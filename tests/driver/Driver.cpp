#include "Driver.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <type_traits>

namespace drive {

namespace {

BOOL CALLBACK CollectWindowOf(HWND hwnd, LPARAM context) {  // a lambda would not be a CALLBACK on 32-bit x86
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->first) found->second.push_back(hwnd);
    return TRUE;
}

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki = {virtualKey, static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)), up ? KEYEVENTF_KEYUP : 0u, 0, 0};
    return input;
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi = {x, y, 0, flags, 0, 0};
    return input;
}

void Send(std::vector<INPUT> inputs, DWORD pauseMs = 15) {
    for (INPUT& input : inputs) SendInput(1, &input, sizeof input), Sleep(pauseMs);
}

using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, LONG(WINAPI*)(HKEY)>;  // closed when it goes; null when it could not be had

Key Opened(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    return {RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr, RegCloseKey};
}

// Room for a row's text well past the 259 characters the program stores.
constexpr int kTextRoom = 1024;

// A block of memory inside the list's process, for the messages whose parameters are pointers: the control
// reads and writes them in its own space.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, std::size_t size)
        : m_process(process), m_base(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~RemoteMemory() { if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE); }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The address of byte `offset` as the other process sees it.
    char* At(std::size_t offset) const { return m_base + offset; }
    // Sends the message with `item` copied to the block, and copies it back; `answered` false, and 0, on any failure.
    template <class T> LRESULT Exchange(HWND list, UINT message, WPARAM index, T& item, bool* answered = nullptr) {
        bool ok = Copy(0, &item, sizeof item, true);
        const LRESULT result = ok ? SendTimed(list, message, index, reinterpret_cast<LPARAM>(m_base), &ok) : 0;
        ok = ok && Copy(0, &item, sizeof item, false);
        if (answered) *answered = ok;
        return ok ? result : 0;
    }
    // The text the control wrote past a structure of `offset` bytes.
    std::string Text(std::size_t offset) {
        std::string text(kTextRoom, '\0');
        return Copy(offset, &text[0], text.size(), false) ? text.c_str() : "(unread)";
    }

private:
    bool Copy(std::size_t offset, void* data, std::size_t size, bool there) {
        SIZE_T done = 0;
        return m_base && (there ? WriteProcessMemory(m_process, At(offset), data, size, &done)
                                : ReadProcessMemory(m_process, At(offset), data, size, &done)) && done == size;
    }
    HANDLE m_process;
    char* m_base;
};

bool IsDialog(HWND hwnd) { return ClassOf(hwnd) == "#32770"; }

// Starts a program by its path or, as a command line would, by its name; its output and errors to `output`, if any.
bool Spawn(const std::string& path, const std::string& arguments, PROCESS_INFORMATION& info, HANDLE output = nullptr) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) startup.dwFlags = STARTF_USESTDHANDLES, startup.hStdOutput = startup.hStdError = output;
    startup.hStdInput = output ? GetStdHandle(STD_INPUT_HANDLE) : nullptr;
    std::string commandLine = "\"" + WindowsPath(path) + "\"" + arguments;
    const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, output != nullptr, 0, nullptr, nullptr,
                                        &startup, &info);
    if (started) CloseHandle(info.hThread);
    return started;
}

}  // namespace

std::vector<ControlFacts> ChildrenOf(HWND parent) {
    std::vector<ControlFacts> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back({child, GetDlgCtrlID(child), ClassOf(child), TextOf(child),
                            static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE)),
                            static_cast<DWORD>(GetWindowLongPtrA(child, GWL_EXSTYLE))});
    return children;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    std::pair<DWORD, std::vector<HWND>> found{processId, {}};
    EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

void ClickAt(POINT screen, bool right) {
    SetCursorPos(screen.x, screen.y);
    Sleep(30);
    Send({MouseInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN), MouseInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

void MoveTo(POINT screen) {
    POINT from{};
    GetCursorPos(&from);
    // Moves as a hand makes them: the window sees the pointer arrive, not jump.
    std::vector<INPUT> steps;
    for (LONG step = 1; step <= 4; ++step)
        steps.push_back(MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                                   MulDiv(from.x + (screen.x - from.x) * step / 4, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                                   MulDiv(from.y + (screen.y - from.y) * step / 4, 65535, GetSystemMetrics(SM_CYSCREEN) - 1)));
    Send(steps, 30);
    SetCursorPos(screen.x, screen.y);
}

void TypeChord(std::initializer_list<WORD> held, WORD virtualKey) {
    std::vector<INPUT> inputs;
    for (WORD key : held) inputs.push_back(KeyInput(key, false));
    inputs.insert(inputs.end(), {KeyInput(virtualKey, false), KeyInput(virtualKey, true)});
    for (auto key = std::rbegin(held); key != std::rend(held); ++key) inputs.push_back(KeyInput(*key, true));
    Send(inputs);
}

bool Registry::KeyExists(const std::string& path) const { return Opened(m_root, path) != nullptr; }

std::size_t Registry::ValueCount(const std::string& path) const {
    const Key key = Opened(m_root, path);
    DWORD count = 0;
    return key && RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                   nullptr, nullptr) == ERROR_SUCCESS ? count : 0;
}

bool Registry::SetAll(const std::string& path, const std::vector<RegValue>& values) const {
    HKEY created = nullptr;  // created if need be
    const LONG result = RegCreateKeyExA(m_root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr);
    const Key key{result == ERROR_SUCCESS ? created : nullptr, RegCloseKey};
    bool stored = key != nullptr;
    for (const RegValue& value : values)
        stored = stored && RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
    return stored;
}

std::vector<RegValue> Registry::Values(const std::string& path, bool* complete) const {
    std::vector<RegValue> values;
    if (complete) *complete = true;
    const Key key = Opened(m_root, path);
    std::string data(65536, '\0');
    for (DWORD index = 0; key;) {
        char name[16384];
        DWORD nameLength = sizeof name, type = 0, dataLength = static_cast<DWORD>(data.size());
        const LONG result = RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&data[0]), &dataLength);
        if (result == ERROR_MORE_DATA && dataLength > data.size()) {
            // A value bigger than the buffer: read again whole, so that an export never ends early unsaid.
            data.resize(dataLength);
            continue;
        }
        if (result != ERROR_SUCCESS) {
            if (complete) *complete = result == ERROR_NO_MORE_ITEMS;
            break;
        }
        values.push_back({{name, nameLength}, type, data.substr(0, dataLength)}), ++index;
    }
    return values;
}

bool RemoteListView::SetChecked(int row, bool checked) const {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    return RemoteMemory(process, sizeof item).Exchange(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), item) != 0;
}

std::vector<Row> RemoteListView::Rows() const {
    RemoteMemory memory(process, sizeof(LVITEMA) + kTextRoom);
    auto textOf = [&](int row, int column) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = memory.At(sizeof item);
        item.cchTextMax = kTextRoom;
        bool answered = false;  // the text's length comes back, 0 for none
        memory.Exchange(hwnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), item, &answered);
        return answered ? memory.Text(sizeof item) : "(unread)";
    };
    std::vector<Row> rows;
    for (int row = 0, count = Count(); row < count; ++row) rows.push_back({textOf(row, 0), textOf(row, 1), Checked(row)});
    return rows;
}

std::string RemoteListView::Columns() const {
    std::string columns;
    RemoteMemory memory(process, sizeof(LVCOLUMNA) + kTextRoom);
    for (int index = 0; index < 64; ++index) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = memory.At(sizeof column);
        column.cchTextMax = kTextRoom;
        if (!memory.Exchange(hwnd, LVM_GETCOLUMNA, static_cast<WPARAM>(index), column)) break;
        columns += memory.Text(sizeof column) + " " + std::to_string(column.cx) + " " +
                   std::to_string(column.fmt & LVCFMT_JUSTIFYMASK) + ";";
    }
    return columns;
}

std::vector<int> RemoteListView::Selected() const {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(SendTimed(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                          LVNI_SELECTED))) >= 0 && (rows.empty() || row > rows.back());)
        rows.push_back(row);
    return rows;
}

bool RemoteListView::RectOnScreen(int row, int part, RECT* rect) const {
    *rect = RECT{part, 0, 0, 0};
    if (!RemoteMemory(process, sizeof *rect).Exchange(hwnd, LVM_GETITEMRECT, static_cast<WPARAM>(row), *rect)) return false;
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(rect), 2);
    return true;
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') std::replace(path.begin(), path.end(), '/', '\\'), path.insert(0, "Z:");
    return path;
}

HedgeloomRun::HedgeloomRun(const std::string& exePath) {
    PROCESS_INFORMATION info{};
    // Wine now and then refuses to start a process (ERROR_INTERNAL_ERROR) on a loaded machine just after another
    // was killed. None of the program's own code has run by then, so trying again hides none of its faults.
    for (int attempt = 1; m_startTick = GetTickCount64(), !Spawn(exePath, "", info); ++attempt) {
        std::printf("driver: starting %s failed with %lu\n", exePath.c_str(), GetLastError());
        if (attempt == 3) return;
        Sleep(500);
    }
    m_process = info.hProcess, m_processId = info.dwProcessId;
}

HWND HedgeloomRun::WaitForMainWindow(bool visible, DWORD timeoutMs) {
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(m_processId))
            if (IsDialog(hwnd) && GetDlgItem(hwnd, IDC_LIST) && (!visible || IsWindowVisible(hwnd))) m_main = hwnd;
        return m_main || !Running();
    }, m_process ? timeoutMs : 0);
    if (m_main && !m_startToWindowMs) m_startToWindowMs = static_cast<DWORD>(GetTickCount64() - m_startTick);
    return m_main;
}

std::vector<HWND> HedgeloomRun::OtherDialogs() const {
    std::vector<HWND> dialogs;
    for (HWND hwnd : TopLevelWindowsOf(m_processId))
        if (hwnd != m_main && IsDialog(hwnd) && !GetDlgItem(hwnd, IDC_LIST) && IsWindowVisible(hwnd)) dialogs.push_back(hwnd);
    return dialogs;
}

HWND HedgeloomRun::WaitForOtherDialog(const char* caption, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND hwnd : OtherDialogs()) found = TextOf(hwnd) == caption ? hwnd : found;
        return found || !Running();
    }, timeoutMs);
    return found;
}

CommandRun RunCommand(const std::string& exePath, const std::string& arguments, DWORD timeoutMs) {
    CommandRun run;
    char folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "hlo", 0, file)) return run;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE output = CreateFileA(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    PROCESS_INFORMATION info{};
    const ULONGLONG start = GetTickCount64();
    if (output != INVALID_HANDLE_VALUE && Spawn(exePath, " " + arguments, info, output)) {
        run.ended = WaitUntil([&] {
            for (HWND hwnd : TopLevelWindowsOf(info.dwProcessId)) run.showedWindow |= IsWindowVisible(hwnd) != FALSE;
            return WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT;
        }, timeoutMs);
        if (!run.ended && TerminateProcess(info.hProcess, 255)) WaitForSingleObject(info.hProcess, 5000);
        run.ms = static_cast<double>(GetTickCount64() - start);
        GetExitCodeProcess(info.hProcess, &run.exitCode);
        CloseHandle(info.hProcess);
        SetFilePointer(output, 0, nullptr, FILE_BEGIN);
        char buffer[65536];
        for (DWORD read = 0; ReadFile(output, buffer, sizeof buffer, &read, nullptr) && read > 0;) run.output.append(buffer, read);
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
    return run;
}

}  // namespace drive
