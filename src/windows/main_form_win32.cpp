// The main window: creation, message routing, the handlers and the view interface.
#include "windows/main_form.h"

#include "inventory/shortcut_repair.h"
#include "inventory/visible_text.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"
#include "platform/search_fs.h"
#include "platform/startup.h"
#include "platform/util_funcs.h"
#include "platform/wine.h"
#include "settings/globals.h"
#include "settings/settings.h"
#include "windows/about.h"
#include "windows/main_form_layout.h"
#include "windows/properties_box.h"
#include "windows/properties_route.h"
#include "winkit/accessibility.h"
#include "winkit/display_scale.h"

#include <windows.h>
#include <commctrl.h>

#include <climits>

namespace {

const TWindowClass kClass{
    .name = "TMainForm", .background = TWindowClass::Background::ButtonFace, .painted = true};

// Where WM_COMMAND and WM_NOTIFY go: the control or menu item, the notification (a menu
// item's is 0), the handler and what the window answers.
struct TRoute {
    int id;
    unsigned code;
    void (*handler)(TMainForm& form, void* header);
    std::intptr_t result = 0;
};
template <void (TMainForm::*Handler)()> void Call(TMainForm& form, void*) { (form.*Handler)(); }

const TRoute kRoutes[] = {
    {kIdEditFilter, EN_CHANGE, Call<&TMainForm::EditFilterChange>},
    {kIdComboBoxShow, CBN_SELCHANGE, Call<&TMainForm::ComboBoxShowChange>},
    {kIdListViewFiles, LVN_GETDISPINFOA,
     [](TMainForm& form, void* header) { form.Rows().GetDispInfo(header); }},
    {kIdListViewFiles, LVN_ITEMCHANGED,
     [](TMainForm& form, void* header) { form.Rows().ItemChanged(header); }},
    {kIdListViewFiles, NM_CLICK, Call<&TMainForm::ListViewFilesClick>},
    {kIdListViewFiles, NM_DBLCLK, Call<&TMainForm::ListViewFilesDblClick>},
    // Clearing the list sends no notification per row.
    {kIdListViewFiles, LVN_DELETEALLITEMS, nullptr, TRUE},
    {menuHelpContent, 0, Call<&TMainForm::menuHelpContentClick>},
    {menuHowTo, 0, Call<&TMainForm::menuHowToClick>},
    {menuHomePage, 0, Call<&TMainForm::menuHomePageClick>},
    {menuMoreFreeTools, 0, Call<&TMainForm::menuMoreFreeToolsClick>},
    {menuCheckUpdates, 0, Call<&TMainForm::menuCheckUpdatesClick>},
    {menuContact, 0, Call<&TMainForm::menuContactClick>},
    {menuAbout, 0, Call<&TMainForm::menuAboutClick>},
};

} // namespace

TMainForm::TMainForm(TMainFormSetup setup)
    : setup_(std::move(setup)),
      graphics_([this](const std::string& text, int font) { return MeasureText(text, font); },
                [this](const TBounds& area) { Invalidate(area); }) {
    if (!setup_.linkReader) {
        ownReader_ = CreateSystemLinkReader();
        setup_.linkReader = ownReader_.get();
    }
    if (!setup_.probes)
        setup_.probes = &SystemFileProbes();
    if (!setup_.hasPropertiesSheet)
        setup_.hasPropertiesSheet = PlatformHasPropertiesSheet;
    commandShell_ = std::make_unique<TPropertiesRoute>(
        Shell(), setup_.hasPropertiesSheet,
        [this](const std::string& path) { ShowOwnProperties(path); });
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    // The client area scaled to the display's density, in the fixed frame for that density.
    const int dpi = SystemDpi();
    const TSize frame =
        FrameSize(Scale(TSize{kMainClientWidth, kMainClientHeight}, dpi), style, exStyle, dpi);
    // WM_CREATE makes the controls and runs FormCreate. The stored caption is a placeholder
    // until FormCreate sets the title.
    Create(kClass, {.text = "Shortcut Sweeper",
                    .style = style,
                    .exStyle = exStyle,
                    .left = (::GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2,
                    .top = (::GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2,
                    .width = frame.width,
                    .height = frame.height});
    // On a display of another density than the system's, or larger than the screen (which
    // the creation cuts down to it), the frame is fitted again.
    FitFrame();
}

TMainForm::~TMainForm() {
    DestroyHandle(); // FormDestroy runs while the object is whole
}

// Showing activates the window, and the activation gives the list the focus.
void TMainForm::Show() {
    ::ShowWindow(Handle(), SW_SHOW);
    ::UpdateWindow(Handle());
}

void TMainForm::SaveFocus() {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(Handle(), focus))
        focused_ = focus;
}

// Back to the control that had the focus, unless it has since gone, hidden or been disabled.
void TMainForm::RestoreFocus() {
    HWND target = focused_;
    if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) ||
        !::IsWindowEnabled(target))
        target = ListViewFiles;
    if (target)
        ::SetFocus(target);
}

