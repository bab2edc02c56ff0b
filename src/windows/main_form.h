// The main window: the report list, the filter and Show boxes, the command buttons, the info
// panel with its counters, and the help button and menu. Windows build only; the header
// needs no <windows.h>.
//
//   TMainForm form(setup);      // creates the window; FormCreate runs inside
//   form.Show();
//   return RunMessageLoop(form); // until the window is gone
//
// The window routes messages to its handlers and implements the inventory's view over real
// controls; what a command does is decided in inventory/. Its layout is the data of
// windows/main_form_layout; it is built in main_form_controls_win32.cpp and painted in
// main_form_paint_win32.cpp.
#pragma once

#include "base/handles.h"
#include "finder/di_file_finder.h"
#include "inventory/inventory.h"
#include "inventory/main_view.h"
#include "inventory/sweeper.h"
#include "platform/shell_services.h"
#include "windows/list_view.h"
#include "winkit/image_button.h"
#include "winkit/painted_layer.h"
#include "winkit/window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ILinkReader;
class IFileProbes;
struct TReadableText;

// A modal message box: owner, text, caption and MessageBox flags; returns the button chosen.
using TMessageBoxFn = std::function<int(WindowHandle owner, const std::string& text,
                                        const std::string& caption, unsigned flags)>;

struct TMainFormSetup {
    std::string title;                 // the application title
    std::string programFolder;         // folder of "UI.bmp" and the settings file, ending in '\'
    HICON icon = nullptr;              // of the application, not owned; nullptr for none
    IShellServices* shell = nullptr;   // nullptr: the system's
    ILinkReader* linkReader = nullptr; // nullptr: the system's
    IFileProbes* probes = nullptr;     // nullptr: the system's
    TMessageBoxFn messageBox;          // empty: the system's message box
    // Whether the platform shows the shell's Properties sheet for a file; where it does not,
    // Properties opens the program's own box. Empty: the platform's (PlatformHasPropertiesSheet).
    std::function<bool()> hasPropertiesSheet;
};

class TMainForm final : public TWindow, public IMainView {
public:
    // Creates the window hidden; FormCreate runs during the creation. Throws what made the
    // creation fail.
    explicit TMainForm(TMainFormSetup setup);
    ~TMainForm() override;

    void Show();

    // IMainView
    WindowHandle Handle() override { return TWindow::Handle(); }
    void SetInfoText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void ShowInfoIcon(TInfoIcon icon) override;
    void SetCounters(int total, int invalid, int checked) override;
    bool AskYesNo(const std::string& question) override;
    void Warn(const std::string& text) override;
    // Looks at the queue at most once every few milliseconds, and shows the rows found so far
    // a few times a second: the scan calls it for every entry it examines, and each look
    // costs a round trip to the window system.
    void ProcessMessages() override;

    // The error box of the window: an error escaping any handler of the window, its
    // controls or its dialogs ends here, and the program goes on.
    void ReportError(const std::string& message) override;

    // Handlers.
    void FormCreate();
    void FormClose();
    void FormDestroy();
    void FormKeyDown(unsigned key);
    void LoadSettings();
    void ListViewFilesClick();
    // The list's double click (also on a check box): Properties of the focused row.
    void ListViewFilesDblClick();
    void EditFilterChange();
    void ComboBoxShowChange();
    void suiImageButtonMoreClick();
    void ButtonHelpClick();
    void menuHelpContentClick();
    void menuHowToClick();
    void menuHomePageClick();
    void menuMoreFreeToolsClick();
    void menuCheckUpdatesClick();
    void menuContactClick();
    void menuAboutClick();

    // A command run as its button runs it: its action's update event first, then the
    // command when it is still enabled. True when it ran. An error is reported, not thrown.
    bool ExecuteAction(TActionId action);
    // One idle pass of the message loop: the update handler, once. It
    // repaints only what changed, so a window at rest stays at rest. Errors are reported.
    void Idle();
    // True while a scan loop runs (also when it runs inside another one).
    bool Scanning() const { return sweeper_ && sweeper_->Scanning() > 0; }

    // The controls under the window's names (each also has its control id of the layout
    // tables): the child windows (not owned) and the image buttons (owned by buttons_).
    WindowHandle ListViewFiles = nullptr;
    WindowHandle EditFilter = nullptr;
    WindowHandle ComboBoxShow = nullptr;
    TsuiImageButton* suiImageButtonProperties = nullptr;
    TsuiImageButton* suiImageButtonSelectnone = nullptr;
    TsuiImageButton* suiImageButtonSelectInvalid = nullptr;
    TsuiImageButton* suiImageButtonDelete = nullptr;
    TsuiImageButton* suiImageButtonRepair = nullptr;
    TsuiImageButton* suiImageButtonScanShortcuts = nullptr;
    TsuiImageButton* suiImageButtonMore = nullptr;
    TsuiImageButton* ButtonHelp = nullptr;

