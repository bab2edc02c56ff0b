#include "ui/main_form.h"

#include "app/globals.h"
#include "app/settings.h"
#include "app/startup.h"
#include "inventory/shortcut_item.h"
#include "shell/fs_probes.h"
#include "shell/link_reader.h"
#include "shell/path_rules.h"
#include "shell/util_funcs.h"
#include "ui/about.h"
#include "ui/pictures.h"

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>

// The view interface has its own MessageBox.
#undef MessageBox

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

// The hand cursor, set up once when the program is loaded.
const HCURSOR g_handPoint = ::LoadCursorA(nullptr, IDC_HAND);

constexpr const char* kClassName = "TMainForm";
constexpr int kClientWidth = 783;
constexpr int kClientHeight = 579;
constexpr COLORREF kLabelColor = RGB(0x1A, 0x1A, 0x1A);

// Control ids: the five command buttons carry 100 + their action, the menu 200 + its item.
constexpr int kIdList = 10, kIdFilter = 11, kIdShow = 12, kIdMore = 20, kIdHelp = 21;
constexpr int kIdAction = 100;
enum MenuId {
    kMenuHelpContent = 201,
    kMenuHowTo,
    kMenuHomePage,
    kMenuMoreFreeTools,
    kMenuCheckUpdates,
    kMenuContact,
    kMenuAbout
};

int Index(TActionId action) { return static_cast<int>(action); }

// The row images: image 0 a green check, image 1 a red cross, each with its mask.
HIMAGELIST MakeRowImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (auto [imageId, maskId] : {std::pair{IDB_ROW_VALID, IDB_ROW_VALID_MASK},
                                   std::pair{IDB_ROW_INVALID, IDB_ROW_INVALID_MASK}}) {
        auto image = static_cast<HBITMAP>(::LoadImageA(instance, MAKEINTRESOURCEA(imageId),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        auto mask = static_cast<HBITMAP>(
            ::LoadImageA(instance, MAKEINTRESOURCEA(maskId), IMAGE_BITMAP, 0, 0, 0));
        ImageList_Add(list, image, mask);
        if (image)
            ::DeleteObject(image);
        if (mask)
            ::DeleteObject(mask);
    }
    return list;
}

// An info icon: a 32-bit bitmap with premultiplied alpha, kept as a DIB section.
HBITMAP LoadIconPicture(int id) {
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DrawIconPicture(HDC dc, int x, int y, HBITMAP picture) {
    if (!picture)
        return;
    BITMAP bm{};
    ::GetObjectA(picture, sizeof bm, &bm);
    HDC src = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(src, picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, x, y, bm.bmWidth, bm.bmHeight, src, 0, 0, bm.bmWidth, bm.bmHeight, blend);
    ::SelectObject(src, old);
    ::DeleteDC(src);
}

std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text ? text : "";
    if (text)
        ::LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' '))
        result.pop_back();
    return result;
}

// A Windows bitmap file; throws with the file layer's message when it cannot be opened and
// with "Bitmap image is not valid" when it is not a bitmap.
HBITMAP LoadBitmapFile(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("Cannot open file \"" + path + "\". " +
                                 SystemErrorText(::GetLastError()));
    ::CloseHandle(file);
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap)
        throw std::runtime_error("Bitmap image is not valid");
    return bitmap;
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TMainForm*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->Attach(hwnd);
    }
    auto* form = reinterpret_cast<TMainForm*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcA(hwnd, message, wp, lp);
    return form->HandleMessage(message, wp, lp);
}

void RegisterFormClass() {
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassExA(&wc);
    done = true;
}

} // namespace

void* HandPointCursor() { return g_handPoint; }

struct TMainForm::Graphic {
    const char* name;
    TBounds bounds;
    std::string text;
    enum Kind { Label, WrapLabel, Picture, Background } kind;
    bool visible = true;
    TInfoIcon icon = TInfoIcon::Info;
};