IShellServices& TMainForm::Shell() { return setup_.shell ? *setup_.shell : SystemShellServices(); }

// ---- IMainView ----

// The record's fields in the info panel show their bidirectional controls visibly.
void TMainForm::SetInfoText(const std::string& text) { SetLabel("LabelInfo", VisibleBidi(text)); }
void TMainForm::SetStatusText(const std::string& text) { SetLabel("LabelSta", text); }
void TMainForm::ShowInfoIcon(TInfoIcon icon) { graphics_.ShowOnly(InfoIconName(icon)); }

void TMainForm::SetCounters(int total, int invalid, int checked) {
    SetLabel("LabelTotalCount", std::to_string(total));
    SetLabel("LabelInvalidCount", std::to_string(invalid));
    SetLabel("LabelSelectedCount", std::to_string(checked));
}

// Only a text that changed reaches its hidden twin, so an idle window stays at rest.
void TMainForm::SetLabel(const std::string& name, const std::string& text) {
    if (!graphics_.SetText(name, text))
        return;
    for (std::size_t i = 0; i < hiddenTexts_.size(); ++i)
        if (name == kReadableTexts[i].graphic)
            ::SetWindowTextA(hiddenTexts_[i], ReadableText(kReadableTexts[i]).c_str());
}

std::string TMainForm::ReadableText(const TReadableText& readable) const {
    const std::string text = GraphicText(readable.graphic);
    return readable.caption ? GraphicText(readable.caption) + " " + text : text;
}

int TMainForm::ShowBox(const std::string& text, unsigned flags) {
    if (setup_.messageBox)
        return setup_.messageBox(Handle(), text, setup_.title, flags);
    return ::MessageBoxA(Handle(), text.c_str(), setup_.title.c_str(), flags);
}

bool TMainForm::AskYesNo(const std::string& question) {
    return ShowBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TMainForm::Warn(const std::string& text) { ShowBox(text, MB_OK | MB_ICONWARNING); }

bool TMainForm::PreTranslate(void* m) {
    MSG* msg = static_cast<MSG*>(m);
    HWND hwnd = Handle();
    if (!hwnd || (msg->hwnd != hwnd && !::IsChild(hwnd, msg->hwnd)))
        return false;
    if (msg->message == WM_KEYDOWN)
        ReportErrors(*this, [&] { FormKeyDown(static_cast<unsigned>(msg->wParam)); });
    // F1 opens Help Content, as the help menu says beside the item (unless it is greyed).
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
        if (!(::GetMenuState(PopupMenuHelp.get(), menuHelpContent, MF_BYCOMMAND) & MF_GRAYED))
            ReportErrors(*this, [&] { menuHelpContentClick(); });
        return true;
    }
    // Enter, Escape and caption accelerators for the image buttons that take them.
    if (ImageButtonDialogKey(hwnd, msg->message, msg->wParam, msg->lParam))
        return true;
    // The list's check boxes: the rows' marks are the window's own. A click on a box is
    // still a click on the list, a double click still opens Properties.
    if (rows_) {
        switch (rows_->ToggleFromInput(msg)) {
        case TListViewReport::TInput::Passed:
            break;
        case TListViewReport::TInput::Toggled:
            return true;
        case TListViewReport::TInput::BoxClicked:
            ReportErrors(*this, [&] { ListViewFilesClick(); });
            return true;
        case TListViewReport::TInput::BoxDoubleClicked:
            ReportErrors(*this, [&] {
                ListViewFilesClick();
                ListViewFilesDblClick();
            });
            return true;
        }
    }
    // Tab navigation between the controls.
    return msg->message == WM_KEYDOWN && msg->wParam == VK_TAB &&
           ::IsDialogMessageA(hwnd, msg) != FALSE;
}

