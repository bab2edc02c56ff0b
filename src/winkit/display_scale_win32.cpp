#include "winkit/display_scale.h"

#include "base/handles.h"

#include <windows.h>

namespace {

// Functions of Windows 10 1607 and later, looked up so the program still starts on Windows 7.
template <class F> F User32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

int ScreenDpi() {
    TWindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi > 0 ? dpi : kDesignDpi;
}

} // namespace

int WindowDpi(WindowHandle window) {
    static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (forWindow && window)
        if (const UINT dpi = forWindow(window))
            return static_cast<int>(dpi);
    return ScreenDpi();
}

int SystemDpi() {
    static const auto forSystem = User32<UINT(WINAPI*)()>("GetDpiForSystem");
    if (forSystem)
        if (const UINT dpi = forSystem())
            return static_cast<int>(dpi);
    return ScreenDpi();
}

TSize FrameSize(TSize client, unsigned long style, unsigned long exStyle, int dpi) {
    static const auto forDpi =
        User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.width, client.height};
    if (!forDpi || !forDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle); // the system's own density
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void FitClientArea(WindowHandle window, TSize client, int dpi, const void* suggested) {
    TSize outer = FrameSize(client, static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)),
                            static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)), dpi);
    RECT at;
    if (suggested)
        at = *static_cast<const RECT*>(suggested);
    else
        ::GetWindowRect(window, &at);
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::SetWindowPos(window, nullptr, at.left, at.top, outer.width, outer.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        RECT inner;
        ::GetClientRect(window, &inner);
        if (inner.right == client.width && inner.bottom == client.height)
            break;
        outer.width += client.width - inner.right;
        outer.height += client.height - inner.bottom;
    }
}

HFONT MakeScaledFont(const char* face, int height, int dpi, bool bold, bool underline,
                     bool ansiCharset) {
    return ::CreateFontA(-Scale(height, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline,
                         FALSE, ansiCharset ? ANSI_CHARSET : DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}
