// What the inventory needs of the main window: texts, icons, counters, the questions and
// warnings it puts to the user, and a way to process pending window messages during a scan.
#pragma once

#include "base/handles.h"

#include <string>

enum class TInfoIcon { Info, Good, Error };

class IMainView {
public:
    virtual ~IMainView() = default;
    // Owner of the dialogs the commands open.
    virtual WindowHandle Handle() = 0;
    virtual void SetInfoText(const std::string& text) = 0;   // LabelInfo
    virtual void SetStatusText(const std::string& text) = 0; // LabelSta
    // Shows exactly this one of the three info-panel icons.
    virtual void ShowInfoIcon(TInfoIcon icon) = 0;
    virtual void SetCounters(int total, int invalid, int checked) = 0;
    // A modal question with Yes and No, captioned with the application title; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // A modal warning with OK, captioned with the application title.
    virtual void Warn(const std::string& text) = 0;
    // Handles every pending window message, then returns.
    virtual void ProcessMessages() = 0;
};
