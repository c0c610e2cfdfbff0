// Real input through the system's queue, for what only a user can cause (a list's own click notice),
// and clicks posted straight to a button.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace drive {

// Makes the window the foreground one, so that real input reaches it.
bool BringToFront(HWND hwnd);
// A real left or right click at a point on the screen.
void ClickAt(POINT screen);
void RightClickAt(POINT screen);
// A real move of the pointer to a point on the screen, in a few steps.
void MoveTo(POINT screen);
// A real key press and release while the `held` keys are down (VK_CONTROL, VK_SHIFT).
void TypeChord(std::initializer_list<WORD> held, WORD virtualKey);
inline void TypeKey(WORD virtualKey) { TypeChord({}, virtualKey); }
// Posts a button's click to it, as a message; the button does the rest.
void PostClick(HWND button);

}  // namespace drive
