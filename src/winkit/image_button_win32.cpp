#include "winkit/image_button.h"

#include "base/system_error.h"
#include "pictures/picture_store.h"
#include "winkit/accessibility.h"
#include "winkit/painted_layer.h"

#include <windows.h>
#include <commctrl.h> // BST_HOT
#include <windowsx.h>

#include <string>

namespace {

const TWindowClass kClass{.name = "TsuiImageButton", .painted = true};
const char kModalProp[] = "SweeperModalResult";
// Set while a button releases its own capture at the end of a press, so the capture-lost
// notice that follows is not taken for a cancel.
bool releasingOwnCapture = false;
constexpr UINT_PTR kRepeatTimer = 1;

} // namespace

// ---------------------------------------------------------------- TPicture

TPicture::TPicture(const TPicture& other) { *this = other; }

TPicture& TPicture::operator=(const TPicture& other) {
    if (this == &other)
        return *this;
    bitmap_.reset(other.bitmap_ ? static_cast<HBITMAP>(::CopyImage(
                                      other.bitmap_.get(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                                : nullptr);
    icon_.reset(other.icon_ ? ::CopyIcon(other.icon_.get()) : nullptr);
    const bool copied = bitmap_ || icon_;
    width_ = copied ? other.width_ : 0;
    height_ = copied ? other.height_ : 0;
    return *this;
}

TPicture TPicture::FromBitmap(BitmapHandle bitmap) {
    TPicture p;
    const TSize size = PictureSize(bitmap);
    if (size.width == 0)
        return p;
    p.bitmap_.reset(
        static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (p.bitmap_) {
        p.width_ = size.width;
        p.height_ = size.height;
    }
    return p;
}

TPicture TPicture::FromResource(int resourceId, HMODULE module) {
    // The executable's pictures come from the store, decoded once; another module's are read
    // for this picture alone.
    TBitmap loaded(module ? LoadPictureResource(module, resourceId) : nullptr);
    BitmapHandle picture = module ? loaded.get() : ProgramPicture(resourceId);
    if (!picture)
        RaiseLastOSError("Cannot load the picture " + std::to_string(resourceId));
    return FromBitmap(picture);
}

TPicture TPicture::FromIcon(IconHandle icon) {
    TPicture p;
    if (!icon)
        return p;
    p.icon_.reset(CopyIcon(icon));
    if (!p.icon_)
        return p;
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
        TBitmap color(info.hbmColor), mask(info.hbmMask);
        const TSize size = PictureSize(info.hbmMask);
        p.width_ = size.width;
        p.height_ = color ? size.height : size.height / 2;
    }
    return p;
}

// ---------------------------------------------------------------- TsuiCustomButton

TsuiCustomButton::TsuiCustomButton(WindowHandle parent, int left, int top, int width, int height,
                                   int controlId) {
    color_ = GetSysColor(COLOR_BTNFACE);
    Create(kClass, {.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                    .left = left,
                    .top = top,
                    .width = width,
                    .height = height,
                    .parent = parent,
                    .id = controlId});
    logic_.OnPropertiesChanged = [this] { ApplyProperties(); };
    logic_.WindowCreated();
}

TsuiCustomButton::~TsuiCustomButton() {
    if (Handle())
        KillTimer(Handle(), kRepeatTimer);
}

TsuiCustomButton* TsuiCustomButton::FromHandle(WindowHandle window) {
    return dynamic_cast<TsuiCustomButton*>(TWindow::FromHandle(window));
}

void TsuiCustomButton::SetBounds(int left, int top, int width, int height) {
    MoveWindow(Handle(), left, top, width, height, TRUE);
}

namespace {
RECT BoundsInParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
} // namespace

int TsuiCustomButton::Left() const { return BoundsInParent(Handle()).left; }
int TsuiCustomButton::Top() const { return BoundsInParent(Handle()).top; }
int TsuiCustomButton::Width() const {
    RECT r = BoundsInParent(Handle());
    return r.right - r.left;
}
int TsuiCustomButton::Height() const {
    RECT r = BoundsInParent(Handle());
    return r.bottom - r.top;
}

void TsuiCustomButton::SetTabStop(bool on) {
    logic_.SetTabStop(on);
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
}

void TsuiCustomButton::SetTransparent(bool on) {
    if (transparent_ == on)
        return;
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

void TsuiCustomButton::SetAccessibleName(const std::string& name) {
    SetWindowTextA(Handle(), name.c_str());
}

void TsuiCustomButton::ApplyProperties() {
    if (!Handle())
        return;
    HWND hwnd = Handle();
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

bool TsuiCustomButton::HasFocus() const { return Handle() && GetFocus() == Handle(); }

void TsuiCustomButton::StartRepeatTimer(int periodMs) {
    SetTimer(Handle(), kRepeatTimer, static_cast<UINT>(periodMs), nullptr);
}

void TsuiCustomButton::StopRepeatTimer() {
    if (Handle())
        KillTimer(Handle(), kRepeatTimer);
}

bool TsuiCustomButton::CanFocus() {
    for (HWND w = Handle(); w; w = GetParent(w)) {
        if (!IsWindowEnabled(w) || !IsWindowVisible(w))
            return false;
        if (!(GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD))
            break;
    }
    return true;
}

bool TsuiCustomButton::TakeFocus() { return SetFocus(Handle()) != nullptr || HasFocus(); }

bool TsuiCustomButton::HasParent() { return GetParent(Handle()) != nullptr; }

void TsuiCustomButton::SetParentModalResult(int result) {
    HWND root = GetAncestor(Handle(), GA_ROOT);
    if (!root)
        return;
    SetModalResultOf(root, result);
    if (result != 0) {
        char name[16] = {};
        GetClassNameA(root, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0)
            EndDialog(root, result);
    }
}

void TsuiCustomButton::DrawCaption(DcHandle hdc) {
    RECT r{};
    GetClientRect(Handle(), &r);
    HGDIOBJ old = SelectObject(hdc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(logic_.Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(hdc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, old);
}

void TsuiCustomButton::DrawFocusRect(DcHandle dc) {
    RECT r{};
    GetClientRect(Handle(), &r);
    InflateRect(&r, -2, -2);
    ::DrawFocusRect(dc, &r);
}

// Step 4 of painting: the parent's own background and painting shifted to the button's
// place when transparent, else the button's colour.
void TsuiCustomButton::PaintBackground(DcHandle dc, int width, int height) {
    RECT rc{0, 0, width, height};
    TBrush face(CreateSolidBrush(color_));
    FillRect(dc, &rc, face.get());
    HWND parent = GetParent(Handle());
    if (!transparent_ || !parent)
        return;
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent, &origin, 1);
    RECT pr{};
    GetClientRect(parent, &pr);
    SaveDC(dc);
    SetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
    IntersectClipRect(dc, pr.left, pr.top, pr.right, pr.bottom);
    SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RestoreDC(dc, -1);
}

// Steps 2 to 7 of painting, on the work bitmap the window base gives (step 1) and copies to
// the window in one step (8).
void TsuiCustomButton::Paint(DcHandle work, TSize size) {
    const int w = size.width, h = size.height;
    // 2. The state picture.
    const TPicture* state = nullptr;
    switch (logic_.StatePicture()) {
    case TButtonPicture::Normal:
        state = GetNormalPicture();
        break;
    case TButtonPicture::MouseOn:
        state = GetMouseOnPicture();
        break;
    case TButtonPicture::MouseDown:
        state = GetMouseDownPicture();
        break;
    case TButtonPicture::Disabled:
        state = GetDisabledPicture();
        break;
    }
    // 3. and 4. Transparency and background.
    pictureTransparent_ = transparent_;
    PaintBackground(work, w, h);
    // 5. The picture; one that is not a bitmap paints as an empty 74 x 21 bitmap (white).
    if (state && state->GetKind() == TPicture::Kind::Other) {
        PatBlt(work, 0, 0, 74, 21, WHITENESS);
    } else if (state && state->Bitmap()) {
        const bool stretch = StretchPicture();
        DrawPicture(work, {0, 0, stretch ? w : state->Width(), stretch ? h : state->Height()},
                    state->Bitmap(),
                    pictureTransparent_ ? TPictureBlend::TopLeftTransparent
                                        : TPictureBlend::Opaque);
    }
    // 6. Focus mark.
    if (HasFocus() && logic_.TabStop())
        DrawFocusRect(work);
    // 7. Caption.
    if (Caption().find_first_not_of(' ') != std::string::npos)
        DrawCaption(work);
}

std::intptr_t TsuiCustomButton::OnMessage(unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    HWND hwnd = Handle();
    RECT rc{};
    GetClientRect(hwnd, &rc);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON | DLGC_WANTCHARS;
    case BM_CLICK:
        // As for a push button: a click of an enabled button (accessibility tools, tests).
        if (IsWindowEnabled(hwnd))
            logic_.Click();
        return 0;
    case BM_GETSTATE:
        // As for a push button; the accessible object reads the pressed and hot states here.
        return (logic_.Pressed() ? BST_PUSHED : 0) | (logic_.Hot() ? BST_HOT : 0) |
               (HasFocus() ? BST_FOCUS : 0);
    case WM_GETOBJECT:
        if (std::intptr_t object = PushButtonObject(Handle(), wParam, lParam))
            return object;
        return DefaultMessage(message, wParam, lParam);
    case WM_MOUSEMOVE: {
        const bool inside = x >= 0 && y >= 0 && x < rc.right && y < rc.bottom;
        if (inside && !tracking_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd, 0};
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        if (inside && !logic_.Hot())
            logic_.MouseEnter();
        logic_.MouseMove(x, y, rc.right, rc.bottom);
        // Under capture no leave notice arrives: a drag out of the button is its leaving.
        if (!inside && GetCapture() == hwnd && logic_.RepeatTimerExists())
            logic_.MouseLeave();
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (GetCapture() != hwnd)
            logic_.MouseLeave();
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
        if (wParam == kRepeatTimer)
            logic_.RepeatTimerTick();
        return 0;
    case WM_KEYDOWN:
        logic_.KeyDown(static_cast<unsigned>(wParam));
        return 0;
    case WM_KEYUP:
        logic_.KeyUp(static_cast<unsigned>(wParam));
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
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
        // The parent's destruction takes the window with it; the base forgets the handle
        // once the window is gone.
        KillTimer(hwnd, kRepeatTimer);
        return 0;
    default:
        return DefaultMessage(message, wParam, lParam);
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
    for (int i = 0; i < 4; ++i)
        pics_[i] = ids[i] ? TPicture::FromResource(ids[i]) : TPicture();
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
    if (!autoSize_ || !HasParent() || normal.Empty())
        return;
    SetWindowPos(Handle(), nullptr, 0, 0, normal.Width(), normal.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TsuiImageButton::DrawFocusRect(DcHandle dc) {
    if (!drawFocused_)
        return;
    RECT r{};
    GetClientRect(Handle(), &r);
    RECT f{focusMargin_, focusMargin_, r.right - focusMargin_, r.bottom - focusMargin_};
    ::DrawFocusRect(dc, &f);
}

const TPicture* TsuiImageButton::Pick(TButtonPicture wanted) const {
    const bool has[4] = {!pics_[0].Empty(), !pics_[1].Empty(), !pics_[2].Empty(),
                         !pics_[3].Empty()};
    TButtonPicture chosen;
    if (ResolveButtonPicture(wanted, has, chosen))
        return &pics_[static_cast<int>(chosen)];
    return nullptr;
}

// ---------------------------------------------------------------- dialog keys

namespace {
struct KeySearch {
    unsigned key;
    char ch;
    bool alt, shift, ctrl, accel, focusOnButton;
    TsuiCustomButton* found;
};

// The enumeration only finds the button; it is clicked after the system's enumeration has
// returned, so nothing the click runs can unwind through the system's frames.
BOOL CALLBACK OfferKey(HWND child, LPARAM lp) noexcept {
    auto* s = reinterpret_cast<KeySearch*>(lp);
    TsuiCustomButton* button = TsuiCustomButton::FromHandle(child);
    if (!button)
        return TRUE;
    bool mine = false;
    if (s->accel) {
        mine = !button->Caption().empty() && IsCaptionAccelerator(s->ch, button->Caption()) &&
               (s->alt || s->focusOnButton) && IsWindowEnabled(GetParent(child)) &&
               button->Enabled() && button->Visible();
    } else {
        mine = ((s->key == VK_RETURN && button->Default()) ||
                (s->key == VK_ESCAPE && button->Cancel())) &&
               !s->shift && !s->ctrl && !s->alt && button->Enabled() && IsWindowVisible(child) &&
               IsWindowEnabled(child);
    }
    if (mine)
        s->found = button;
    return !mine;
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
        if (s.key != VK_RETURN && s.key != VK_ESCAPE)
            return false;
        if (s.key == VK_RETURN && s.focusOnButton)
            return false; // the focused button's own
    } else if (message == WM_CHAR || message == WM_SYSCHAR) {
        s.accel = true;
        s.ch = static_cast<char>(wParam);
        if (message == WM_SYSCHAR)
            s.alt = true;
    } else {
        return false;
    }
    EnumChildWindows(root, OfferKey, reinterpret_cast<LPARAM>(&s));
    if (!s.found)
        return false;
    s.found->Click();
    return true;
}

int ModalResultOf(WindowHandle root) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(root, kModalProp)));
}

void SetModalResultOf(WindowHandle root, int result) {
    if (result == 0)
        RemovePropA(root, kModalProp);
    else
        SetPropA(root, kModalProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(result)));
}
