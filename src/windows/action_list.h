// The main window's action list: its five commands and the update event that recomputes
// their enabled state. The actions are the one place that holds a command's enabled state;
// the buttons bound to them follow. Toolkit-free.
#pragma once

#include "inventory/main_view.h"
#include "winkit/action.h"

class TActionList {
public:
    // Scan starts enabled, the four row commands disabled (there are no rows yet).
    TActionList();
    TActionList(const TActionList&) = delete;
    TActionList& operator=(const TActionList&) = delete;

    // In the order of TActionId. ("Selectnone" is spelled so in the window's names.)
    TAction ActionScanShortcuts;
    TAction ActionProperties;
    TAction ActionSelectInvalid;
    TAction ActionSelectnone;
    TAction ActionDelete;

    TAction& operator[](TActionId id);
    const TAction& operator[](TActionId id) const;

    // The update event (the window's ActionListUpdate); each action also runs it right
    // before it executes.
    void SetOnUpdate(TNotifyEvent handler);
    // One idle pass: the update event once for each action bound to a button.
    void Update();

private:
    TNotifyEvent onUpdate_;
};
