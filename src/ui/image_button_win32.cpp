#include "ui/image_button.h"

#include <windows.h>
#include <windowsx.h>

#include <stdexcept>
#include <string>

namespace {

const char kClassName[] = "TsuiImageButton";
const char kModalProp[] = "SweeperModalResult";
// Set while a button releases its own capture at the end of a press, so the capture-lost
// notice that follows is not taken for a cancel.
bool releasingOwnCapture = false;
constexpr UINT_PTR kRepeatTimer = 1;

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = text ? text : "Error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

HWND H(WindowHandle w) { return static_cast<HWND>(w); }

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<TsuiCustomButton*>(cs->lpCreateParams)->Attach(hwnd);
    }
    auto* button = reinterpret_cast<TsuiCustomButton*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (button && msg != WM_NCCREATE && msg != WM_NCDESTROY)
        return static_cast<LRESULT>(button->HandleMessage(msg, wp, lp));
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void RegisterClassOnce() {
    static bool done = false;
    if (done) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ButtonProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    // No CS_DBLCLKS: a fast second click arrives as a second press. No background brush:
    // the control paints every pixel itself.
    if (!RegisterClassA(&wc)) throw std::runtime_error(SystemMessage(GetLastError()));
    done = true;
}

struct MemDc {
    HDC dc;
    explicit MemDc(HDC ref) : dc(CreateCompatibleDC(ref)) {}
    ~MemDc() { DeleteDC(dc); }
};

} // namespace

// ---------------------------------------------------------------- TPicture

TPicture::TPicture(const TPicture& other) { *this = other; }