TMainForm::TMainForm(TMainFormSetup setup) : setup_(std::move(setup)) {
    if (!setup_.linkReader) {
        ownReader_ = CreateSystemLinkReader();
        setup_.linkReader = ownReader_.get();
    }
    if (!setup_.probes)
        setup_.probes = &SystemFileProbes();

    using G = Graphic;
    graphics_ = {
        {"ImageMain", {0, 0, 788, 584}, "", G::Background},
        {"LabelShow", {632, 83, 30, 13}, "Show:", G::Label},
        {"LabelFilter", {472, 83, 28, 13}, "Filter:", G::Label},
        {"LabelInfo", {112, 488, 457, 78}, "Info", G::WrapLabel},
        {"LabelTotal", {616, 496, 28, 13}, "Total:", G::Label},
        {"LabelInvalid", {616, 520, 36, 13}, "Invalid:", G::Label},
        {"LabelSelected", {616, 544, 45, 13}, "Selected:", G::Label},
        {"LabelTotalCount", {680, 496, 12, 13}, "...", G::Label},
        {"LabelInvalidCount", {680, 520, 12, 13}, "...", G::Label},
        {"LabelSelectedCount", {680, 544, 12, 13}, "...", G::Label},
        {"ImageIconInfo", {32, 488, 64, 64}, "", G::Picture, true, TInfoIcon::Info},
        {"ImageIconGood", {32, 488, 64, 64}, "", G::Picture, true, TInfoIcon::Good},
        {"ImageIconError", {32, 488, 64, 64}, "", G::Picture, true, TInfoIcon::Error},
        {"LabelSta", {24, 83, 9, 13}, "   ", G::Label},
    };

    RegisterFormClass();
    font_ = ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // WM_CREATE makes the controls and runs FormCreate.
    ::CreateWindowExA(exStyle, kClassName, "Shortcut Sweeper", style, left, top, width, height,
                      nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the main window. " +
                                 SystemErrorText(::GetLastError()));
}

TMainForm::~TMainForm() {
    if (hwnd_)
        ::DestroyWindow(H(hwnd_));
    buttons_.clear();
    for (void* picture : iconPictures_)
        if (picture)
            ::DeleteObject(static_cast<HBITMAP>(picture));
    if (helpMenu_)
        ::DestroyMenu(static_cast<HMENU>(helpMenu_));
    if (imageList_)
        ImageList_Destroy(static_cast<HIMAGELIST>(imageList_));
    if (background_)
        ::DeleteObject(static_cast<HBITMAP>(background_));
    if (font_)
        ::DeleteObject(static_cast<HFONT>(font_));
}

void TMainForm::Show() {
    ::ShowWindow(H(hwnd_), SW_SHOW);
    ::UpdateWindow(H(hwnd_));
}

IShellServices& TMainForm::Shell() {
    return setup_.shell ? *setup_.shell : SystemShellServices();
}

