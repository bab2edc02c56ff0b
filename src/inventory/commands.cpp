#include "inventory/commands.h"

#include "inventory/sweeper.h"
#include "pictures/pictures.h"

namespace {

bool Always(const TCommandStatus&) { return true; }
bool AnySelected(const TCommandStatus& s) { return s.selected > 0; }
bool AnyInvalid(const TCommandStatus& s) { return s.invalid > 0; }
bool AnyChecked(const TCommandStatus& s) { return s.checked > 0; }
bool AnyCheckedInvalid(const TCommandStatus& s) { return s.checkedInvalid > 0; }

} // namespace

constexpr std::array<TCommand, kActionCount> kCommands{{
    {TActionId::Properties,
     "ActionProperties",
     "suiImageButtonProperties",
     "Properties",
     {24, 400, 86, 77},
     IDB_PROPERTIES_NORMAL,
     &TShortcutSweeper::ActionPropertiesExecute,
     AnySelected},
    {TActionId::Selectnone,
     "ActionSelectnone",
     "suiImageButtonSelectnone",
     "Select none",
     {216, 400, 86, 77},
     IDB_SELECTNONE_NORMAL,
     &TShortcutSweeper::ActionSelectnoneExecute,
     AnyChecked},
    {TActionId::SelectInvalid,
     "ActionSelectInvalid",
     "suiImageButtonSelectInvalid",
     "Select invalid",
     {120, 400, 86, 77},
     IDB_SELECTINVALID_NORMAL,
     &TShortcutSweeper::ActionSelectInvalidExecute,
     AnyInvalid},
    {TActionId::Delete,
     "ActionDelete",
     "suiImageButtonDelete",
     "Delete",
     {312, 400, 86, 77},
     IDB_DELETE_NORMAL,
     &TShortcutSweeper::ActionDeleteExecute,
     AnyChecked},
    {TActionId::Repair,
     "ActionRepair",
     "suiImageButtonRepair",
     "Repair",
     {408, 400, 86, 77},
     IDB_REPAIR_NORMAL,
     &TShortcutSweeper::ActionRepairExecute,
     AnyCheckedInvalid},
    // Never disabled.
    {TActionId::ScanShortcuts,
     "ActionScanShortcuts",
     "suiImageButtonScanShortcuts",
     "Scan Shortcuts",
     {672, 400, 86, 77},
     IDB_SCANSHORTCUTS_NORMAL,
     &TShortcutSweeper::ActionScanShortcutsExecute,
     Always},
}};

namespace {

// Every command has exactly one row.
constexpr bool OneRowEach() {
    for (int id = 0; id < kActionCount; ++id) {
        int rows = 0;
        for (const TCommand& command : kCommands)
            rows += static_cast<int>(command.id) == id ? 1 : 0;
        if (rows != 1)
            return false;
    }
    return true;
}
} // namespace

static_assert(OneRowEach(), "kCommands needs one row per TActionId");

TActionList::TActionList() {
    const TCommandStatus none;
    for (const TCommand& command : kCommands)
        (*this)[command.id].SetEnabled(command.enabled(none));
}

void TActionList::SetOnUpdate(TNotifyEvent handler) {
    onUpdate_ = handler;
    for (TAction& action : actions_)
        action.SetOnUpdate(handler);
}

void TActionList::Update() { onUpdate_(); }
