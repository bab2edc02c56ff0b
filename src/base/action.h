// Commands as objects: an execute handler, an update hook and the enabled, visible and
// caption state that the buttons bound to the command follow. Toolkit-free.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A parameterless event handler with an identity. Two TNotifyEvent values are equal when
// they were copied from the same original, so a control can tell whether its click handler
// is the very handler its action executes.
class TNotifyEvent {
public:
    TNotifyEvent() = default;
    template <class F, class = std::enable_if_t<std::is_invocable_v<F&> &&
                                                !std::is_same_v<std::decay_t<F>, TNotifyEvent>>>
    TNotifyEvent(F f) : fn_(std::make_shared<const std::function<void()>>(std::move(f))) {}

    explicit operator bool() const { return fn_ && *fn_; }
    void operator()() const {
        if (*this)
            (*fn_)();
    }
    friend bool operator==(const TNotifyEvent& a, const TNotifyEvent& b) { return a.fn_ == b.fn_; }

private:
    std::shared_ptr<const std::function<void()>> fn_;
};

// One command. The buttons bound to it (TsuiImageButton::SetAction) take its enabled and
// visible state and its caption whenever they change. The action does not own its buttons
// and its buttons do not own it; whichever goes first detaches itself from the other.
class TAction {
public:
    TAction() = default;
    explicit TAction(TNotifyEvent onExecute) : onExecute_(std::move(onExecute)) {}
    TAction(const TAction&) = delete;
    TAction& operator=(const TAction&) = delete;
    ~TAction();

    // Runs OnUpdate (so the enabled state is fresh), then OnExecute when the action is
    // enabled. Returns true when OnExecute ran. An exception from a handler propagates.
    bool Execute();

    void SetOnExecute(TNotifyEvent handler) { onExecute_ = std::move(handler); }
    const TNotifyEvent& OnExecute() const { return onExecute_; }
    // Called right before every Execute; typically the owning list's update handler.
    void SetOnUpdate(TNotifyEvent handler) { onUpdate_ = std::move(handler); }
    const TNotifyEvent& OnUpdate() const { return onUpdate_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Change notification for the controls that follow the action. The listener runs
    // after every change of Enabled, Visible or Caption that alters the value, and once
    // with `destroyed` true when the action goes away. Returns a token for Unsubscribe.
    using Listener = std::function<void(const TAction& action, bool destroyed)>;
    int Subscribe(Listener listener);
    void Unsubscribe(int token);

private:
    void Changed();

    TNotifyEvent onExecute_, onUpdate_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string caption_;
    struct Entry {
        int token;
        Listener listener;
    };
    std::vector<Entry> listeners_;
    int nextToken_ = 1;
};