void TMainForm::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    auto child = [&](const char* name, DWORD exStyle, const char* cls, const char* text,
                     DWORD style, int x, int y, int w, int h, int id) {
        HWND c = ::CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                   H(hwnd_), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instance, nullptr);
        ::SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        controls_.emplace_back(name, c);
        return c;
    };

    // Child windows in tab order, which is also their back-to-front order.
    HWND list = child("ListViewFiles", WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                      WS_TABSTOP | LVS_REPORT, 24, 106, 737, 287, kIdList);
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE,
                   LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES,
                   LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    imageList_ = MakeRowImages();
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(imageList_));
    const struct {
        const char* caption;
        int width;
    } columns[] = {{"Name", 200}, {"Target", 300}, {"Location", 300}, {"Shortcut", 400}};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].caption);
        column.cx = columns[i].width;
        column.iSubItem = i;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&column));
    }
    rows_ = std::make_unique<TListViewReport>(list);

    child("EditFilter", WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 512, 80, 113,
          21, kIdFilter);
    HWND show = child("ComboBoxShow", 0, "COMBOBOX", "",
                      WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 672, 80, 89, 200, kIdShow);
    for (const char* item : {"All", "Invalid", "Valid"})
        ::SendMessageA(show, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageA(show, CB_SETCURSEL, 0, 0);
    // The closed box is 21 pixels high: its selection field plus the frame.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT closed;
        ::GetWindowRect(show, &closed);
        const int off = 21 - (closed.bottom - closed.top);
        if (off == 0)
            break;
        const auto field = ::SendMessageA(show, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        ::SendMessageA(show, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
        ::SetWindowPos(show, nullptr, 0, 0, 89, 200, SWP_NOMOVE | SWP_NOZORDER);
    }

    for (int i = 0; i < 3; ++i)
        iconPictures_[i] = LoadIconPicture(IDB_ICON_INFO + i);

    // The action list: a click runs the update handler first, then the command when its
    // action is still enabled.
    for (int i = 0; i < 5; ++i) {
        const auto id = static_cast<TActionId>(i);
        actions_[i].SetEnabled(enabled_[i]);
        actions_[i].SetOnUpdate([this] { Guard([&] { ActionListUpdate(); }); });
        actions_[i].SetOnExecute([this, id] { RunCommand(id); });
    }
    const struct {
        const char* name;
        int picture; // first of the four picture ids
        int left, top, width, height, id;
        int action; // -1: a click handler of its own
    } buttons[] = {
        {"suiImageButtonProperties", IDB_PROPERTIES_NORMAL, 24, 400, 86, 77,
         kIdAction + Index(TActionId::Properties), Index(TActionId::Properties)},
        {"suiImageButtonSelectnone", IDB_SELECTNONE_NORMAL, 216, 400, 86, 77,
         kIdAction + Index(TActionId::Selectnone), Index(TActionId::Selectnone)},
        {"suiImageButtonSelectInvalid", IDB_SELECTINVALID_NORMAL, 120, 400, 86, 77,
         kIdAction + Index(TActionId::SelectInvalid), Index(TActionId::SelectInvalid)},
        {"suiImageButtonDelete", IDB_DELETE_NORMAL, 312, 400, 86, 77,
         kIdAction + Index(TActionId::Delete), Index(TActionId::Delete)},
        {"suiImageButtonScanShortcuts", IDB_SCANSHORTCUTS_NORMAL, 672, 400, 86, 77,
         kIdAction + Index(TActionId::ScanShortcuts), Index(TActionId::ScanShortcuts)},
        {"suiImageButtonMore", IDB_MORE_NORMAL, 600, 3, 154, 30, kIdMore, -1},
        {"ButtonHelp", IDB_HELP_NORMAL, 12, 14, 34, 35, kIdHelp, -1},
    };
    for (const auto& b : buttons) {
        auto button = std::make_unique<TsuiImageButton>(hwnd_, b.left, b.top, b.width, b.height,
                                                        b.id);
        button->SetPictures(b.picture, b.picture + 1, b.picture + 2, b.picture + 3);
        button->SetAutoSize(true);
        button->SetFont(font_);
        if (b.action >= 0)
            button->SetAction(&actions_[b.action]);
        else if (b.id == kIdMore)
            button->SetOnClick([this] { Guard([&] { suiImageButtonMoreClick(); }); });
        else
            button->SetOnClick([this] { Guard([&] { ButtonHelpClick(); }); });
        controls_.emplace_back(b.name, button->Handle());
        buttons_.push_back(std::move(button));
    }

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuA(menu, MF_STRING, kMenuHelpContent, "Help Content\tF1");
    ::AppendMenuA(menu, MF_STRING, kMenuHowTo, "How Tos && Tutorial Videos...");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kMenuHomePage, "Home Page...");
    ::AppendMenuA(menu, MF_STRING, kMenuMoreFreeTools, "More Free Tools...");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kMenuCheckUpdates, "Check for Updates...");
    ::AppendMenuA(menu, MF_STRING, kMenuContact, "Contact Technical Support...");
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kMenuAbout, "About...");
    helpMenu_ = menu;

    // Labels that size themselves take their text's extent.
    for (auto& g : graphics_)
        if (g.kind == Graphic::Label)
            SetGraphicText(g.name, g.text);
}

