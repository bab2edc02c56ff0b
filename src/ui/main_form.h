// The main window: the report list, the filter and Show boxes, the command buttons, the info
// panel with its counters, and the help button and menu. Windows build only; the header
// keeps platform handles opaque.
//
//   TMainForm form(setup);      // creates the window; FormCreate runs inside
//   form.Show();
//   return RunMessageLoop(form); // until the window is gone
//
// The window routes messages to its handlers and implements the inventory's view over real
// controls; what a command does is decided in inventory/.
#pragma once

#include "finder/di_file_finder.h"
#include "inventory/inventory.h"
#include "inventory/sweeper.h"
#include "inventory/main_view.h"
#include "shell/shell_services.h"
#include "ui/action.h"
#include "ui/image_button.h"
#include "ui/list_view.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ILinkReader;
class IFileProbes;

// A modal message box: owner, text, caption and MessageBox flags; returns the button chosen.
using TMessageBoxFn =
    std::function<int(WindowHandle owner, const std::string& text, const std::string& caption,
                      unsigned flags)>;

struct TMainFormSetup {
    std::string title;           // the application title
    std::string programFolder;   // folder of "UI.bmp" and the settings file, ending in '\'
    void* icon = nullptr;        // HICON of the application, not owned; nullptr for none
    IShellServices* shell = nullptr;    // nullptr: the system's
    ILinkReader* linkReader = nullptr;  // nullptr: the system's
    IFileProbes* probes = nullptr;      // nullptr: the system's
    TMessageBoxFn messageBox;           // empty: the system's message box
};

// A painted control's place in client pixels.
struct TBounds {
    int left = 0, top = 0, width = 0, height = 0;
};

class TMainForm final : public IMainView {
public:
    // Creates the window hidden; FormCreate runs during the creation.
    explicit TMainForm(TMainFormSetup setup);
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;
    ~TMainForm() override;

    void Show();
    // True until the window has been destroyed.
    bool Exists() const { return hwnd_ != nullptr; }

    // IMainView
    WindowHandle Handle() override { return hwnd_; }
    std::string Title() override { return setup_.title; }
    void SetInfoText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void ShowInfoIcon(TInfoIcon icon) override;
    void SetCounters(int total, int invalid, int checked) override;
    void SetActionEnabled(TActionId action, bool enabled) override;
    int MessageBox(const std::string& text, const std::string& caption,
                   unsigned flags) override;
    // Looks at the queue at most once every few milliseconds: the scan calls it for every
    // entry it examines, and each look costs a round trip to the window system.
    void ProcessMessages() override;

    // Handlers.
    void FormCreate();
    void FormClose();
    void FormDestroy();
    void FormKeyDown(unsigned key);
    void LoadSettings();
    void ListViewFilesClick();
    void EditFilterChange();
    void ComboBoxShowChange();
    void ActionListUpdate();
    void ActionScanShortcutsExecute();
    void ActionPropertiesExecute();
    void ActionSelectInvalidExecute();
    void ActionSelectnoneExecute();
    void ActionDeleteExecute();
    void DIWildFileFinderProgress();
    void suiImageButtonMoreClick();
    void ButtonHelpClick();
    void menuHelpContentClick();
    void menuHowToClick();
    void menuHomePageClick();
    void menuMoreFreeToolsClick();
    void menuCheckUpdatesClick();
    void menuContactClick();
    void menuAboutClick();

    // A command run through its button: the update handler first, then the command when it
    // is still enabled. True when it ran.
    bool ExecuteAction(TActionId action);
    // The command itself, as its action's execute handler runs it.
    void RunCommand(TActionId action);
    // One idle pass of the message loop: the update handler once per command button.
    void Idle();
    bool ActionEnabled(TActionId action) const;
    // True while a scan loop runs (also when it runs inside another one).
    bool Scanning() const { return sweeper_ && sweeper_->Scanning() > 0; }

    // Inspection of the window, for the tests and the tools.
    // The child window of a control ("ListViewFiles", "EditFilter", "ComboBoxShow", the
    // button names); nullptr for an unknown name.
    WindowHandle Control(const std::string& name) const;
    // Painted controls (labels, images): place, text and visibility; false for an unknown
    // name.
    bool GraphicBounds(const std::string& name, TBounds& bounds) const;
    std::string GraphicText(const std::string& name) const;
    bool GraphicVisible(const std::string& name) const;
    bool HasBackground() const { return background_ != nullptr; }
    TInventory& Inventory() { return sweeper_->Inventory(); }
    TListViewReport& Rows() { return *rows_; }
    TDIWildFileFinder& Finder() { return sweeper_->DIWildFileFinder(); }
    // The help menu's item ids, in display order (0 for separators).
    static const std::vector<int>& HelpMenuIds();

    // Key preview and keyboard navigation for a message about to be dispatched; true when
    // the message was consumed.
    bool PreTranslate(void* msg);
    // Window procedure glue (internal).
    std::intptr_t HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void Attach(WindowHandle hwnd) { hwnd_ = hwnd; }

private:
    struct Graphic;
    void CreateControls();
    void Paint(void* dc);
    void InvalidateGraphic(int index);
    Graphic* FindGraphic(const std::string& name);
    const Graphic* FindGraphic(const std::string& name) const;
    void SetGraphicText(const std::string& name, const std::string& text);
    void Command(int id, int code);
    void Notify(void* header);
    template <class F> void Guard(F&& handler);
    void ShowError(const std::string& message);
    IShellServices& Shell();

    TMainFormSetup setup_;
    WindowHandle hwnd_ = nullptr;
    void* font_ = nullptr;        // HFONT
    void* background_ = nullptr;  // HBITMAP of "UI.bmp"
    void* imageList_ = nullptr;   // HIMAGELIST
    std::vector<Graphic> graphics_;
    std::vector<std::pair<std::string, WindowHandle>> controls_;
    std::unique_ptr<TListViewReport> rows_;
    // The scan, the commands and the master list; made by FormCreate.
    std::unique_ptr<TShortcutSweeper> sweeper_;
    std::unique_ptr<ILinkReader> ownReader_;
    void* helpMenu_ = nullptr;    // HMENU
    void* iconPictures_[3] = {};  // HBITMAPs of the info icons (32-bit, alpha), by TInfoIcon
    // The action list: one action per command, in TActionId order; the command buttons
    // follow their action's enabled state.
    TAction actions_[5];
    // The command buttons, then More and Help, in tab order.
    std::vector<std::unique_ptr<TsuiImageButton>> buttons_;
    bool enabled_[5] = {true, false, false, false, false};
    unsigned long long lastPump_ = 0; // tick of the last ProcessMessages that looked
};

// Runs the message loop, with an idle pass whenever the queue runs empty, until the window
// has been destroyed. Returns the exit code (0).
int RunMessageLoop(TMainForm& form);

// The system's hand cursor (HCURSOR), loaded once when the program starts.
void* HandPointCursor();
