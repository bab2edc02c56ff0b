// What the inventory needs of the main window: texts, icons, counters, command states,
// message boxes, and a way to process pending window messages during a scan.
#pragma once

#include "platform/shell_services.h"

#include <string>

enum class TInfoIcon { Info, Good, Error };

// The window's commands, in the order of its action list. ("Selectnone" is spelled so in
// the window's names.)
enum class TActionId { ScanShortcuts, Properties, SelectInvalid, Selectnone, Delete };
inline constexpr int kActionCount = 5;

class IMainView {
public:
    virtual ~IMainView() = default;
    // Owner of the dialogs the commands open.
    virtual WindowHandle Handle() = 0;
    // The application title: caption of the message boxes.
    virtual std::string Title() = 0;
    virtual void SetInfoText(const std::string& text) = 0;   // LabelInfo
    virtual void SetStatusText(const std::string& text) = 0; // LabelSta
    // Shows exactly this one of the three info-panel icons.
    virtual void ShowInfoIcon(TInfoIcon icon) = 0;
    virtual void SetCounters(int total, int invalid, int checked) = 0;
    // The commands' enabled states live in the view: Scan is enabled and the others
    // disabled until the first SetActionEnabled.
    virtual void SetActionEnabled(TActionId action, bool enabled) = 0;
    virtual bool ActionEnabled(TActionId action) = 0;
    // A modal message box with MessageBox flags (MB_YESNO | MB_ICONQUESTION is 36); returns
    // the button chosen (IDYES is 6).
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Handles every pending window message, then returns.
    virtual void ProcessMessages() = 0;
};