const std::vector<int>& TMainForm::HelpMenuIds() {
    static const std::vector<int> ids = {kMenuHelpContent, kMenuHowTo, 0, kMenuHomePage,
                                         kMenuMoreFreeTools, 0, kMenuCheckUpdates, kMenuContact,
                                         0, kMenuAbout};
    return ids;
}

// ---- Painted controls ----

TMainForm::Graphic* TMainForm::FindGraphic(const std::string& name) {
    for (auto& g : graphics_)
        if (name == g.name)
            return &g;
    return nullptr;
}

const TMainForm::Graphic* TMainForm::FindGraphic(const std::string& name) const {
    return const_cast<TMainForm*>(this)->FindGraphic(name);
}

void TMainForm::InvalidateGraphic(int index) {
    const TBounds& b = graphics_[static_cast<std::size_t>(index)].bounds;
    RECT r{b.left, b.top, b.left + b.width, b.top + b.height};
    ::InvalidateRect(H(hwnd_), &r, FALSE);
}

void TMainForm::SetGraphicText(const std::string& name, const std::string& text) {
    Graphic* g = FindGraphic(name);
    if (!g)
        return;
    const int index = static_cast<int>(g - graphics_.data());
    InvalidateGraphic(index);
    g->text = text;
    if (g->kind == Graphic::Label && hwnd_) {
        HDC dc = ::GetDC(H(hwnd_));
        HGDIOBJ old = ::SelectObject(dc, static_cast<HFONT>(font_));
        RECT r{0, 0, 0, 0};
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::ReleaseDC(H(hwnd_), dc);
        g->bounds.width = r.right - r.left;
        g->bounds.height = r.bottom - r.top;
    }
    InvalidateGraphic(index);
}

bool TMainForm::GraphicBounds(const std::string& name, TBounds& bounds) const {
    const Graphic* g = FindGraphic(name);
    if (g)
        bounds = g->bounds;
    return g != nullptr;
}

std::string TMainForm::GraphicText(const std::string& name) const {
    const Graphic* g = FindGraphic(name);
    return g ? g->text : std::string();
}

bool TMainForm::GraphicVisible(const std::string& name) const {
    const Graphic* g = FindGraphic(name);
    return g && g->visible;
}

WindowHandle TMainForm::Control(const std::string& name) const {
    for (const auto& [n, h] : controls_)
        if (n == name)
            return h;
    return nullptr;
}

void TMainForm::Paint(void* target) {
    HDC out = static_cast<HDC>(target);
    RECT client;
    ::GetClientRect(H(hwnd_), &client);
    HDC dc = ::CreateCompatibleDC(out);
    HBITMAP work = ::CreateCompatibleBitmap(out, client.right, client.bottom);
    HGDIOBJ oldWork = ::SelectObject(dc, work);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ oldFont = ::SelectObject(dc, static_cast<HFONT>(font_));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kLabelColor);
    for (const Graphic& g : graphics_) {
        if (!g.visible)
            continue;
        RECT r{g.bounds.left, g.bounds.top, g.bounds.left + g.bounds.width,
               g.bounds.top + g.bounds.height};
        switch (g.kind) {
        case Graphic::Background:
            if (background_) {
                HDC src = ::CreateCompatibleDC(dc);
                HGDIOBJ old = ::SelectObject(src, static_cast<HBITMAP>(background_));
                ::BitBlt(dc, r.left, r.top, g.bounds.width, g.bounds.height, src, 0, 0, SRCCOPY);
                ::SelectObject(src, old);
                ::DeleteDC(src);
            }
            break;
        case Graphic::Label:
            ::DrawTextA(dc, g.text.c_str(), static_cast<int>(g.text.size()), &r,
                        DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
            break;
        case Graphic::WrapLabel:
            ::DrawTextA(dc, g.text.c_str(), static_cast<int>(g.text.size()), &r,
                        DT_WORDBREAK | DT_NOPREFIX);
            break;
        case Graphic::Picture:
            DrawIconPicture(dc, r.left, r.top,
                            static_cast<HBITMAP>(iconPictures_[static_cast<int>(g.icon)]));
            break;
        }
    }
    ::BitBlt(out, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldWork);
    ::DeleteObject(work);
    ::DeleteDC(dc);
}

