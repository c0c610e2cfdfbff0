#include "Input.h"

#include <iterator>
#include <vector>

#include "Wait.h"

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

}  // namespace

bool BringToFront(HWND hwnd) {
    SetForegroundWindow(hwnd);
    return WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000);
}

static void Click(POINT screen, DWORD down, DWORD up) {
    SetCursorPos(screen.x, screen.y);
    Sleep(30);
    Send({MouseInput(down), MouseInput(up)});
}

void ClickAt(POINT screen) { Click(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void RightClickAt(POINT screen) { Click(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

void MoveTo(POINT screen) {
    POINT from{};
    GetCursorPos(&from);
    // Moves as a hand makes them: the window sees the pointer arrive, not jump.
    for (int step = 1; step <= 4; ++step) {
        INPUT input = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
        const LONG x = from.x + (screen.x - from.x) * step / 4, y = from.y + (screen.y - from.y) * step / 4;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        SendInput(1, &input, sizeof input);
        Sleep(30);
    }
    SetCursorPos(screen.x, screen.y);
}

void TypeChord(std::initializer_list<WORD> held, WORD virtualKey) {
    std::vector<INPUT> inputs;
    for (WORD key : held) inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    for (auto key = std::rbegin(held); key != std::rend(held); ++key) inputs.push_back(KeyInput(*key, true));
    Send(inputs);
}

void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

}  // namespace drive
