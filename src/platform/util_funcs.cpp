#include "platform/util_funcs.h"

void TBusyCounter::Begin() {
    ++count_;
    Set(crHourGlass);
}

void TBusyCounter::End() {
    if (count_ <= 0)
        return;
    if (--count_ == 0)
        Set(crDefault);
}

void TBusyCounter::Set(int value) {
    value_ = value;
    if (cursor_)
        cursor_->SetCursor(value);
}
