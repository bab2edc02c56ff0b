#include "winkit/modal.h"

#include "winkit/image_button.h"

#include <windows.h>

void RunModalBox(TWindow& box, WindowHandle owner, WindowHandle focus,
                 const std::function<bool()>& ended) {
    const bool ownerEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(box.Handle(), SW_SHOW);
    ::SetFocus(focus);
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
        if (::IsDialogMessageA(box.Handle(), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (ownerEnabled)
        ::EnableWindow(owner, TRUE);
    if (box.Exists())
        ::ShowWindow(box.Handle(), SW_HIDE);
    if (owner)
        ::SetActiveWindow(owner);
}