// ---- IMainView ----

void TMainForm::SetInfoText(const std::string& text) { SetGraphicText("LabelInfo", text); }
void TMainForm::SetStatusText(const std::string& text) { SetGraphicText("LabelSta", text); }

void TMainForm::ShowInfoIcon(TInfoIcon icon) {
    for (auto& g : graphics_) {
        if (g.kind != Graphic::Picture)
            continue;
        const bool visible = g.icon == icon;
        if (visible != g.visible) {
            g.visible = visible;
            InvalidateGraphic(static_cast<int>(&g - graphics_.data()));
        }
    }
}

void TMainForm::SetCounters(int total, int invalid, int checked) {
    SetGraphicText("LabelTotalCount", std::to_string(total));
    SetGraphicText("LabelInvalidCount", std::to_string(invalid));
    SetGraphicText("LabelSelectedCount", std::to_string(checked));
}

void TMainForm::SetActionEnabled(TActionId action, bool enabled) {
    enabled_[Index(action)] = enabled;
    actions_[Index(action)].SetEnabled(enabled); // its button follows
}

bool TMainForm::ActionEnabled(TActionId action) const { return enabled_[Index(action)]; }

int TMainForm::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (setup_.messageBox)
        return setup_.messageBox(hwnd_, text, caption, flags);
    return ::MessageBoxA(H(hwnd_), text.c_str(), caption.c_str(), flags);
}

bool TMainForm::PreTranslate(void* m) {
    MSG* msg = static_cast<MSG*>(m);
    if (!hwnd_)
        return false;
    const bool ours = msg->hwnd == H(hwnd_) || ::IsChild(H(hwnd_), msg->hwnd);
    if (!ours)
        return false;
    if (msg->message == WM_KEYDOWN)
        Guard([&] { FormKeyDown(static_cast<unsigned>(msg->wParam)); });
    // Tab and arrow navigation between the controls.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_TAB))
        return ::IsDialogMessageA(H(hwnd_), msg) != FALSE;
    return false;
}

