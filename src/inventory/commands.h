// The window's commands as one table: each row is a command's id, its action and button
// names, the button's place and pictures, what screen readers call it, the handler that
// runs it and the rule that enables it. The sweeper runs and enables the commands from it,
// the window makes and binds their buttons from it, and the tests read it back. A new
// command is a row here plus its handler in TShortcutSweeper.
//
// The actions live in the action list (TActionList) that the sweeper owns: the one place
// that holds a command's enabled state, which the buttons bound to an action follow.
#pragma once

#include "base/action.h"
#include "base/geometry.h"

#include <array>
#include <cstddef>
#include <string_view>

class TShortcutSweeper;

// In the order of the action list. ("Selectnone" is spelled so in the window's names.)
enum class TActionId { ScanShortcuts, Properties, SelectInvalid, Selectnone, Delete, Repair };
inline constexpr int kActionCount = 6;

// What the enabled rules look at: counts over the rows shown, and the highlighted rows.
struct TCommandStatus {
    int total = 0, invalid = 0, checked = 0, selected = 0;
    int checkedInvalid = 0; // checked rows whose target is not there
};

struct TCommand {
    TActionId id;
    const char* action;         // "ActionScanShortcuts"
    const char* button;         // "suiImageButtonScanShortcuts"
    const char* accessibleName; // what screen readers call the button: the words it shows
    TBounds bounds;             // the button's place in the window at 96 dots per inch
    int firstPicture;           // resource id of its normal picture; +1..+3 the others
    void (TShortcutSweeper::*execute)();
    bool (*enabled)(const TCommandStatus& status);
};

// The commands, in the buttons' tab order (which is not the action list's).
extern const std::array<TCommand, kActionCount> kCommands;

// The window's action list: one action per command, indexed by TActionId, and the update
// event that each action runs right before it executes and that every idle pass runs once:
// one run sets the enabled state of every action. Scan starts enabled, the row commands
// disabled (there are no rows yet).
class TActionList {
public:
    TActionList();
    TActionList(const TActionList&) = delete;
    TActionList& operator=(const TActionList&) = delete;

    TAction& operator[](TActionId id) { return actions_[static_cast<std::size_t>(id)]; }
    const TAction& operator[](TActionId id) const { return actions_[static_cast<std::size_t>(id)]; }

    // The update event (ActionListUpdate).
    void SetOnUpdate(TNotifyEvent handler);
    // One idle pass: the update event, once.
    void Update();

private:
    std::array<TAction, kActionCount> actions_;
    TNotifyEvent onUpdate_;
};
