#include "windows/action_list.h"

TActionList::TActionList() {
    for (TActionId id : {TActionId::Properties, TActionId::SelectInvalid, TActionId::Selectnone,
                         TActionId::Delete})
        (*this)[id].SetEnabled(false);
}

TAction& TActionList::operator[](TActionId id) {
    switch (id) {
    case TActionId::Properties:
        return ActionProperties;
    case TActionId::SelectInvalid:
        return ActionSelectInvalid;
    case TActionId::Selectnone:
        return ActionSelectnone;
    case TActionId::Delete:
        return ActionDelete;
    case TActionId::ScanShortcuts:
        break;
    }
    return ActionScanShortcuts;
}

const TAction& TActionList::operator[](TActionId id) const {
    return const_cast<TActionList&>(*this)[id];
}

void TActionList::SetOnUpdate(TNotifyEvent handler) {
    onUpdate_ = handler;
    for (int i = 0; i < kActionCount; ++i)
        (*this)[static_cast<TActionId>(i)].SetOnUpdate(handler);
}

void TActionList::Update() {
    for (int i = 0; i < kActionCount; ++i)
        onUpdate_();
}