void TMainForm::ProcessMessages() {
    const ULONGLONG now = ::GetTickCount64();
    if (lastPump_ != 0 && now - lastPump_ < 10)
        return;
    lastPump_ = now;
    if (rows_)
        rows_->Flush();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (PreTranslate(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// ---- Handlers ----

template <class F> void TMainForm::Guard(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TMainForm::ShowError(const std::string& message) {
    MessageBox(ErrorBoxText(message), setup_.title, MB_OK | MB_ICONERROR);
}

void TMainForm::FormCreate() {
    try {
        LoadSettings();
        ShowInfoIcon(TInfoIcon::Info);
        SetInfoText(WelcomeText(setup_.title));
        DisableFsRedirection();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    // The master list exists in every case, so scans and views work.
    sweeper_ = std::make_unique<TShortcutSweeper>(*this, *rows_, Shell(), *setup_.linkReader,
                                                  *setup_.probes);
    sweeper_->SetOnDeferredClose([this] {
        Guard([&] { FormClose(); });
        if (hwnd_)
            ::DestroyWindow(H(hwnd_));
    });
}

void TMainForm::LoadSettings() {
    ::SetWindowTextA(H(hwnd_), setup_.title.c_str());
    {
        const TSettings settings =
            ReadSettingsFileAt(SettingsFileNameIn(setup_.programFolder));
        LoadGlobalVars(GlobalVars, settings, setup_.programFolder);
    }
    HBITMAP picture = LoadBitmapFile(AddTrailingBackslash(setup_.programFolder) + "UI.bmp");
    background_ = picture;
    BITMAP info{};
    ::GetObjectA(picture, sizeof info, &info);
    Graphic* main = FindGraphic("ImageMain");
    main->bounds.width = info.bmWidth;
    main->bounds.height = info.bmHeight;
    ::InvalidateRect(H(hwnd_), nullptr, FALSE);
}

void TMainForm::FormClose() { RevertFsRedirection(); }

void TMainForm::FormDestroy() { sweeper_.reset(); }

void TMainForm::FormKeyDown(unsigned key) {
    if (sweeper_)
        sweeper_->FormKeyDown(static_cast<int>(key), 0);
}

void TMainForm::ListViewFilesClick() {
    if (sweeper_)
        sweeper_->ListViewFilesClick();
}

void TMainForm::EditFilterChange() {
    if (!sweeper_)
        return;
    HWND edit = H(Control("EditFilter"));
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    sweeper_->EditFilterChange(text);
}

void TMainForm::ComboBoxShowChange() {
    if (!sweeper_)
        return;
    const auto position = ::SendMessageA(H(Control("ComboBoxShow")), CB_GETCURSEL, 0, 0);
    sweeper_->ComboBoxShowChange(static_cast<int>(position));
}

void TMainForm::ActionListUpdate() {
    if (sweeper_)
        sweeper_->ActionListUpdate();
}

void TMainForm::ActionScanShortcutsExecute() {
    if (sweeper_)
        sweeper_->ActionScanShortcutsExecute();
}

void TMainForm::ActionPropertiesExecute() {
    if (sweeper_)
        sweeper_->ActionPropertiesExecute();
}

void TMainForm::ActionSelectInvalidExecute() {
    if (sweeper_)
        sweeper_->ActionSelectInvalidExecute();
}

void TMainForm::ActionSelectnoneExecute() {
    if (sweeper_)
        sweeper_->ActionSelectnoneExecute();
}

void TMainForm::ActionDeleteExecute() {
    if (sweeper_)
        sweeper_->ActionDeleteExecute();
}

void TMainForm::DIWildFileFinderProgress() { ProcessMessages(); }

void TMainForm::suiImageButtonMoreClick() { Shell().OpenLink(GlobalVars.HelpMoreFreeToolsLink); }
void TMainForm::menuHelpContentClick() { Shell().OpenLink(GlobalVars.HelpContectLink); }
void TMainForm::menuHowToClick() { Shell().OpenLink(GlobalVars.HelpHowTosTutorialVideosLink); }
void TMainForm::menuHomePageClick() { Shell().OpenLink(GlobalVars.HelpHomePageLink); }
void TMainForm::menuMoreFreeToolsClick() { Shell().OpenLink(GlobalVars.HelpMoreFreeToolsLink); }
void TMainForm::menuCheckUpdatesClick() { Shell().OpenLink(GlobalVars.HelpCheckForUpdatesLink); }
void TMainForm::menuContactClick() { Shell().OpenLink(GlobalVars.HelpSupportLink); }
void TMainForm::menuAboutClick() {
    // Built anew for every showing, so it shows the current values and year.
    TFormAbout box(hwnd_, setup_.title, setup_.icon, Shell());
    box.ShowModal();
}

void TMainForm::ButtonHelpClick() {
    RECT window;
    ::GetWindowRect(H(hwnd_), &window);
    // The button's client position is added to the window's outer corner, so the menu opens
    // over the button.
    ::TrackPopupMenu(static_cast<HMENU>(helpMenu_), TPM_LEFTALIGN | TPM_TOPALIGN,
                     window.left + 12 + 2, window.top + 14 + 35, 0, H(hwnd_), nullptr);
}

// ---- The action list ----

void TMainForm::Idle() {
    if (rows_)
        rows_->Flush();
    // Once for each of the five buttons bound to an action.
    for (int i = 0; i < 5; ++i)
        Guard([&] { ActionListUpdate(); });
}

bool TMainForm::ExecuteAction(TActionId action) {
    bool ran = false;
    lastPump_ = 0; // the command's first look at the queue is not skipped
    Guard([&] { ran = sweeper_ && sweeper_->Execute(action); });
    return ran;
}

void TMainForm::RunCommand(TActionId action) {
    lastPump_ = 0;
    Guard([&] {
        switch (action) {
        case TActionId::ScanShortcuts: ActionScanShortcutsExecute(); break;
        case TActionId::Properties: ActionPropertiesExecute(); break;
        case TActionId::SelectInvalid: ActionSelectInvalidExecute(); break;
        case TActionId::Selectnone: ActionSelectnoneExecute(); break;
        case TActionId::Delete: ActionDeleteExecute(); break;
        }
    });
}

// ---- Messages ----

void TMainForm::Command(int id, int code) {
    if (id == kIdFilter && code == EN_CHANGE) {
        Guard([&] { EditFilterChange(); });
    } else if (id == kIdShow && code == CBN_SELCHANGE) {
        Guard([&] { ComboBoxShowChange(); });
    } else if (code == 0) {
        switch (id) {
        case kMenuHelpContent: Guard([&] { menuHelpContentClick(); }); break;
        case kMenuHowTo: Guard([&] { menuHowToClick(); }); break;
        case kMenuHomePage: Guard([&] { menuHomePageClick(); }); break;
        case kMenuMoreFreeTools: Guard([&] { menuMoreFreeToolsClick(); }); break;
        case kMenuCheckUpdates: Guard([&] { menuCheckUpdatesClick(); }); break;
        case kMenuContact: Guard([&] { menuContactClick(); }); break;
        case kMenuAbout: Guard([&] { menuAboutClick(); }); break;
        default: break;
        }
    }
}

void TMainForm::Notify(void* h) {
    auto* header = static_cast<NMHDR*>(h);
    if (header->idFrom != kIdList)
        return;
    if (header->code == NM_CLICK)
        Guard([&] { ListViewFilesClick(); });
    else if (header->code == NM_DBLCLK)
        Guard([&] { ActionPropertiesExecute(); });
}

std::intptr_t TMainForm::HandleMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    HWND hwnd = H(hwnd_);
    switch (message) {
    case WM_CREATE:
        CreateControls();
        if (setup_.icon) {
            ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(setup_.icon));
            ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(setup_.icon));
        }
        FormCreate();
        return 0;
    case WM_SETCURSOR:
        if (ScreenCursor() != crDefault) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // the whole surface is painted off-screen in WM_PAINT
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_COMMAND:
        Command(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_NOTIFY:
        // Clearing the list sends no notification per row.
        if (reinterpret_cast<NMHDR*>(lp)->code == LVN_DELETEALLITEMS)
            return TRUE;
        Notify(reinterpret_cast<void*>(lp));
        return 0;
    case WM_CLOSE:
        // While a scan or a shell call still runs on this window, the close waits for it
        // (the sweeper calls back when it has returned).
        if (sweeper_ && !sweeper_->RequestClose())
            return 0;
        Guard([&] { FormClose(); });
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        Guard([&] { FormDestroy(); });
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hwnd, message, wp, lp);
}

int RunMessageLoop(TMainForm& form) {
    MSG msg;
    for (;;) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return 0;
            if (form.PreTranslate(&msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!form.Exists())
            return 0;
        form.Idle();
        ::WaitMessage();
    }
}
