// The image button's behaviour without a window system: the hot and pressed state, the
// repeat timer's lifetime, keyboard and dialog keys, the click rule and the choice of the
// state picture. The Win32 control (winkit/image_button.h) feeds it real messages; tests feed
// it directly.
#pragma once

#include "base/action.h"

#include <functional>
#include <string>

// The four pictures of an image button, in the order of their properties.
enum class TButtonPicture { Normal, MouseOn, MouseDown, Disabled };

enum class TMouseButton { Left, Right, Middle };

// Virtual-key codes the logic reacts to (the same values as the Win32 VK_ constants).
constexpr unsigned kKeyEnter = 0x0D;
constexpr unsigned kKeyEscape = 0x1B;
constexpr unsigned kKeySpace = 0x20;

// What the logic needs from the window it runs in.
class IButtonHost {
public:
    virtual ~IButtonHost() = default;
    // Draw the whole button again, now.
    virtual void Repaint() = 0;
    // The repeat timer: started with a period above 0 ms, stopped when the press ends.
    virtual void StartRepeatTimer(int periodMs) = 0;
    virtual void StopRepeatTimer() = 0;
    // The window could take the keyboard focus (it and its parents enabled and visible).
    virtual bool CanFocus() = 0;
    // Take the keyboard focus; false when that failed.
    virtual bool TakeFocus() = 0;
    virtual bool HasParent() = 0;
    // Copy a click's modal result into the window that contains the button.
    virtual void SetParentModalResult(int result) = 0;
};

// Mouse event arguments of the ordinary mouse events: button and client position.
using TMouseEvent = std::function<void(TMouseButton button, int x, int y)>;
using TMouseMoveEvent = std::function<void(int x, int y)>;

// Picks which of the four pictures fills the state bitmap. `has` tells which pictures hold
// an image, indexed by TButtonPicture. Normal falls back to nothing; the other three fall
// back to Normal. Returns false when nothing is to be drawn; `out` is then untouched.
bool ResolveButtonPicture(TButtonPicture wanted, const bool has[4], TButtonPicture& out);

// The caption accelerator rule: `caption` marks its accelerator with '&' ("&Scan"); "&&" is
// a literal ampersand. Letters compare without regard to ASCII case.
bool IsCaptionAccelerator(char ch, const std::string& caption);

class TButtonLogic {
public:
    explicit TButtonLogic(IButtonHost& host);
    TButtonLogic(const TButtonLogic&) = delete;
    TButtonLogic& operator=(const TButtonLogic&) = delete;
    // Frees the repeat timer if the button is held, and leaves its action.
    ~TButtonLogic();

    // --- properties (values of a new button in the comments) ---
    bool Enabled() const; // true; false also while the bound action is disabled
    void SetEnabled(bool enabled);
    bool Visible() const; // true
    void SetVisible(bool visible);
    bool TabStop() const { return tabStop_; } // true
    void SetTabStop(bool on) { tabStop_ = on; }
    bool Default() const { return default_; } // false
    void SetDefault(bool on);
    bool Cancel() const { return cancel_; } // false
    void SetCancel(bool on) { cancel_ = on; }
    int ModalResult() const { return modalResult_; } // 0
    void SetModalResult(int result) { modalResult_ = result; }
    int MouseContinuouslyDownInterval() const { return interval_; } // 100
    void SetMouseContinuouslyDownInterval(int ms) { interval_ = ms; }
    const std::string& Caption() const { return caption_; } // ""
    void SetCaption(const std::string& caption);

    // The bound action (not owned; nullptr for none). The button takes the action's
    // enabled state, visibility and caption now and whenever they change.
    TAction* Action() const { return action_; }
    void SetAction(TAction* action);

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter, OnMouseExit, OnMouseContinuouslyDown;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    // Runs after every change of Enabled, Visible or Caption (the window applies them).
    std::function<void()> OnPropertiesChanged;

    // --- state ---
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    bool RepeatTimerExists() const { return timer_; }
    bool Focused() const { return focused_; }
    // Reacts to Enter as a dialog key.
    bool Active() const { return active_; }
    // The picture the state asks for (before the fallback of ResolveButtonPicture).
    TButtonPicture StatePicture() const;

    // --- inputs, one per event of the window ---
    void WindowCreated(); // active := Default
    void MouseEnter();
    void MouseLeave();
    void MouseDown(TMouseButton button, int x, int y);
    // width and height: the button's client size, for the "pointer outside" test.
    void MouseMove(int x, int y, int width, int height);
    void MouseUp(TMouseButton button, int x, int y, int width, int height);
    void RepeatTimerTick();
    void KeyDown(unsigned key);
    void KeyUp(unsigned key);
    // Enter or Escape offered to every button of the window; true when the button clicked
    // and the key is consumed.
    bool DialogKey(unsigned key, bool shift, bool ctrl, bool alt);
    // A character offered as a caption accelerator; true when the button clicked.
    bool Accelerator(char ch, bool altHeld, bool focusOnImageButton, bool parentEnabled);
    void CancelMode();
    void FocusChanged(bool focused);

    // The click rule; also callable by the program.
    void Click();

private:
    void EndPress();
    void FollowAction(const TAction& action, bool destroyed);

    IButtonHost& host_;
    bool enabled_ = true, visible_ = true, tabStop_ = true, default_ = false, cancel_ = false;
    int modalResult_ = 0, interval_ = 100;
    std::string caption_;
    TAction* action_ = nullptr;
    int actionToken_ = 0;
    bool hot_ = false, pressed_ = false, timer_ = false, focused_ = false, active_ = false;
};