TPicture& TPicture::operator=(const TPicture& other) {
    if (this == &other) return *this;
    Reset();
    if (other.kind_ == Kind::Bitmap) {
        handle_ = CopyImage(other.handle_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    } else if (other.kind_ == Kind::Other) {
        handle_ = CopyIcon(static_cast<HICON>(other.handle_));
    }
    if (handle_) {
        kind_ = other.kind_;
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

TPicture::TPicture(TPicture&& other) noexcept
    : kind_(other.kind_), handle_(other.handle_), width_(other.width_), height_(other.height_) {
    other.kind_ = Kind::Empty;
    other.handle_ = nullptr;
    other.width_ = other.height_ = 0;
}

TPicture& TPicture::operator=(TPicture&& other) noexcept {
    if (this != &other) {
        Reset();
        std::swap(kind_, other.kind_);
        std::swap(handle_, other.handle_);
        std::swap(width_, other.width_);
        std::swap(height_, other.height_);
    }
    return *this;
}

TPicture::~TPicture() { Reset(); }

void TPicture::Reset() {
    if (kind_ == Kind::Bitmap && handle_) DeleteObject(static_cast<HBITMAP>(handle_));
    if (kind_ == Kind::Other && handle_) DestroyIcon(static_cast<HICON>(handle_));
    kind_ = Kind::Empty;
    handle_ = nullptr;
    width_ = height_ = 0;
}

TPicture TPicture::FromBitmap(BitmapHandle bitmap) {
    TPicture p;
    if (!bitmap) return p;
    BITMAP info{};
    if (!GetObjectA(static_cast<HBITMAP>(bitmap), sizeof info, &info)) return p;
    p.handle_ = CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!p.handle_) return p;
    p.kind_ = Kind::Bitmap;
    p.width_ = info.bmWidth;
    p.height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return p;
}

TPicture TPicture::FromResource(int resourceId, void* module) {
    HINSTANCE inst = module ? static_cast<HINSTANCE>(module) : GetModuleHandleA(nullptr);
    HANDLE h = LoadImageA(inst, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0,
                          LR_CREATEDIBSECTION);
    if (!h) throw std::runtime_error(SystemMessage(GetLastError()));
    TPicture p = FromBitmap(h);
    DeleteObject(h);
    return p;
}

TPicture TPicture::FromFile(const std::string& path) {
    HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                          LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!h) throw std::runtime_error(SystemMessage(GetLastError()));
    TPicture p = FromBitmap(h);
    DeleteObject(h);
    return p;
}

TPicture TPicture::FromIcon(IconHandle icon) {
    TPicture p;
    if (!icon) return p;
    p.handle_ = CopyIcon(static_cast<HICON>(icon));
    if (!p.handle_) return p;
    p.kind_ = Kind::Other;
    ICONINFO info{};
    if (GetIconInfo(static_cast<HICON>(icon), &info)) {
        BITMAP bm{};
        if (GetObjectA(info.hbmMask, sizeof bm, &bm)) {
            p.width_ = bm.bmWidth;
            p.height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        }
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    return p;
}

// ---------------------------------------------------------------- TsuiCustomButton

TsuiCustomButton::TsuiCustomButton(WindowHandle parent, int left, int top, int width,
                                   int height, int controlId) {
    RegisterClassOnce();
    color_ = GetSysColor(COLOR_BTNFACE);
    HWND hwnd = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, left,
                                top, width, height, H(parent),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                GetModuleHandleA(nullptr), this);
    if (!hwnd) throw std::runtime_error(SystemMessage(GetLastError()));
    hwnd_ = hwnd;
    logic_.OnPropertiesChanged = [this] { ApplyProperties(); };
    logic_.WindowCreated();
}

TsuiCustomButton::~TsuiCustomButton() {
    if (hwnd_) {
        HWND hwnd = H(hwnd_);
        KillTimer(hwnd, kRepeatTimer);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

TsuiCustomButton* TsuiCustomButton::FromHandle(WindowHandle window) {
    char name[32] = {};
    if (!window || !GetClassNameA(H(window), name, sizeof name) || lstrcmpiA(name, kClassName))
        return nullptr;
    return reinterpret_cast<TsuiCustomButton*>(GetWindowLongPtrA(H(window), GWLP_USERDATA));
}

void TsuiCustomButton::SetBounds(int left, int top, int width, int height) {
    MoveWindow(H(hwnd_), left, top, width, height, TRUE);
}

namespace {
RECT BoundsInParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

int TsuiCustomButton::Left() const { return BoundsInParent(H(hwnd_)).left; }
int TsuiCustomButton::Top() const { return BoundsInParent(H(hwnd_)).top; }
int TsuiCustomButton::Width() const {
    RECT r = BoundsInParent(H(hwnd_));
    return r.right - r.left;
}
int TsuiCustomButton::Height() const {
    RECT r = BoundsInParent(H(hwnd_));
    return r.bottom - r.top;
}

void TsuiCustomButton::SetTabStop(bool on) {
    logic_.SetTabStop(on);
    LONG_PTR style = GetWindowLongPtrA(H(hwnd_), GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(H(hwnd_), GWL_STYLE, style);
}

void TsuiCustomButton::SetTransparent(bool on) {
    if (transparent_ == on) return;
    transparent_ = on;
    TransparentChanged();
}

void TsuiCustomButton::TransparentChanged() {
    pictureTransparent_ = transparent_;
    Invalidate();
}

void TsuiCustomButton::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    UIStyleChanged();
    Invalidate();
}

void TsuiCustomButton::SetColor(unsigned long colorRef) {
    color_ = colorRef;
    Invalidate();
}

void TsuiCustomButton::SetFont(FontHandle font) {
    font_ = font;
    FontChanged();
}

void TsuiCustomButton::FontChanged() { Invalidate(); }

void TsuiCustomButton::ApplyProperties() {
    if (!hwnd_) return;
    HWND hwnd = H(hwnd_);
    const bool enabled = logic_.Enabled();
    if ((IsWindowEnabled(hwnd) != FALSE) != enabled) {
        EnableWindow(hwnd, enabled ? TRUE : FALSE);
        EnabledChanged();
    }
    const bool visible = logic_.Visible();
    if (((GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != visible)
        ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    CaptionChanged();
}

void TsuiCustomButton::Invalidate() {
    if (!hwnd_) return;
    HDC dc = GetDC(H(hwnd_));
    Paint(dc);
    ReleaseDC(H(hwnd_), dc);
    ValidateRect(H(hwnd_), nullptr);
}

bool TsuiCustomButton::HasFocus() const { return hwnd_ && GetFocus() == H(hwnd_); }

void TsuiCustomButton::StartRepeatTimer(int periodMs) {
    SetTimer(H(hwnd_), kRepeatTimer, static_cast<UINT>(periodMs), nullptr);
}

void TsuiCustomButton::StopRepeatTimer() {
    if (hwnd_) KillTimer(H(hwnd_), kRepeatTimer);
}

bool TsuiCustomButton::CanFocus() {
    for (HWND w = H(hwnd_); w; w = GetParent(w)) {
        if (!IsWindowEnabled(w) || !IsWindowVisible(w)) return false;
        if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

bool TsuiCustomButton::TakeFocus() { return SetFocus(H(hwnd_)) != nullptr || HasFocus(); }

bool TsuiCustomButton::HasParent() { return GetParent(H(hwnd_)) != nullptr; }

void TsuiCustomButton::SetParentModalResult(int result) {
    HWND root = GetAncestor(H(hwnd_), GA_ROOT);
    if (!root) return;
    SetModalResultOf(root, result);
    if (result != 0) {
        char name[16] = {};
        GetClassNameA(root, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0) EndDialog(root, result);
    }
}

void TsuiCustomButton::DrawPicture(DcHandle dc, BitmapHandle picture, int width, int height) {
    MemDc src(static_cast<HDC>(dc));
    HGDIOBJ old = SelectObject(src.dc, picture);
    BITMAP bm{};
    GetObjectA(picture, sizeof bm, &bm);
    const int h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (pictureTransparent_) {
        COLORREF key = GetPixel(src.dc, 0, 0);
        TransparentBlt(static_cast<HDC>(dc), 0, 0, width, height, src.dc, 0, 0, bm.bmWidth, h,
                       key);
    } else {
        BitBlt(static_cast<HDC>(dc), 0, 0, bm.bmWidth, h, src.dc, 0, 0, SRCCOPY);
    }
    SelectObject(src.dc, old);
}

void TsuiCustomButton::DrawCaption(DcHandle dc) {
    HDC hdc = static_cast<HDC>(dc);
    RECT r{};
    GetClientRect(H(hwnd_), &r);
    HGDIOBJ old = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(logic_.Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(hdc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, old);
}

void TsuiCustomButton::DrawFocusRect(DcHandle dc) {
    RECT r{};
    GetClientRect(H(hwnd_), &r);
    InflateRect(&r, -2, -2);
    ::DrawFocusRect(static_cast<HDC>(dc), &r);
}

void TsuiCustomButton::Paint(DcHandle target) {
    HWND hwnd = H(hwnd_);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    const int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return;
    HDC screen = static_cast<HDC>(target);
    // 1. Work bitmap of the button's size in the screen's format.
    MemDc work(screen);
    HBITMAP workBmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldWork = SelectObject(work.dc, workBmp);
    // 2. State bitmap.
    TPicture state;
    switch (logic_.StatePicture()) {
    case TButtonPicture::Normal: GetNormalPicture(state); break;
    case TButtonPicture::MouseOn: GetMouseOnPicture(state); break;
    case TButtonPicture::MouseDown: GetMouseDownPicture(state); break;
    case TButtonPicture::Disabled: GetDisabledPicture(state); break;
    }
    HBITMAP stateBmp = nullptr;
    bool ownState = false;
    if (state.GetKind() == TPicture::Kind::Bitmap) {
        stateBmp = static_cast<HBITMAP>(state.Bitmap());
    } else if (state.GetKind() == TPicture::Kind::Other) {
        // Not a bitmap: it paints as an empty 74 x 21 bitmap (white).
        stateBmp = CreateCompatibleBitmap(screen, 74, 21);
        ownState = true;
        MemDc fill(screen);
        HGDIOBJ o = SelectObject(fill.dc, stateBmp);
        PatBlt(fill.dc, 0, 0, 74, 21, WHITENESS);
        SelectObject(fill.dc, o);
    }
    // 3. and 4. Transparency and background.
    pictureTransparent_ = transparent_;
    HWND parent = GetParent(hwnd);
    if (transparent_ && parent) {
        POINT origin{0, 0};
        MapWindowPoints(hwnd, parent, &origin, 1);
        RECT pr{};
        GetClientRect(parent, &pr);
        HBRUSH face = CreateSolidBrush(color_);
        FillRect(work.dc, &rc, face);
        DeleteObject(face);
        SaveDC(work.dc);
        SetViewportOrgEx(work.dc, -origin.x, -origin.y, nullptr);
        IntersectClipRect(work.dc, pr.left, pr.top, pr.right, pr.bottom);
        SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(work.dc), 0);
        SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(work.dc), PRF_CLIENT);
        RestoreDC(work.dc, -1);
    } else {
        HBRUSH face = CreateSolidBrush(color_);
        FillRect(work.dc, &rc, face);
        DeleteObject(face);
    }
    // 5. The picture.
    if (stateBmp) DrawPicture(work.dc, stateBmp, w, h);
    if (ownState) DeleteObject(stateBmp);
    // 6. Focus mark.
    if (HasFocus() && logic_.TabStop()) DrawFocusRect(work.dc);
    // 7. Caption.
    const std::string& caption = Caption();
    if (caption.find_first_not_of(' ') != std::string::npos) DrawCaption(work.dc);
    // 8. One copy to the window.
    BitBlt(screen, 0, 0, w, h, work.dc, 0, 0, SRCCOPY);
    SelectObject(work.dc, oldWork);
    DeleteObject(workBmp);
}

std::intptr_t TsuiCustomButton::HandleMessage(unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    HWND hwnd = H(hwnd_);
    if (!hwnd) return DefWindowProcA(nullptr, message, wParam, lParam);
    RECT rc{};
    GetClientRect(hwnd, &rc);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Paint(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_WANTCHARS;
    case BM_CLICK:
        // As for a push button: a click of an enabled button (accessibility tools, tests).
        if (IsWindowEnabled(hwnd)) logic_.Click();
        return 0;
    case WM_MOUSEMOVE: {
        const bool inside = x >= 0 && y >= 0 && x < rc.right && y < rc.bottom;
        if (inside && !tracking_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        if (inside && !logic_.Hot()) logic_.MouseEnter();
        logic_.MouseMove(x, y, rc.right, rc.bottom);
        // Under capture no leave notice arrives: a drag out of the button is its leaving.
        if (!inside && GetCapture() == hwnd && logic_.RepeatTimerExists()) logic_.MouseLeave();
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (GetCapture() != hwnd) logic_.MouseLeave();
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd);
        logic_.MouseDown(TMouseButton::Left, x, y);
        return 0;
    case WM_RBUTTONDOWN:
        logic_.MouseDown(TMouseButton::Right, x, y);
        return 0;
    case WM_MBUTTONDOWN:
        logic_.MouseDown(TMouseButton::Middle, x, y);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() == hwnd) {
            releasingOwnCapture = true;
            ReleaseCapture();
            releasingOwnCapture = false;
        }
        // Inside the client area only (a release on the right or bottom edge pixel
        // row beyond the window is outside).
        const int cx = (x >= rc.right) ? rc.right + 1 : x;
        const int cy = (y >= rc.bottom) ? rc.bottom + 1 : y;
        logic_.MouseUp(TMouseButton::Left, cx, cy, rc.right, rc.bottom);
        return 0;
    }
    case WM_RBUTTONUP:
        logic_.MouseUp(TMouseButton::Right, x, y, rc.right, rc.bottom);
        return 0;
    case WM_MBUTTONUP:
        logic_.MouseUp(TMouseButton::Middle, x, y, rc.right, rc.bottom);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) logic_.RepeatTimerTick();
        return 0;
    case WM_KEYDOWN:
        logic_.KeyDown(static_cast<unsigned>(wParam));
        return 0;
    case WM_KEYUP:
        logic_.KeyUp(static_cast<unsigned>(wParam));
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        logic_.CancelMode();
        return 0;
    case WM_CAPTURECHANGED:
        if (!releasingOwnCapture && reinterpret_cast<HWND>(lParam) != hwnd && logic_.Pressed())
            logic_.CancelMode();
        return 0;
    case WM_SETFOCUS:
        logic_.FocusChanged(true);
        return 0;
    case WM_KILLFOCUS:
        logic_.FocusChanged(false);
        return 0;
    case WM_ENABLE:
        Invalidate();
        return 0;
    case WM_DESTROY:
        // The parent's destruction takes the window with it: the object outlives it and
        // must not touch the handle again.
        KillTimer(hwnd, kRepeatTimer);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- TsuiImageButton

TsuiImageButton::TsuiImageButton(WindowHandle parent, int left, int top, int width, int height,
                                 int controlId)
    : TsuiCustomButton(parent, left, top, width, height, controlId) {}

void TsuiImageButton::SetPic(int index, const TPicture& picture) {
    pics_[index] = picture;
    UpdateAutoSize();
    Invalidate();
}

void TsuiImageButton::SetPictures(int normalId, int mouseOnId, int mouseDownId, int disabledId) {
    const int ids[4] = {normalId, mouseOnId, mouseDownId, disabledId};
    for (int i = 0; i < 4; ++i) pics_[i] = ids[i] ? TPicture::FromResource(ids[i]) : TPicture();
    UpdateAutoSize();
    Invalidate();
}

void TsuiImageButton::SetAutoSize(bool on) {
    autoSize_ = on;
    UpdateAutoSize();
    Invalidate();
}

void TsuiImageButton::SetStretch(bool on) {
    stretch_ = on;
    Invalidate();
}

void TsuiImageButton::SetDrawFocused(bool on) {
    drawFocused_ = on;
    Invalidate();
}

void TsuiImageButton::SetFocusedRectMargin(int pixels) {
    focusMargin_ = pixels;
    Invalidate();
}

void TsuiImageButton::UpdateAutoSize() {
    const TPicture& normal = pics_[0];
    if (!autoSize_ || !HasParent() || normal.Empty()) return;
    SetWindowPos(static_cast<HWND>(Handle()), nullptr, 0, 0, normal.Width(), normal.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TsuiImageButton::DrawPicture(DcHandle dc, BitmapHandle picture, int width, int height) {
    HDC target = static_cast<HDC>(dc);
    MemDc src(target);
    HGDIOBJ old = SelectObject(src.dc, picture);
    BITMAP bm{};
    GetObjectA(picture, sizeof bm, &bm);
    const int pw = bm.bmWidth, ph = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    const int dw = stretch_ ? width : pw, dh = stretch_ ? height : ph;
    if (PictureTransparent()) {
        TransparentBlt(target, 0, 0, dw, dh, src.dc, 0, 0, pw, ph, GetPixel(src.dc, 0, 0));
    } else if (stretch_) {
        SetStretchBltMode(target, HALFTONE);
        StretchBlt(target, 0, 0, dw, dh, src.dc, 0, 0, pw, ph, SRCCOPY);
    } else {
        BitBlt(target, 0, 0, pw, ph, src.dc, 0, 0, SRCCOPY);
    }
    SelectObject(src.dc, old);
}

void TsuiImageButton::DrawFocusRect(DcHandle dc) {
    if (!drawFocused_) return;
    RECT r{};
    GetClientRect(static_cast<HWND>(Handle()), &r);
    RECT f{focusMargin_, focusMargin_, r.right - focusMargin_, r.bottom - focusMargin_};
    ::DrawFocusRect(static_cast<HDC>(dc), &f);
}

void TsuiImageButton::Pick(TButtonPicture wanted, TPicture& out) const {
    const bool has[4] = {!pics_[0].Empty(), !pics_[1].Empty(), !pics_[2].Empty(),
                         !pics_[3].Empty()};
    TButtonPicture chosen;
    if (ResolveButtonPicture(wanted, has, chosen)) out = pics_[static_cast<int>(chosen)];
}

void TsuiImageButton::GetNormalPicture(TPicture& out) { Pick(TButtonPicture::Normal, out); }
void TsuiImageButton::GetMouseOnPicture(TPicture& out) { Pick(TButtonPicture::MouseOn, out); }
void TsuiImageButton::GetMouseDownPicture(TPicture& out) { Pick(TButtonPicture::MouseDown, out); }
void TsuiImageButton::GetDisabledPicture(TPicture& out) { Pick(TButtonPicture::Disabled, out); }

// ---------------------------------------------------------------- dialog keys

namespace {
struct KeySearch {
    unsigned key;
    char ch;
    bool alt, shift, ctrl, accel, focusOnButton, clicked;
};

BOOL CALLBACK OfferKey(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<KeySearch*>(lp);
    TsuiCustomButton* button = TsuiCustomButton::FromHandle(child);
    if (!button || s->clicked) return !s->clicked;
    if (s->accel) {
        HWND parent = GetParent(child);
        s->clicked = button->Caption().empty()
                         ? false
                         : IsCaptionAccelerator(s->ch, button->Caption()) &&
                               (s->alt || s->focusOnButton) && IsWindowEnabled(parent) &&
                               button->Enabled() && button->Visible();
        if (s->clicked) button->Click();
    } else {
        const bool mine = (s->key == VK_RETURN && button->Default()) ||
                          (s->key == VK_ESCAPE && button->Cancel());
        if (mine && !s->shift && !s->ctrl && !s->alt && button->Enabled() &&
            IsWindowVisible(child) && IsWindowEnabled(child)) {
            button->Click();
            s->clicked = true;
        }
    }
    return !s->clicked;
}
} // namespace

bool ImageButtonDialogKey(WindowHandle root, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    (void)lParam;
    KeySearch s{};
    s.shift = GetKeyState(VK_SHIFT) < 0;
    s.ctrl = GetKeyState(VK_CONTROL) < 0;
    s.alt = GetKeyState(VK_MENU) < 0;
    s.focusOnButton = TsuiCustomButton::FromHandle(GetFocus()) != nullptr;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
        s.key = static_cast<unsigned>(wParam);
        if (s.key != VK_RETURN && s.key != VK_ESCAPE) return false;
        if (s.key == VK_RETURN && s.focusOnButton) return false; // the focused button's own
    } else if (message == WM_CHAR || message == WM_SYSCHAR) {
        s.accel = true;
        s.ch = static_cast<char>(wParam);
        if (message == WM_SYSCHAR) s.alt = true;
    } else {
        return false;
    }
    EnumChildWindows(H(root), OfferKey, reinterpret_cast<LPARAM>(&s));
    return s.clicked;
}

int ModalResultOf(WindowHandle root) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(H(root), kModalProp)));
}

void SetModalResultOf(WindowHandle root, int result) {
    if (result == 0)
        RemovePropA(H(root), kModalProp);
    else
        SetPropA(H(root), kModalProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(result)));
}
