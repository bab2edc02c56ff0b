// What screen readers learn about the program's windows through Microsoft Active
// Accessibility. Windows build only (winkit/accessibility_win32.cpp).
//
//   case WM_GETOBJECT:                           // in an image button's window procedure
//       if (std::intptr_t object = PushButtonObject(Handle(), wParam, lParam))
//           return object;
//   NameSystemControl(edit, "Filter");           // a list, edit or drop-down without a label
//   WindowHandle info = CreateHiddenText(form, bounds, "Welcome!");  // painted text, readable
//
// Nothing here changes what the windows look like or how they take the keyboard.
#pragma once

#include "base/handles.h"
#include "winkit/painted_layer.h" // TBounds

#include <cstdint>
#include <string>

// The answer of a custom-drawn push button to WM_GETOBJECT: for its client object an
// accessible object with the push-button role, the window text as its name (the button
// never draws it), the window's disabled, focused and hidden states plus the pressed and hot
// states the button reports through BM_GETSTATE, and "Press" as its default action, which
// clicks the button through BM_CLICK. 0 for any other request, or when the object cannot be
// made: the window then gives the system's default answer.
std::intptr_t PushButtonObject(WindowHandle button, std::uintptr_t wParam, std::intptr_t lParam);

// Gives a system control that has no label of its own (a list, an edit box, a drop-down
// list) the name screen readers announce, through the accessibility property service. False
// where the platform's service refuses it (Wine's only stubs it). The service keeps the name
// beside the window: ForgetSystemControlName takes it back before the control is destroyed.
bool NameSystemControl(WindowHandle control, const std::string& name);
void ForgetSystemControlName(WindowHandle control);

// A static control under `parent` that is never shown and carries a text the parent paints
// itself, so that screen readers find it as text. Not a tab stop; the parent's painting and
// hit testing are not touched. Throws EOSError when it cannot be created.
WindowHandle CreateHiddenText(WindowHandle parent, const TBounds& bounds, const std::string& text);
