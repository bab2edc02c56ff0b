// The one window base of the program: every window it makes (the main window, the About box,
// the image button) derives from TWindow and gets its messages through TWindow's single
// window procedure.
//
//   class TMyWindow : public TWindow {
//   public:
//       TMyWindow() { Create(kClass, {.text = "Hello", .style = ..., .width = 200, ...}); }
//   private:
//       std::intptr_t OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) override;
//   };
//
// What the base promises:
// - The object knows its handle from WM_NCCREATE on, so every message that arrives while
//   CreateWindowEx is still running already goes to the object with the right handle.
// - No exception ever leaves the window procedure: unwinding through the system's frames is
//   undefined on Windows and hangs or kills the process under Wine. An error while the window
//   is being created makes the creation fail, and Create throws it after CreateWindowEx has
//   returned. An error in any later message is handed to ReportError (by default the error
//   box of the window's root owner) and the program goes on; a failed WM_PAINT validates the
//   window first, so it is not painted (and reported) again and again.
// - Painting and display density are the base's: a window of a class with `painted` on is
//   painted only through Paint, on one off-screen buffer of its client area filled with the
//   class's background and copied in one step (its background is never erased on its own);
//   on WM_DPICHANGED the base takes the new density, runs ScaleFonts and ApplyDpi and fits the
//   fixed frame around DesignClientSize at the place the system suggests.
// - The object and its window part cleanly from either side: destroying the object destroys
//   the window; when the window is destroyed first (with its parent, say) the object
//   forgets the handle and never touches it again.
#pragma once

#include "base/geometry.h"
#include "base/handles.h"

#include <cstdint>
#include <exception>
#include <string>

// A window class of the program, registered on first use.
struct TWindowClass {
    const char* name;
    enum class Background { None, ButtonFace, White } background = Background::None;
    bool handCursor = false; // the arrow otherwise
    bool painted = false;    // the window paints its client area itself (TWindow::Paint)
};

// Named creation arguments.
struct TCreateArgs {
    std::string text;
    unsigned long style = 0;
    unsigned long exStyle = 0;
    int left = 0, top = 0, width = 0, height = 0;
    WindowHandle parent = nullptr; // parent of a child window, owner of a pop-up
    int id = 0;                    // control id of a child window
};

class TWindow {
public:
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    // Destroys the window if it still exists, without routing its last messages to the
    // (by then partly destroyed) object. A window that needs its WM_DESTROY handled calls
    // DestroyHandle() from its own destructor.
    virtual ~TWindow();

    WindowHandle Handle() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr; }
    // The object behind a window of this program, or nullptr.
    static TWindow* FromHandle(WindowHandle window);
    // The density the window is laid out for: the one it was created at, then the one of
    // each WM_DPICHANGED (96: as the layout tables say).
    int Dpi() const { return dpi_; }

    // An error escaped one of this window's handlers. The default hands it to the root
    // owner's ReportError, or shows a plain error box when there is none. Never throws.
    virtual void ReportError(const std::string& message);

protected:
    TWindow() = default;

    // Registers the class on first use and creates the window. Throws the error that made
    // the creation fail: the one a handler raised during it, or EOSError.
    void Create(const TWindowClass& windowClass, const TCreateArgs& args);
    void DestroyHandle();

    // Draws the whole client area on `dc`, an off-screen buffer of `size` already filled with
    // the class's background. Only for a class with `painted` on.
    virtual void Paint(HDC dc, TSize size);
    // Repaints the window (all of it, or `area`) at its next WM_PAINT.
    void Invalidate();
    void Invalidate(const TBounds& area);

    // The fonts and the places of the controls for Dpi(): at creation (the window calls them)
    // and on every change of density (the base calls them, fonts first).
    virtual void ScaleFonts() {}
    virtual void ApplyDpi() {}
    // The client area's size at 96 dpi, around which the fixed frame is fitted at every
    // density; {0, 0} (the default) leaves the frame alone.
    virtual TSize DesignClientSize() const { return {}; }
    // Fits the fixed frame around the scaled client area, its outer top-left corner at the
    // RECT `suggested` points to (the one WM_DPICHANGED brings), or where it is for nullptr.
    void FitFrame(const void* suggested = nullptr);

    // Every message of the window. The default is the system's default handling.
    virtual std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t DefaultMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    friend struct TWindowThunk;
    // The base's own messages (painting, density) first, then OnMessage.
    std::intptr_t Route(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void PaintMessage(HDC target);
    std::intptr_t Failed(unsigned message, const std::exception_ptr& error) noexcept;

    WindowHandle hwnd_ = nullptr;
    const TWindowClass* class_ = nullptr;
    int dpi_ = 96;
    bool creating_ = false;
    std::exception_ptr creationError_;
};

// The message of the exception being handled (inside a catch block).
std::string MessageOfCurrentError();

// Runs `handler` and reports whatever it throws through `window`'s ReportError: for the
// program's own callbacks that the system calls outside a window procedure (enumerations,
// the message loop's idle pass). Returns false when the handler threw.
template <class F> bool ReportErrors(TWindow& window, F&& handler) noexcept {
    try {
        handler();
        return true;
    } catch (...) {
        try {
            window.ReportError(MessageOfCurrentError());
        } catch (...) {
        }
        return false;
    }
}

// The system's hand cursor, loaded once when the program starts.
HCURSOR HandPointCursor();