void TMainForm::ProcessMessages() {
    const ULONGLONG now = ::GetTickCount64();
    if (lastPump_ != 0 && now - lastPump_ < 10)
        return;
    lastPump_ = now;
    // The rows found so far reach the control a few times a second: each time costs the
    // control its scroll bars and a repaint, far more than handling the messages.
    if (rows_ && now - lastRowsFlush_ >= 200) {
        rows_->Flush();
        lastRowsFlush_ = now;
    }
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

// ---- Errors ----

void TMainForm::ShowError(const std::string& message) {
    ShowBox(ErrorBoxText(message), MB_OK | MB_ICONERROR);
}

void TMainForm::ReportError(const std::string& message) {
    try {
        ShowError(message);
    } catch (...) {
        // The error box itself failed; there is nowhere left to report to.
    }
}

// ---- Handlers ----

void TMainForm::FormCreate() {
    try {
        LoadSettings();
        ShowInfoIcon(TInfoIcon::Info);
        SetInfoText(WelcomeText(setup_.title));
        DisableFsRedirection();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
    // Whatever the settings held when reading stopped.
    EnableHelpLinks();
    // The master list exists in every case, so scans and views work.
    sweeper_ = std::make_unique<TShortcutSweeper>(*this, *rows_, *commandShell_, *setup_.linkReader,
                                                  *setup_.probes);
    sweeper_->SetFollowFolderLinks(RunsUnderWine());
    // Repair's originals go where Delete's files go: one recycle bin call for a batch, and
    // the file system tells which went.
    repairShortcuts_ = CreateSystemShortcutFiles();
    repairSearch_ = CreateSystemSearchFileSystem();
    repairFiles_ = CreateSystemRepairFiles([this](const std::vector<std::string>& paths) {
        const bool cancelled = !commandShell_->MoveToRecycleBin(Handle(), paths, false);
        std::vector<std::string> refusals(paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i)
            if (setup_.probes->ProbePath(paths[i]) != TPathState::Absent)
                refusals[i] = cancelled ? "cancelled" : "the shell kept it";
        return refusals;
    });
    sweeper_->SetRepairSystem({repairShortcuts_.get(), repairSearch_.get(), repairFiles_.get()});
    sweeper_->SetOnDeferredClose([this] {
        ReportErrors(*this, [&] { FormClose(); });
        DestroyHandle();
    });
    BindCommandButtons();
}

void TMainForm::LoadSettings() {
    ::SetWindowTextA(Handle(), setup_.title.c_str());
    {
        const TSettings settings = ReadSettingsFileAt(SettingsFileNameIn(setup_.programFolder));
        LoadGlobalVars(GlobalVars, settings, setup_.programFolder);
    }
    LoadBackground();
}

void TMainForm::FormClose() { RevertFsRedirection(); }

void TMainForm::FormDestroy() { sweeper_.reset(); }

void TMainForm::FormKeyDown(unsigned key) {
    if (sweeper_)
        sweeper_->FormKeyDown(key == VK_ESCAPE ? TShortcutSweeper::TKey::Escape
                                               : TShortcutSweeper::TKey::Other);
}

void TMainForm::ListViewFilesClick() {
    if (sweeper_)
        sweeper_->ListViewFilesClick();
}

void TMainForm::EditFilterChange() {
    if (!sweeper_)
        return;
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(EditFilter)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(EditFilter, text.data(), static_cast<int>(text.size()))));
    sweeper_->EditFilterChange(text);
}

void TMainForm::ComboBoxShowChange() {
    if (!sweeper_)
        return;
    const auto position = ::SendMessageA(ComboBoxShow, CB_GETCURSEL, 0, 0);
    sweeper_->ComboBoxShowChange(static_cast<int>(position));
}

// "HelpContectLink" is spelled so in the settings file.
void TMainForm::suiImageButtonMoreClick() { Shell().OpenLink(GlobalVars.HelpMoreFreeToolsLink); }
void TMainForm::menuHelpContentClick() { Shell().OpenLink(GlobalVars.HelpContectLink); }
void TMainForm::menuHowToClick() { Shell().OpenLink(GlobalVars.HelpHowTosTutorialVideosLink); }
void TMainForm::menuHomePageClick() { Shell().OpenLink(GlobalVars.HelpHomePageLink); }
void TMainForm::menuMoreFreeToolsClick() { Shell().OpenLink(GlobalVars.HelpMoreFreeToolsLink); }
void TMainForm::menuCheckUpdatesClick() { Shell().OpenLink(GlobalVars.HelpCheckForUpdatesLink); }
void TMainForm::menuContactClick() { Shell().OpenLink(GlobalVars.HelpSupportLink); }
void TMainForm::menuAboutClick() {
    // Built anew for every showing, so it shows the current values and year.
    TFormAbout box(Handle(), setup_.title, setup_.icon, Shell());
    box.ShowModal();
}

