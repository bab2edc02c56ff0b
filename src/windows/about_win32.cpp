#include "windows/about.h"

#include "settings/globals.h"
#include "winkit/display_scale.h"
#include "winkit/modal.h"

#include <windows.h>

#include <ctime>

namespace {

const TWindowClass kClass{
    .name = "TFormAbout", .background = TWindowClass::Background::White, .painted = true};
// The layout in client pixels at 96 dpi, scaled to the box's display like the main window's.
constexpr int kWidth = 375, kHeight = 217;
constexpr TBounds kIconPlace{16, 8, 32, 32}; // the icon inside ImageIcon's 33 x 33
constexpr TBounds kOkPlace{280, 184, 81, 23};
enum Font { kNormal, kName, kLink };
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

// The labels with their stored texts, which FormCreate fills in.
std::vector<TGraphic> AboutLabels() {
    return {
        {.name = "LabelAppName", .bounds = {66, 8, 16, 16}, .text = "%s", .font = kName},
        {.name = "LabelVersion", .bounds = {66, 26, 54, 13}, .text = "Version %s"},
        {.name = "LabelCopyRight", .bounds = {16, 72, 224, 13}, .text = kCopyrightTemplate},
        {.name = "LabelWarning",
         .bounds = {16, 104, 345, 65},
         .text = kLegalNotice,
         .kind = TGraphic::Kind::WrapLabel},
        {.name = "LabelWeb",
         .bounds = {16, 192, 16, 13},
         .text = "%s",
         .font = kLink,
         .color = kLinkColor},
    };
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_year + 1900;
}

} // namespace

TFormAbout::TFormAbout(WindowHandle owner, const std::string& title, HICON icon,
                       IShellServices& shell)
    : owner_(owner), title_(title), shell_(shell), icon_(icon ? ::CopyIcon(icon) : nullptr),
      labels_(
          [this](const std::string& text, int font) {
              return TextExtent(Handle(), fonts_[static_cast<std::size_t>(font)], text);
          },
          [this](const TBounds&) { Invalidate(); }) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const int dpi = SystemDpi();
    const TSize frame = FrameSize(Scale(TSize{kWidth, kHeight}, dpi), style, exStyle, dpi);
    Create(kClass, {.text = "About %s",
                    .style = style,
                    .exStyle = exStyle,
                    .left = (::GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2,
                    .top = (::GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2,
                    .width = frame.width,
                    .height = frame.height,
                    .parent = owner_});
    ScaleFonts();
    // The stored texts are placeholders until FormCreate fills them in.
    for (const TGraphic& label : AboutLabels())
        labels_.Add(label);
    ApplyDpi();
    FitFrame();
    FormCreate();
}

void TFormAbout::ScaleFonts() {
    // The OK button lets go of the old font before it is freed.
    TFont old = std::move(fontNormal_);
    fontNormal_.reset(MakeScaledFont("Tahoma", 11, Dpi()));
    fontName_.reset(MakeScaledFont("Arial", 13, Dpi(), true, false, true));
    fontLink_.reset(MakeScaledFont("Tahoma", 11, Dpi(), false, true));
    fonts_ = {fontNormal_.get(), fontName_.get(), fontLink_.get()};
    ::SendMessageA(::GetDlgItem(Handle(), IDOK), WM_SETFONT,
                   reinterpret_cast<WPARAM>(fontNormal_.get()), TRUE);
}

TSize TFormAbout::DesignClientSize() const { return {kWidth, kHeight}; }

// Places the labels and OK for Dpi().
void TFormAbout::ApplyDpi() {
    for (const TGraphic& label : AboutLabels())
        labels_.SetBounds(label.name, Scale(label.bounds, Dpi()));
    labels_.Remeasure();
    HWND hwnd = Handle();
    const TBounds ok = Scale(kOkPlace, Dpi());
    ::SetWindowPos(::GetDlgItem(hwnd, IDOK), nullptr, ok.left, ok.top, ok.width, ok.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

TFormAbout::~TFormAbout() { DestroyHandle(); }

void TFormAbout::FormCreate() {
    const TAboutTexts texts = AboutTexts(title_, GlobalVars, CurrentYear());
    ::SetWindowTextA(Handle(), texts.caption.c_str());
    labels_.SetText("LabelAppName", texts.appName);
    labels_.SetText("LabelVersion", texts.version);
    labels_.SetText("LabelCopyRight", texts.copyright);
    labels_.SetText("LabelWeb", texts.web);
}

// An empty link has nothing to click: no hand cursor, no click.
bool TFormAbout::OverLink(int x, int y) const {
    const TGraphic* hit = labels_.HitTest(x, y);
    return hit && hit->name == "LabelWeb" && !hit->text.empty();
}

void TFormAbout::Paint(HDC dc, TSize) {
    const TBounds at = Scale(kIconPlace, Dpi());
    if (icon_)
        ::DrawIconEx(dc, at.left, at.top, icon_.get(), at.width, at.height, 0, nullptr, DI_NORMAL);
    PaintLayer(dc, labels_, fonts_, {});
}

void TFormAbout::ButtonOKClick() { result_ = IDOK; }

void TFormAbout::LabelWebClick() { shell_.OpenLink(GlobalVars.HelpHomePageLink); }

int TFormAbout::ShowModal() {
    result_ = 0;
    RunModalBox(*this, owner_, ::GetDlgItem(Handle(), IDOK), [this] { return result_ != 0; });
    return result_;
}

std::intptr_t TFormAbout::OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    HWND hwnd = Handle();
    switch (message) {
    case WM_CREATE:
        // Placed and given its font with the labels, for the box's density.
        ::CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                          0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)),
                          ::GetModuleHandleA(nullptr), nullptr);
        return 0;
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
            ::SetCursor(HandPointCursor());
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
