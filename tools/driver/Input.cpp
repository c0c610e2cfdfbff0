#include "Input.h"

#include <vector>

#include "Wait.h"
#include "WindowFacts.h"

namespace drive {

namespace {

INPUT KeyInput(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT MouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    for (INPUT& input : inputs) {
        SendInput(1, &input, sizeof input);
        Sleep(15);
    }
}

LPARAM KeyParam(WORD virtualKey, bool up) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    return 1 | scan | (up ? (LPARAM{1} << 30) | (LPARAM{1} << 31) : 0);
}

}  // namespace

bool BringToFront(HWND hwnd) {
    SetForegroundWindow(hwnd);
    return WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000);
}

void ClickAt(POINT screen, bool shift) {
    SetCursorPos(screen.x, screen.y);
    Sleep(30);
    std::vector<INPUT> inputs;
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN));
    inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    Send(inputs);
}

void TypeKey(WORD virtualKey, bool alt) {
    std::vector<INPUT> inputs;
    if (alt) inputs.push_back(KeyInput(VK_MENU, false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    if (alt) inputs.push_back(KeyInput(VK_MENU, true));
    Send(inputs);
}

void PostKey(HWND target, WORD virtualKey) {
    PostMessageA(target, WM_KEYDOWN, virtualKey, KeyParam(virtualKey, false));
    PostMessageA(target, WM_KEYUP, virtualKey, KeyParam(virtualKey, true));
}

void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool CaptionPoint(HWND hwnd, LRESULT hitCode, POINT* point) {
    RECT frame{};
    if (!GetWindowRect(hwnd, &frame)) return false;
    constexpr LONG kEnd = 80;  // the caption's buttons and icon sit this near its ends
    LONG sumX = 0, sumY = 0, hits = 0;
    for (LONG y = frame.top; y < frame.top + 40 && y < frame.bottom; y += 2)
        for (LONG x = frame.left; x < frame.right; x += 2) {
            if (x == frame.left + kEnd && frame.right - kEnd > x) x = frame.right - kEnd;
            if (SendTimed(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hitCode) {
                sumX += x;
                sumY += y;
                ++hits;
            }
        }
    if (!hits) return false;
    *point = {sumX / hits, sumY / hits};
    return true;
}

}  // namespace drive
