#include "ui/about.h"

#include "app/globals.h"

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <stdexcept>

const char* const kLegalNotice =
    "Warning: this computer program is protected by copyright law and international treaties. "
    "Unauthorized reproduction or distribution of this program, or any portion of it, may "
    "result in severe civil and criminal penalties, and will be prosecuted to the maximum "
    "extent possible under the law.";

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

constexpr const char* kClassName = "TFormAbout";
constexpr int kWidth = 375, kHeight = 217;

LRESULT CALLBACK AboutProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* box = static_cast<TFormAbout*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
        box->Attach(hwnd);
    }
    auto* box = reinterpret_cast<TFormAbout*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return box ? box->HandleMessage(message, wp, lp) : ::DefWindowProcA(hwnd, message, wp, lp);
}

HFONT MakeFont(int height, int weight, bool underline, BYTE charset, const char* face) {
    return ::CreateFontA(-height, 0, 0, 0, weight, FALSE, underline, FALSE, charset,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, face);
}

std::string Format(const char* pattern, const std::string& value) {
    std::string out = pattern;
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, value);
    return out;
}

} // namespace

TFormAbout::TFormAbout(WindowHandle owner, const std::string& title, void* icon,
                       IShellServices& shell)
    : owner_(owner), title_(title), shell_(shell) {
    if (icon)
        icon_ = ::CopyIcon(static_cast<HICON>(icon));
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = AboutProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClassName;
        ::RegisterClassExA(&wc);
        registered = true;
    }
    fonts_[0] = MakeFont(11, FW_NORMAL, false, DEFAULT_CHARSET, "Tahoma");
    fonts_[1] = MakeFont(13, FW_BOLD, false, ANSI_CHARSET, "Arial");
    fonts_[2] = MakeFont(11, FW_NORMAL, true, DEFAULT_CHARSET, "Tahoma");
    labels_ = {
        {"LabelAppName", {66, 8, 16, 16}, "%s", 1, false},
        {"LabelVersion", {66, 26, 54, 13}, "Version %s", 0, false},
        {"LabelCopyRight", {16, 72, 224, 13}, kCopyrightTemplate, 0, false},
        {"LabelWarning", {16, 104, 345, 65}, kLegalNotice, 0, true},
        {"LabelWeb", {16, 192, 16, 13}, "%s", 2, false},
    };
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kWidth, kHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    ::CreateWindowExA(exStyle, kClassName, "About %s", style,
                      (::GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                      (::GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, H(owner_), nullptr,
                      ::GetModuleHandleA(nullptr), this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the About box");
}

TFormAbout::~TFormAbout() {
    if (hwnd_)
        ::DestroyWindow(H(hwnd_));
    for (void* font : fonts_)
        if (font)
            ::DeleteObject(static_cast<HFONT>(font));
    if (icon_)
        ::DestroyIcon(static_cast<HICON>(icon_));
}

void TFormAbout::FormCreate() {
    ::SetWindowTextA(H(hwnd_), Format("About %s", title_).c_str());
    const std::time_t now = std::time(nullptr);
    const int year = std::localtime(&now)->tm_year + 1900;
    for (Label& l : labels_) {
        const std::string name = l.name;
        if (name == "LabelAppName")
            l.text = title_;
        else if (name == "LabelWeb")
            l.text = GlobalVars.HelpHomePageLink;
        else if (name == "LabelVersion")
            l.text = Format("Version %s", GlobalVars.Version);
        else if (name == "LabelCopyRight")
            l.text = Format(kCopyrightTemplate, GlobalVars.Copyright)
                         .replace(std::string(kCopyrightTemplate).find("%d"), 2,
                                  std::to_string(year));
    }
    Layout();
}

// Labels other than the notice take the size of their text.
void TFormAbout::Layout() {
    HDC dc = ::GetDC(H(hwnd_));
    for (Label& l : labels_) {
        if (l.wrap)
            continue;
        HGDIOBJ old = ::SelectObject(dc, static_cast<HFONT>(fonts_[l.font]));
        RECT r{0, 0, 0, 0};
        ::DrawTextA(dc, l.text.c_str(), static_cast<int>(l.text.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
        l.bounds.width = l.text.empty() ? 0 : r.right;
        l.bounds.height = r.bottom;
    }
    ::ReleaseDC(H(hwnd_), dc);
    ::InvalidateRect(H(hwnd_), nullptr, TRUE);
}

const TFormAbout::Label* TFormAbout::Find(const std::string& name) const {
    for (const Label& l : labels_)
        if (name == l.name)
            return &l;
    return nullptr;
}

bool TFormAbout::LabelBounds(const std::string& name, TBounds& bounds) const {
    const Label* l = Find(name);
    if (l)
        bounds = l->bounds;
    return l != nullptr;
}

std::string TFormAbout::LabelText(const std::string& name) const {
    const Label* l = Find(name);
    return l ? l->text : std::string();
}

int TFormAbout::HitLabel(int x, int y) const {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const TBounds& b = labels_[i].bounds;
        if (x >= b.left && x < b.left + b.width && y >= b.top && y < b.top + b.height)
            return static_cast<int>(i);
    }
    return -1;
}

void TFormAbout::Paint(void* target) {
    HDC dc = static_cast<HDC>(target);
    if (icon_)
        ::DrawIconEx(dc, 16, 8, static_cast<HICON>(icon_), 32, 32, 0, nullptr, DI_NORMAL);
    ::SetBkMode(dc, TRANSPARENT);
    for (const Label& l : labels_) {
        HGDIOBJ old = ::SelectObject(dc, static_cast<HFONT>(fonts_[l.font]));
        ::SetTextColor(dc, l.font == 2 ? RGB(0, 0, 255) : ::GetSysColor(COLOR_WINDOWTEXT));
        RECT r{l.bounds.left, l.bounds.top, l.bounds.left + l.bounds.width,
               l.bounds.top + l.bounds.height};
        ::DrawTextA(dc, l.text.c_str(), static_cast<int>(l.text.size()), &r,
                    (l.wrap ? DT_WORDBREAK : DT_SINGLELINE) | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
}

void TFormAbout::ButtonOKClick() { result_ = IDOK; }

void TFormAbout::LabelWebClick() { shell_.OpenLink(GlobalVars.HelpHomePageLink); }

int TFormAbout::ShowModal() {
    HWND owner = H(owner_);
    const bool ownerEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(H(hwnd_), SW_SHOW);
    ::SetFocus(::GetDlgItem(H(hwnd_), IDOK));
    result_ = 0;
    MSG msg;
    while (result_ == 0 && hwnd_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (::IsDialogMessageA(H(hwnd_), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (ownerEnabled)
        ::EnableWindow(owner, TRUE);
    if (hwnd_)
        ::ShowWindow(H(hwnd_), SW_HIDE);
    if (owner)
        ::SetActiveWindow(owner);
    return result_;
}

std::intptr_t TFormAbout::HandleMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    HWND hwnd = H(hwnd_);
    switch (message) {
    case WM_CREATE: {
        HWND ok = ::CreateWindowExA(0, "BUTTON", "OK",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 280,
                                    184, 81, 23, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                                    ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[0]), FALSE);
        FormCreate();
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
        const int hit = HitLabel(p.x, p.y);
        if (reinterpret_cast<HWND>(wp) == hwnd && hit >= 0 &&
            std::string(labels_[static_cast<std::size_t>(hit)].name) == "LabelWeb") {
            ::SetCursor(static_cast<HCURSOR>(HandPointCursor()));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONUP: {
        const int hit = HitLabel(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        if (hit >= 0 && std::string(labels_[static_cast<std::size_t>(hit)].name) == "LabelWeb")
            LabelWebClick();
        return 0;
    }
    case WM_CLOSE:
        result_ = IDCANCEL;
        return 0;
    case WM_DESTROY:
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wp, lp);
}
