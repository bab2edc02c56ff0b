#include "windows/properties_box.h"

#include "base/system_error.h"
#include "base/text.h"
#include "inventory/shortcut_item.h"
#include "inventory/visible_text.h"
#include "lnk/link_reader.h"
#include "lnk/lnk_format.h"
#include "platform/fs_probes.h"
#include "winkit/accessibility.h"
#include "winkit/display_scale.h"
#include "winkit/modal.h"

#include <windows.h>

namespace {

const TWindowClass kClass{"TFormProperties", TWindowClass::Background::ButtonFace};
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

TLocalTime LocalTimeOf(const FILETIME& utc) {
    SYSTEMTIME system{}, local{};
    if (!::FileTimeToSystemTime(&utc, &system) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &system, &local))
        local = system;
    return {local.wYear, local.wMonth,  local.wDay,   local.wDayOfWeek,
            local.wHour, local.wMinute, local.wSecond};
}

// What the file system says of the file itself.
TShortcutFileFacts FileFacts(const std::string& path) {
    TShortcutFileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(WidenAnsi(path).c_str(), GetFileExInfoStandard, &data))
        return facts;
    facts.known = true;
    facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.created = LocalTimeOf(data.ftCreationTime);
    facts.modified = LocalTimeOf(data.ftLastWriteTime);
    facts.accessed = LocalTimeOf(data.ftLastAccessTime);
    facts.attributes = data.dwFileAttributes;
    return facts;
}

// The shortcut's fields through the program's own reader, as the list under Wine reads its
// target: the same bytes, environment, known folders and code page.
lnk::ShortcutFields ShortcutFieldsOf(const std::string& path) {
    const std::unique_ptr<IShortcutFiles> files = CreateSystemShortcutFiles();
    std::vector<unsigned char> buffer;
    lnk::ShortcutFields fields;
    ReadShortcutFile(*files, path, buffer, &fields);
    return fields;
}

// The program's verdict on the shortcut now, as the list gives it.
std::string ReasonOf(const lnk::ShortcutFields& fields) {
    if (!fields.readable)
        return {};
    TValidityRule rule(SystemFileProbes());
    const TVerdict verdict = rule.Judge(fields.reading);
    return (verdict.invalid ? "invalid: " : "valid: ") + verdict.reason;
}

void Place(WindowHandle control, const TBounds& at) {
    ::SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

bool PlatformHasPropertiesSheet() { return !RunsUnderWine(); }

TFormProperties::TFormProperties(WindowHandle owner, const std::string& shortcutPath)
    : owner_(owner), texts_([&shortcutPath] {
          const lnk::ShortcutFields fields = ShortcutFieldsOf(shortcutPath);
          return PropertiesTexts(shortcutPath, fields, FileFacts(shortcutPath), ReasonOf(fields));
      }()),
      layout_(PropertiesLayout(texts_)) {
    const int dpi = SystemDpi();
    const TSize frame = FrameSize(Scale(layout_.client, dpi), kStyle, kExStyle, dpi);
    RECT over{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner_)
        ::GetWindowRect(owner_, &over);
    Create(kClass, {.text = texts_.caption,
                    .style = kStyle,
                    .exStyle = kExStyle,
                    .left = over.left + (over.right - over.left - frame.width) / 2,
                    .top = over.top + (over.bottom - over.top - frame.height) / 2,
                    .width = frame.width,
                    .height = frame.height,
                    .parent = owner_});
    ScaleFonts();
    ApplyDpi();
    FitFrame();
}

TFormProperties::~TFormProperties() { DestroyHandle(); }

void TFormProperties::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // In tab order; each is placed, and given its font, by ApplyDpi.
    const auto child = [&](const char* cls, const std::string& text, DWORD style, DWORD exStyle,
                           int id) {
        HWND c = ::CreateWindowExA(
            exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (!c)
            RaiseLastOSError("Cannot create the Properties box");
        return c;
    };
    int id = 100;
    const auto group = [&](const char* heading, const std::vector<TPropertyLine>& lines) {
        headings_.push_back(child("STATIC", heading, SS_LEFT | SS_NOPREFIX, 0, id++));
        for (const TPropertyLine& line : lines) {
            labels_.push_back(child("STATIC", line.label, SS_LEFT | SS_NOPREFIX, 0, id++));
            WindowHandle value =
                child("EDIT", VisibleBidi(line.value), WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
                      WS_EX_CLIENTEDGE, id++);
            std::string name = line.label;
            if (!name.empty() && name.back() == ':')
                name.pop_back();
            NameSystemControl(value, name);
            values_.push_back(value);
        }
    };
    group(kShortcutHeading, texts_.shortcut);
    group(kGeneralHeading, texts_.general);
    close_ = child("BUTTON", kCloseText, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK);
}

void TFormProperties::ScaleFonts() {
    // The controls let go of the old fonts before they are freed.
    TFont oldFont = std::move(font_), oldHeading = std::move(headingFont_);
    font_.reset(MakeScaledFont("Tahoma", 11, Dpi()));
    headingFont_.reset(MakeScaledFont("Tahoma", 11, Dpi(), true));
    const auto set = [](WindowHandle control, const TFont& font) {
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    };
    for (WindowHandle h : headings_)
        set(h, headingFont_);
    for (const auto* list : {&labels_, &values_})
        for (WindowHandle h : *list)
            set(h, font_);
    set(close_, font_);
}

// Places the controls for Dpi().
void TFormProperties::ApplyDpi() {
    Place(headings_[0], Scale(layout_.shortcutHeading, Dpi()));
    Place(headings_[1], Scale(layout_.generalHeading, Dpi()));
    std::size_t i = 0;
    for (const auto* rows : {&layout_.shortcut, &layout_.general})
        for (const TPropertiesLayout::Row& row : *rows) {
            Place(labels_[i], Scale(row.label, Dpi()));
            Place(values_[i], Scale(row.value, Dpi()));
            ++i;
        }
    Place(close_, Scale(layout_.close, Dpi()));
    Invalidate();
}

std::string TFormProperties::Value(const std::string& label) const {
    std::size_t i = 0;
    for (const auto* lines : {&texts_.shortcut, &texts_.general})
        for (const TPropertyLine& line : *lines) {
            if (line.label == label && i < values_.size()) {
                HWND edit = values_[i];
                std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
                text.resize(static_cast<std::size_t>(
                    ::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
                return text;
            }
            ++i;
        }
    return {};
}

int TFormProperties::ShowModal() {
    result_ = 0;
    RunModalBox(*this, owner_, close_, [this] { return result_ != 0; });
    return result_;
}

std::intptr_t TFormProperties::OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_COMMAND:
        // Close and Enter come as OK, Escape as Cancel; both end the box.
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
            result_ = LOWORD(wp);
        return 0;
    case WM_CLOSE:
        result_ = IDCANCEL;
        return 0;
    case WM_DESTROY:
        for (WindowHandle value : values_)
            ForgetSystemControlName(value);
        break;
    default:
        break;
    }
    return DefaultMessage(message, wp, lp);
}