void TMainForm::ShowOwnProperties(const std::string& shortcutPath) {
    TFormProperties box(Handle(), shortcutPath);
    box.ShowModal();
}

void TMainForm::EnableHelpLinks() {
    for (const TMenuItem& item : kHelpMenu)
        if (const std::string* link = HelpMenuLink(item.id, GlobalVars))
            ::EnableMenuItem(PopupMenuHelp.get(), static_cast<UINT>(item.id),
                             MF_BYCOMMAND | (link->empty() ? MF_GRAYED : MF_ENABLED));
    if (suiImageButtonMore)
        suiImageButtonMore->SetEnabled(!GlobalVars.HelpMoreFreeToolsLink.empty());
}

void TMainForm::ButtonHelpClick() {
    RECT window;
    ::GetWindowRect(Handle(), &window);
    const TOffset at = HelpMenuOffset(Dpi());
    ::TrackPopupMenu(PopupMenuHelp.get(), TPM_LEFTALIGN | TPM_TOPALIGN, window.left + at.x,
                     window.top + at.y, 0, Handle(), nullptr);
}

// ---- The action list ----

void TMainForm::Idle() {
    lastPump_ = 0; // the first look at the queue of a command run after this is not skipped
    ReportErrors(*this, [&] {
        if (rows_)
            rows_->Flush();
        if (sweeper_)
            sweeper_->ActionList.Update();
    });
}

bool TMainForm::ExecuteAction(TActionId action) {
    bool ran = false;
    lastPump_ = 0;
    ReportErrors(*this, [&] { ran = sweeper_ && sweeper_->ActionList[action].Execute(); });
    return ran;
}

// ---- Messages ----

void TMainForm::ListViewFilesDblClick() {
    if (sweeper_)
        sweeper_->ActionPropertiesExecute();
}

std::intptr_t TMainForm::Dispatch(int id, unsigned code, void* header) {
    for (const TRoute& route : kRoutes)
        if (route.id == id && route.code == code) {
            if (route.handler && (rows_ || id != kIdListViewFiles))
                route.handler(*this, header);
            return route.result;
        }
    return 0;
}

std::intptr_t TMainForm::OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) {
    HWND hwnd = Handle();
    switch (message) {
    case WM_CREATE:
        CreateControls();
        if (setup_.icon) {
            ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(setup_.icon));
            ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(setup_.icon));
        }
        FormCreate();
        return 0;
    case WM_ACTIVATE:
        // The window keeps its own focus: whichever control had it gets it back when the
        // window is active again (after a box, the picker or another program).
        if (LOWORD(wp) == WA_INACTIVE)
            SaveFocus();
        else if (HIWORD(wp) == 0) // not while minimised
            RestoreFocus();
        return 0;
    case WM_SETFOCUS:
        // The window itself has nothing to type into (restored from the taskbar, say).
        RestoreFocus();
        return 0;
    case WM_SETCURSOR:
        if (ScreenCursor() != crDefault) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_GETMINMAXINFO:
        // The fixed frame keeps its size at every density, even where that is larger than
        // the screen (the system would cut it down to the screen otherwise).
        reinterpret_cast<MINMAXINFO*>(lp)->ptMaxTrackSize = {SHRT_MAX, SHRT_MAX};
        return 0;
    case WM_COMMAND:
        return Dispatch(LOWORD(wp), HIWORD(wp), nullptr);
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        return Dispatch(static_cast<int>(header->idFrom), header->code, header);
    }
    case WM_CLOSE:
        // While a scan or a shell call still runs on this window, the close waits for it
        // (the sweeper calls back when it has returned).
        if (sweeper_ && !sweeper_->RequestClose())
            return 0;
        ReportErrors(*this, [&] { FormClose(); });
        DestroyHandle();
        return 0;
    case WM_DESTROY:
        for (HWND control : {ListViewFiles, EditFilter, ComboBoxShow})
            ForgetSystemControlName(control);
        ReportErrors(*this, [&] { FormDestroy(); });
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultMessage(message, wp, lp);
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

int RunMainWindow(const TMainFormSetup& setup) {
    try {
        TMainForm form(setup);
        form.Show();
        return RunMessageLoop(form);
    } catch (...) {
        return ReportStartupError(std::current_exception());
    }
}
