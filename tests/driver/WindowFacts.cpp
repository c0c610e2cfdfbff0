#include "WindowFacts.h"

#include <utility>

namespace drive {

namespace {

// Long enough for a pruning of ten thousand addresses on a busy machine.
constexpr UINT kSendTimeoutMs = 20000;

BOOL CALLBACK CollectWindowOf(HWND hwnd, LPARAM context) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->first) found->second.push_back(hwnd);
    return TRUE;
}

}  // namespace

LRESULT SendTimed(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool* ok) {
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL,
                                              kSendTimeoutMs, &result) != 0;
    if (ok) *ok = answered;
    return answered ? static_cast<LRESULT>(result) : 0;
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hwnd) {
    const LRESULT length = SendTimed(hwnd, WM_GETTEXTLENGTH);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendTimed(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

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

HWND FocusOfThread(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
}

}  // namespace drive
