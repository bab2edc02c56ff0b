#include "base/action.h"

#include <algorithm>

TAction::~TAction() {
    // Listeners may unsubscribe from inside the call; work on a copy.
    auto listeners = std::move(listeners_);
    listeners_.clear();
    for (auto& entry : listeners)
        entry.listener(*this, true);
}

bool TAction::Execute() {
    onUpdate_();
    if (!enabled_ || !onExecute_)
        return false;
    onExecute_();
    return true;
}

void TAction::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Changed();
}

void TAction::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Changed();
}

void TAction::SetCaption(const std::string& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    Changed();
}

int TAction::Subscribe(Listener listener) {
    int token = nextToken_++;
    listeners_.push_back({token, std::move(listener)});
    return token;
}

void TAction::Unsubscribe(int token) {
    listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                    [token](const Entry& e) { return e.token == token; }),
                     listeners_.end());
}

void TAction::Changed() {
    // A listener may unsubscribe (or subscribe) while being told; call by token.
    std::vector<int> tokens;
    for (const auto& entry : listeners_)
        tokens.push_back(entry.token);
    for (int token : tokens) {
        auto it = std::find_if(listeners_.begin(), listeners_.end(),
                               [token](const Entry& e) { return e.token == token; });
        if (it != listeners_.end()) {
            Listener copy = it->listener;
            copy(*this, false);
        }
    }
}
