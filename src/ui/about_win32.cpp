#include "ui/about.h"

#include "app/globals.h"

#include <windows.h>

#include <ctime>

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

const TWindowClass kClass{"TFormAbout", TWindowClass::Background::White};
constexpr int kWidth = 375, kHeight = 217;
enum Font { kNormal, kName, kLink };
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

HFONT MakeFont(int height, int weight, bool underline, BYTE charset, const char* face) {
    return ::CreateFontA(-height, 0, 0, 0, weight, FALSE, underline, FALSE, charset,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face);
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_year + 1900;
}

} // namespace

TFormAbout::TFormAbout(WindowHandle owner, const std::string& title, void* icon,
                       IShellServices& shell)
    : owner_(owner), title_(title), shell_(shell),
      icon_(icon ? ::CopyIcon(static_cast<HICON>(icon)) : nullptr),
      fontNormal_(MakeFont(11, FW_NORMAL, false, DEFAULT_CHARSET, "Tahoma")),
      fontName_(MakeFont(13, FW_BOLD, false, ANSI_CHARSET, "Arial")),
      fontLink_(MakeFont(11, FW_NORMAL, true, DEFAULT_CHARSET, "Tahoma")),
      fonts_{fontNormal_.get(), fontName_.get(), fontLink_.get()},
      labels_([this](const std::string& text, int font) {
                  return TextExtent(Handle(), fonts_[static_cast<std::size_t>(font)], text);
              },
              [this](const TBounds&) {
                  if (Handle())
                      ::InvalidateRect(H(Handle()), nullptr, TRUE);
              }) {
    using K = TGraphic::Kind;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kWidth, kHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    Create(kClass, {.text = "About %s",
                    .style = style,
                    .exStyle = exStyle,
                    .left = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                    .top = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                    .width = w,
                    .height = h,
                    .parent = owner_});
    // The stored texts are placeholders until FormCreate fills them in.
    labels_.Add({.name = "LabelAppName", .bounds = {66, 8, 16, 16}, .text = "%s", .font = kName});
    labels_.Add({.name = "LabelVersion", .bounds = {66, 26, 54, 13}, .text = "Version %s"});
    labels_.Add({.name = "LabelCopyRight", .bounds = {16, 72, 224, 13},
                 .text = kCopyrightTemplate});
    labels_.Add({.name = "LabelWarning", .bounds = {16, 104, 345, 65}, .text = kLegalNotice,
                 .kind = K::WrapLabel});
    labels_.Add({.name = "LabelWeb", .bounds = {16, 192, 16, 13}, .text = "%s", .font = kLink,
                 .color = kLinkColor});
    FormCreate();
}

TFormAbout::~TFormAbout() { DestroyHandle(); }

void TFormAbout::FormCreate() {
    const TAboutTexts texts = AboutTexts(title_, GlobalVars, CurrentYear());
    ::SetWindowTextA(H(Handle()), texts.caption.c_str());
    labels_.SetText("LabelAppName", texts.appName);
    labels_.SetText("LabelVersion", texts.version);
    labels_.SetText("LabelCopyRight", texts.copyright);
    labels_.SetText("LabelWeb", texts.web);
}

bool TFormAbout::LabelBounds(const std::string& name, TBounds& bounds) const {
    const TGraphic* g = labels_.Find(name);
    if (g)
        bounds = g->bounds;
    return g != nullptr;
}

std::string TFormAbout::LabelText(const std::string& name) const {
    const TGraphic* g = labels_.Find(name);
    return g ? g->text : std::string();
}

bool TFormAbout::OverLink(int x, int y) const {
    const TGraphic* hit = labels_.HitTest(x, y);
    return hit && hit->name == "LabelWeb";
}

void TFormAbout::Paint(void* dc) {
    if (icon_)
        ::DrawIconEx(static_cast<HDC>(dc), 16, 8, icon_.as<HICON>(), 32, 32, 0, nullptr,
                     DI_NORMAL);
    PaintLayer(dc, labels_, fonts_, {});
}

void TFormAbout::ButtonOKClick() { result_ = IDOK; }

void TFormAbout::LabelWebClick() { shell_.OpenLink(GlobalVars.HelpHomePageLink); }

int TFormAbout::ShowModal() {
    HWND owner = H(owner_);
    const bool ownerEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(H(Handle()), SW_SHOW);
    ::SetFocus(::GetDlgItem(H(Handle()), IDOK));
    result_ = 0;
    MSG msg;
    while (result_ == 0 && Handle()) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (::IsDialogMessageA(H(Handle()), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (ownerEnabled)
        ::EnableWindow(owner, TRUE);
    if (Handle())
        ::ShowWindow(H(Handle()), SW_HIDE);
    if (owner)
        ::SetActiveWindow(owner);
    return result_;
}

std::intptr_t TFormAbout::OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    HWND hwnd = H(Handle());
    switch (message) {
    case WM_CREATE: {
        HWND ok = ::CreateWindowExA(0, "BUTTON", "OK",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 280,
                                    184, 81, 23, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                    ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(fontNormal_.get()), FALSE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COMMAND:
        // Only OK ends the box: it has no cancel button, so Escape does nothing.
        if (LOWORD(wp) == IDOK)
            ButtonOKClick();
        return 0;
    case WM_SETCURSOR: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(hwnd, &p);
        if (reinterpret_cast<HWND>(wp) == hwnd && OverLink(p.x, p.y)) {
            ::SetCursor(static_cast<HCURSOR>(HandPointCursor()));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP:
        if (OverLink(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))))
            LabelWebClick();
        return 0;
    case WM_CLOSE:
        result_ = IDCANCEL;
        return 0;
    default:
        break;
    }
    return DefaultMessage(message, wp, lp);
}
