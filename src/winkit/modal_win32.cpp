#include "winkit/modal.h"

#include "winkit/image_button.h"

#include <windows.h>

void RunModalBox(TWindow& box, WindowHandle owner, WindowHandle focus,
                 const std::function<bool()>& ended) {
    HWND ownerWindow = static_cast<HWND>(owner);
    const bool ownerEnabled = ownerWindow && ::IsWindowEnabled(ownerWindow);
    if (ownerEnabled)
        ::EnableWindow(ownerWindow, FALSE);
    ::ShowWindow(static_cast<HWND>(box.Handle()), SW_SHOW);
    ::SetFocus(static_cast<HWND>(focus));
    MSG msg;
    while (!ended() && box.Exists()) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (ImageButtonDialogKey(box.Handle(), msg.message, msg.wParam, msg.lParam))
            continue;
        if (::IsDialogMessageA(static_cast<HWND>(box.Handle()), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (ownerEnabled)
        ::EnableWindow(ownerWindow, TRUE);
    if (box.Exists())
        ::ShowWindow(static_cast<HWND>(box.Handle()), SW_HIDE);
    if (ownerWindow)
        ::SetActiveWindow(ownerWindow);
}