    // Inspection of the window, for the tests and the tools.
    // Painted controls (labels, images): place, text and visibility; false for an unknown
    // name.
    bool GraphicBounds(const std::string& name, TBounds& bounds) const {
        return graphics_.BoundsOf(name, bounds);
    }
    std::string GraphicText(const std::string& name) const { return graphics_.TextOf(name); }
    bool GraphicVisible(const std::string& name) const { return graphics_.VisibleOf(name); }
    bool HasBackground() const { return static_cast<bool>(background_); }
    HIMAGELIST RowImages() const { return ImageList.get(); } // owned by the window
    TInventory& Inventory() { return sweeper_->Inventory(); }
    TListViewReport& Rows() { return *rows_; }
    TDIWildFileFinder& Finder() { return sweeper_->DIWildFileFinder(); }

    // Key preview and keyboard navigation for a message about to be dispatched; true when
    // the message was consumed.
    bool PreTranslate(void* msg);

    // The window's non-visual parts, under the window's own names.
    TImageList ImageList; // the report list's row images (the list does not own them)
    TMenu PopupMenuHelp;

private:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    // main_form_controls_win32.cpp
    void CreateControls();
    void CreateButtons();
    // Binds the command buttons to the sweeper's actions, once the sweeper exists.
    void BindCommandButtons();
    void CreateHelpMenu();
    // The font, places, sizes and pictures for Dpi(): at creation and on WM_DPICHANGED.
    void ScaleFonts() override;
    void ApplyDpi() override;
    TSize DesignClientSize() const override;
    void PlaceControls();
    // main_form_paint_win32.cpp
    void LoadPictures();
    void LoadBackground();
    void PlaceBackground();
    void Paint(HDC dc, TSize size) override;
    TSize MeasureText(const std::string& text, int font);

    // WM_COMMAND and WM_NOTIFY: the handler the routing table names for the control or menu
    // item `id` and the notification `code`; `header` is the NMHDR of a WM_NOTIFY.
    std::intptr_t Dispatch(int id, unsigned code, void* header);
    // The slot of the image button whose control id is `id`.
    TsuiImageButton*& ButtonOf(int id);
    // A painted label's text, and the hidden text screen readers read where it has one.
    void SetLabel(const std::string& name, const std::string& text);
    std::string ReadableText(const TReadableText& readable) const;
    // The keyboard focus kept across deactivation; the list has it first.
    void SaveFocus();
    void RestoreFocus();
    void ShowError(const std::string& message);
    // A message box of the window, captioned with the application title; returns the
    // button chosen.
    int ShowBox(const std::string& text, unsigned flags);
    IShellServices& Shell();
    // The help menu items and the More button enabled exactly when their link is not empty.
    void EnableHelpLinks();
    // The program's own Properties box for a shortcut file, where the platform has no sheet.
    void ShowOwnProperties(const std::string& shortcutPath);

    TMainFormSetup setup_;
    TFont font_;                     // Tahoma, 11 pixels at 96 dpi, scaled
    TBitmap background_;             // "UI.bmp"; empty when it could not be loaded
    bool shippedBackground_ = false; // "UI.bmp" is the file shipped with the program
    int rowImagesPercent_ = 100;     // the rendering ImageList holds
    std::vector<HFONT> fonts_;       // not owned: font_, by font number
    // Not owned, by TMainPicture: background_ (or above 100% the shipped background's own
    // rendering) and the info icons (32-bit, alpha), those of the executable kept by
    // pictures/picture_store.
    std::vector<HBITMAP> pictures_;
    TPaintedLayer graphics_;
    std::vector<WindowHandle> hiddenTexts_; // not owned: one per entry of kReadableTexts
    std::unique_ptr<TListViewReport> rows_;
    // The scan, the commands and the master list; made by FormCreate.
    std::unique_ptr<TShortcutSweeper> sweeper_;
    std::unique_ptr<ILinkReader> ownReader_;
    // What Repair reads and writes through: the shortcut files, the search, the file steps
    // (the original to the recycle bin through the shell services).
    std::unique_ptr<IShortcutFiles> repairShortcuts_;
    std::unique_ptr<ISearchFileSystem> repairSearch_;
    std::unique_ptr<IRepairFiles> repairFiles_;
    // The shell services the commands use: Shell() with Properties routed (sheet or own box).
    std::unique_ptr<IShellServices> commandShell_;
    // The command buttons, then More and Help, in tab order.
    std::vector<std::unique_ptr<TsuiImageButton>> buttons_;
    unsigned long long lastPump_ = 0;      // tick of the last ProcessMessages that looked
    unsigned long long lastRowsFlush_ = 0; // tick of its last flush of the rows
    WindowHandle focused_ = nullptr;       // not owned: the control with the focus when deactivated
};

// Runs the message loop, with an idle pass whenever the queue runs empty, until the window
// has been destroyed. Returns the exit code (0).
int RunMessageLoop(TMainForm& form);

// Creates the main window, shows it and runs the message loop until the window is gone.
// An error that makes the creation fail ends in the start-up report. Returns the exit code:
// 0, or 1 after the report.
int RunMainWindow(const TMainFormSetup& setup);
