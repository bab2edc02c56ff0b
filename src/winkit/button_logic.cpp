#include "winkit/button_logic.h"

#include "base/text.h"

#include <algorithm>

bool ResolveButtonPicture(TButtonPicture wanted, const bool has[4], TButtonPicture& out) {
    const int index = static_cast<int>(wanted);
    if (has[index]) {
        out = wanted;
        return true;
    }
    if (wanted != TButtonPicture::Normal && has[0]) {
        out = TButtonPicture::Normal;
        return true;
    }
    return false;
}

bool IsCaptionAccelerator(char ch, const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') { // "&&": a literal ampersand
            ++i;
            continue;
        }
        return AsciiLower(caption[i + 1]) == AsciiLower(ch);
    }
    return false;
}

TButtonLogic::TButtonLogic(IButtonHost& host) : host_(host) {}

TButtonLogic::~TButtonLogic() {
    if (timer_) {
        timer_ = false;
        host_.StopRepeatTimer();
    }
    if (action_)
        action_->Unsubscribe(actionToken_);
}

bool TButtonLogic::Enabled() const { return enabled_; }

void TButtonLogic::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    if (!enabled_) {
        // A disabled button cannot stay held: a press that was under way ends here, so
        // re-enabling shows the normal (or mouse-over) picture, never a stale pressed one.
        pressed_ = false;
        if (timer_) {
            timer_ = false;
            host_.StopRepeatTimer();
        }
    }
    if (OnPropertiesChanged)
        OnPropertiesChanged();
    host_.Repaint();
}

bool TButtonLogic::Visible() const { return visible_; }

void TButtonLogic::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    if (OnPropertiesChanged)
        OnPropertiesChanged();
}

void TButtonLogic::SetDefault(bool on) {
    default_ = on;
    active_ = on;
}

void TButtonLogic::SetCaption(const std::string& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    if (OnPropertiesChanged)
        OnPropertiesChanged();
    host_.Repaint();
}

void TButtonLogic::SetAction(TAction* action) {
    if (action_ == action)
        return;
    if (action_)
        action_->Unsubscribe(actionToken_);
    action_ = action;
    actionToken_ = 0;
    if (!action_)
        return;
    actionToken_ = action_->Subscribe(
        [this](const TAction& a, bool destroyed) { FollowAction(a, destroyed); });
    FollowAction(*action_, false);
}

void TButtonLogic::FollowAction(const TAction& action, bool destroyed) {
    if (destroyed) {
        action_ = nullptr;
        actionToken_ = 0;
        return;
    }
    SetCaption(action.Caption());
    SetVisible(action.Visible());
    SetEnabled(action.Enabled());
}

TButtonPicture TButtonLogic::StatePicture() const {
    if (!enabled_)
        return TButtonPicture::Disabled;
    if (pressed_)
        return TButtonPicture::MouseDown;
    if (hot_)
        return TButtonPicture::MouseOn;
    return TButtonPicture::Normal;
}

void TButtonLogic::WindowCreated() { active_ = default_; }

void TButtonLogic::MouseEnter() {
    hot_ = true;
    host_.Repaint();
    OnMouseEnter();
}

void TButtonLogic::MouseLeave() {
    hot_ = false;
    pressed_ = false;
    if (timer_) {
        timer_ = false;
        host_.StopRepeatTimer();
    }
    host_.Repaint();
    OnMouseExit();
}

void TButtonLogic::MouseDown(TMouseButton button, int x, int y) {
    if (!enabled_)
        return;
    if (button == TMouseButton::Left) {
        pressed_ = true;
        if (!timer_) {
            timer_ = true;
            const int period = std::max(interval_, 0);
            if (period > 0)
                host_.StartRepeatTimer(period); // period 0: never ticks
        }
        if (tabStop_ && visible_ && host_.CanFocus())
            host_.TakeFocus(); // failure ignored
        host_.Repaint();
    }
    if (OnMouseDown)
        OnMouseDown(button, x, y);
}

void TButtonLogic::MouseMove(int x, int y, int width, int height) {
    if (!enabled_)
        return;
    if (x < 0 || y < 0 || x > width || y > height) {
        hot_ = false;
        pressed_ = false;
        host_.Repaint();
    }
    if (OnMouseMove)
        OnMouseMove(x, y);
}

void TButtonLogic::MouseUp(TMouseButton button, int x, int y, int width, int height) {
    if (!enabled_)
        return;
    const bool over = !(x < 0 || y < 0 || x > width || y > height);
    if (button == TMouseButton::Left) {
        if (over) {
            Click();
        } else if (pressed_ || timer_) {
            // Released elsewhere: the press is over even without a click, and so is its
            // repeat timer (it must not tick on with the button up).
            EndPress();
        }
    }
    if (OnMouseUp)
        OnMouseUp(button, x, y);
}

void TButtonLogic::RepeatTimerTick() {
    if (!timer_ || std::max(interval_, 0) == 0)
        return;
    OnMouseContinuouslyDown();
}

void TButtonLogic::KeyDown(unsigned key) {
    if ((key == kKeySpace || key == kKeyEnter) && focused_ && enabled_) {
        pressed_ = true;
        host_.Repaint();
    }
}

void TButtonLogic::KeyUp(unsigned key) {
    if ((key == kKeySpace || key == kKeyEnter) && focused_ && pressed_ && enabled_) {
        pressed_ = false;
        host_.Repaint();
        Click();
    }
}

bool TButtonLogic::DialogKey(unsigned key, bool shift, bool ctrl, bool alt) {
    if (shift || ctrl || alt)
        return false;
    const bool mine = (key == kKeyEnter && active_) || (key == kKeyEscape && cancel_);
    if (!mine || !enabled_ || !visible_ || !host_.CanFocus())
        return false;
    Click();
    return true;
}

bool TButtonLogic::Accelerator(char ch, bool altHeld, bool focusOnImageButton, bool parentEnabled) {
    if (!IsCaptionAccelerator(ch, caption_))
        return false;
    if (!(altHeld || focusOnImageButton) || !parentEnabled || !enabled_ || !visible_)
        return false;
    Click();
    return true;
}

void TButtonLogic::CancelMode() {
    hot_ = false;
    EndPress();
}

void TButtonLogic::FocusChanged(bool focused) {
    focused_ = focused;
    active_ = default_;
    host_.Repaint();
}

void TButtonLogic::EndPress() {
    pressed_ = false;
    if (timer_) {
        timer_ = false;
        host_.StopRepeatTimer();
    }
    host_.Repaint();
}

void TButtonLogic::Click() {
    // Ends the press; the repeat timer goes with it even when a drag outside had already
    // cleared the pressed state.
    if (pressed_ || timer_)
        EndPress();
    if (host_.HasParent())
        host_.SetParentModalResult(modalResult_);
    if (OnClick && action_ && !(action_->OnExecute() == OnClick)) {
        OnClick();
    } else if (action_) {
        action_->Execute();
    } else {
        OnClick();
    }
}
