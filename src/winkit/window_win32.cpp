#include "winkit/window.h"

#include "base/system_error.h"
#include "platform/startup.h"
#include "winkit/display_scale.h"

#include <windows.h>

#include <set>
#include <string>
#include <utility>

namespace {

// The hand cursor, set up once when the program is loaded.
const HCURSOR g_handPoint = ::LoadCursorA(nullptr, IDC_HAND);

HBRUSH BackgroundBrush(TWindowClass::Background background) {
    switch (background) {
    case TWindowClass::Background::ButtonFace:
        return ::GetSysColorBrush(COLOR_BTNFACE);
    case TWindowClass::Background::White:
        return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    case TWindowClass::Background::None:
        break;
    }
    return nullptr;
}

void RegisterOnce(const TWindowClass& c, WNDPROC procedure) {
    static std::set<std::string> registered;
    if (registered.count(c.name))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = c.handCursor ? g_handPoint : ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = BackgroundBrush(c.background);
    wc.lpszClassName = c.name;
    // No CS_DBLCLKS: a fast second click arrives as a second press.
    if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        RaiseLastOSError(std::string("Cannot register the window class ") + c.name);
    registered.insert(c.name);
}

} // namespace

HCURSOR HandPointCursor() { return g_handPoint; }

std::string MessageOfCurrentError() { return MessageOf(std::current_exception()); }

// The program's only window procedure.
struct TWindowThunk {
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
        TWindow* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
            if (self) {
                self->hwnd_ = hwnd;
                self->dpi_ = WindowDpi(hwnd);
                ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        } else {
            self = reinterpret_cast<TWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return ::DefWindowProcA(hwnd, message, wp, lp);
        LRESULT result = 0;
        try {
            result = static_cast<LRESULT>(self->Route(message, wp, lp));
        } catch (...) {
            result = static_cast<LRESULT>(self->Failed(message, std::current_exception()));
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }
};

TWindow::~TWindow() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

TWindow* TWindow::FromHandle(WindowHandle window) {
    if (!window || !::IsWindow(window))
        return nullptr;
    if (::GetWindowLongPtrA(window, GWLP_WNDPROC) !=
        reinterpret_cast<LONG_PTR>(&TWindowThunk::Procedure))
        return nullptr;
    return reinterpret_cast<TWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

void TWindow::Create(const TWindowClass& windowClass, const TCreateArgs& args) {
    RegisterOnce(windowClass, &TWindowThunk::Procedure);
    class_ = &windowClass;
    creating_ = true;
    creationError_ = nullptr;
    HWND hwnd = ::CreateWindowExA(args.exStyle, windowClass.name, args.text.c_str(), args.style,
                                  args.left, args.top, args.width, args.height, args.parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                                  ::GetModuleHandleA(nullptr), this);
    const DWORD code = ::GetLastError();
    creating_ = false;
    if (creationError_) {
        if (hwnd_)
            DestroyHandle();
        std::rethrow_exception(std::exchange(creationError_, nullptr));
    }
    if (!hwnd) {
        ::SetLastError(code);
        RaiseLastOSError(std::string("Cannot create the window ") + windowClass.name);
    }
}

void TWindow::DestroyHandle() {
    if (hwnd_)
        ::DestroyWindow(hwnd_); // WM_NCDESTROY clears hwnd_
}

std::intptr_t TWindow::OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    return DefaultMessage(message, wp, lp);
}

std::intptr_t TWindow::Route(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    const bool painted = class_ && class_->painted;
    switch (message) {
    case WM_ERASEBKGND:
        if (!painted)
            break;
        return 1; // the whole surface is painted off-screen in WM_PAINT
    case WM_PAINT:
        if (!painted)
            break;
        {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd_, &ps);
            PaintMessage(dc);
            ::EndPaint(hwnd_, &ps);
        }
        return 0;
    case WM_PRINTCLIENT:
        if (!painted)
            break;
        PaintMessage(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_DPICHANGED:
        if (const int dpi = HIWORD(wp); dpi > 0 && dpi != dpi_) {
            dpi_ = dpi;
            ScaleFonts();
            ApplyDpi();
            FitFrame(reinterpret_cast<const void*>(lp));
        }
        return 0;
    default:
        break;
    }
    return OnMessage(message, wp, lp);
}

void TWindow::PaintMessage(HDC target) {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    TDoubleBuffer buffer(target, client.right, client.bottom);
    if (HBRUSH brush = BackgroundBrush(class_->background))
        ::FillRect(buffer.Dc(), &client, brush);
    Paint(buffer.Dc(), {client.right, client.bottom});
    buffer.CopyTo(target);
}

void TWindow::Paint(HDC, TSize) {}

void TWindow::Invalidate() {
    if (hwnd_)
        ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void TWindow::Invalidate(const TBounds& area) {
    if (!hwnd_)
        return;
    RECT r{area.left, area.top, area.left + area.width, area.top + area.height};
    ::InvalidateRect(hwnd_, &r, FALSE);
}

void TWindow::FitFrame(const void* suggested) {
    const TSize design = DesignClientSize();
    if (!hwnd_ || design.width <= 0)
        return;
    FitClientArea(hwnd_, Scale(design, dpi_), dpi_, suggested);
    Invalidate();
}

std::intptr_t TWindow::DefaultMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    return ::DefWindowProcA(hwnd_, message, wp, lp);
}

std::intptr_t TWindow::Failed(unsigned message, const std::exception_ptr& error) noexcept {
    if (creating_) {
        // The first error wins; the creation fails and Create rethrows it.
        if (!creationError_)
            creationError_ = error;
        if (message == WM_NCCREATE)
            return FALSE;
        return message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_PAINT && hwnd_)
        ::ValidateRect(hwnd_, nullptr);
    try {
        ReportError(MessageOf(error));
    } catch (...) {
        // Reporting failed too: nothing more can be done here.
    }
    return 0;
}

void TWindow::ReportError(const std::string& message) {
    try {
        HWND root = hwnd_ ? ::GetAncestor(hwnd_, GA_ROOTOWNER) : nullptr;
        TWindow* owner = root && root != hwnd_ ? FromHandle(root) : nullptr;
        if (owner) {
            owner->ReportError(message);
            return;
        }
        std::string caption(256, '\0');
        caption.resize(static_cast<std::size_t>(
            root ? ::GetWindowTextA(root, caption.data(), static_cast<int>(caption.size())) : 0));
        ::MessageBoxA(root, ErrorBoxText(message).c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}
