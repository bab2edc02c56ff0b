// Running a box of the program modally over its owner, as the About and Properties boxes do.
// Windows build only (winkit/modal_win32.cpp).
#pragma once

#include "winkit/window.h"

#include <functional>

// Disables `owner` (when it is enabled), shows `box` with the keyboard focus on `focus`, and
// dispatches messages, the dialog keys (Tab, Enter, Escape) through the box, until `ended`
// answers true, the box is gone or the application is quitting (WM_QUIT is posted again
// for the outer loop). Then the owner is enabled and active again and the box hidden.
void RunModalBox(TWindow& box, WindowHandle owner, WindowHandle focus,
                 const std::function<bool()>& ended);
