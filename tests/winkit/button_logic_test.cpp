#include "winkit/button_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the logic asks of its window.
struct FakeHost : IButtonHost {
    int repaints = 0;
    int timerStarts = 0, timerStops = 0, lastPeriod = -1;
    bool timerRunning = false;
    bool canFocus = true, focusWorks = true, hasParent = true;
    int focusRequests = 0;
    std::vector<int> modalResults;

    void Repaint() override { ++repaints; }
    void StartRepeatTimer(int periodMs) override {
        ++timerStarts;
        lastPeriod = periodMs;
        timerRunning = true;
    }
    void StopRepeatTimer() override {
        ++timerStops;
        timerRunning = false;
    }
    bool CanFocus() override { return canFocus; }
    bool TakeFocus() override {
        ++focusRequests;
        return focusWorks;
    }
    bool HasParent() override { return hasParent; }
    void SetParentModalResult(int result) override { modalResults.push_back(result); }
};

struct ButtonLogicTest : ::testing::Test {
    FakeHost host;
    TButtonLogic button{host};
    int clicks = 0;
    static constexpr int W = 86, H = 77;

    void SetUp() override {
        button.OnClick = [this] { ++clicks; };
    }
    void Press() { button.MouseDown(TMouseButton::Left, 10, 10); }
    void Release(int x = 10, int y = 10) { button.MouseUp(TMouseButton::Left, x, y, W, H); }
};

} // namespace

TEST(ButtonPictureTest, FallsBackToNormalAndDrawsNothingWithoutIt) {
    TButtonPicture out = TButtonPicture::Disabled;
    const bool all[4] = {true, true, true, true};
    const bool onlyNormal[4] = {true, false, false, false};
    const bool noNormal[4] = {false, true, true, true};
    const bool none[4] = {false, false, false, false};
    for (auto p : {TButtonPicture::Normal, TButtonPicture::MouseOn, TButtonPicture::MouseDown,
                   TButtonPicture::Disabled}) {
        ASSERT_TRUE(ResolveButtonPicture(p, all, out));
        EXPECT_EQ(out, p);
        ASSERT_TRUE(ResolveButtonPicture(p, onlyNormal, out));
        EXPECT_EQ(out, TButtonPicture::Normal);
        EXPECT_FALSE(ResolveButtonPicture(p, none, out));
    }
    EXPECT_FALSE(ResolveButtonPicture(TButtonPicture::Normal, noNormal, out));
    ASSERT_TRUE(ResolveButtonPicture(TButtonPicture::MouseOn, noNormal, out));
    EXPECT_EQ(out, TButtonPicture::MouseOn);
}

TEST(ButtonPictureTest, CaptionAccelerators) {
    EXPECT_TRUE(IsCaptionAccelerator('s', "&Scan"));
    EXPECT_TRUE(IsCaptionAccelerator('S', "&scan"));
    EXPECT_TRUE(IsCaptionAccelerator('c', "S&can"));
    EXPECT_FALSE(IsCaptionAccelerator('s', "Scan"));
    EXPECT_FALSE(IsCaptionAccelerator('&', "A && B"));
    EXPECT_TRUE(IsCaptionAccelerator('b', "A && &B"));
    EXPECT_FALSE(IsCaptionAccelerator('x', "Trailing&"));
    EXPECT_FALSE(IsCaptionAccelerator('x', ""));
}

TEST_F(ButtonLogicTest, HotAndPressedPictures) {
    int enters = 0, exits = 0;
    button.OnMouseEnter = [&] { ++enters; };
    button.OnMouseExit = [&] { ++exits; };
    button.MouseEnter();
    EXPECT_EQ(button.StatePicture(), TButtonPicture::MouseOn);
    Press();
    EXPECT_EQ(button.StatePicture(), TButtonPicture::MouseDown);
    Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.StatePicture(), TButtonPicture::MouseOn);
    button.MouseLeave();
    EXPECT_EQ(button.StatePicture(), TButtonPicture::Normal);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 1);
}

TEST_F(ButtonLogicTest, DragOutAndReleaseOutsideDoesNotClick) {
    button.MouseEnter();
    Press();
    ASSERT_TRUE(host.timerRunning);
    button.MouseMove(W + 1, 10, W, H); // outside: back to normal, timer still there
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.Hot());
    EXPECT_EQ(button.StatePicture(), TButtonPicture::Normal);
    EXPECT_TRUE(button.RepeatTimerExists());
    Release(W + 1, 10);
    EXPECT_EQ(clicks, 0);
    // The press is over: its timer must not keep ticking with the button up.
    EXPECT_FALSE(button.RepeatTimerExists());
    EXPECT_FALSE(host.timerRunning);
}

TEST_F(ButtonLogicTest, EdgesOfTheButtonCountAsInside) {
    Press();
    button.MouseMove(W, H, W, H);
    EXPECT_TRUE(button.Pressed());
    button.MouseMove(-1, 0, W, H);
    EXPECT_FALSE(button.Pressed());
    Press();
    button.MouseMove(0, -1, W, H);
    EXPECT_FALSE(button.Pressed());
    Press();
    Release(W, H);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonLogicTest, PointerLeavingEndsThePressAndItsTimer) {
    button.MouseEnter();
    Press();
    button.MouseLeave();
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.RepeatTimerExists());
    EXPECT_EQ(host.timerStops, 1);
    // Back in and released over the button: a click, and no second timer stop.
    button.MouseEnter();
    Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(host.timerStops, 1);
}

TEST_F(ButtonLogicTest, RepeatTimerLivesOnlyWhileHeld) {
    int ticks = 0;
    button.OnMouseContinuouslyDown = [&] { ++ticks; };
    button.RepeatTimerTick(); // no press: nothing
    EXPECT_EQ(ticks, 0);
    Press();
    Press(); // a second press while held makes no second timer
    EXPECT_EQ(host.timerStarts, 1);
    EXPECT_EQ(host.lastPeriod, 100);
    button.RepeatTimerTick();
    button.RepeatTimerTick();
    EXPECT_EQ(ticks, 2);
    Release();
    EXPECT_FALSE(host.timerRunning);
    button.RepeatTimerTick();
    EXPECT_EQ(ticks, 2);

    Press();
    button.CancelMode();
    EXPECT_FALSE(host.timerRunning);
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.Hot());
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonLogicTest, ZeroOrNegativePeriodNeverTicks) {
    int ticks = 0;
    button.OnMouseContinuouslyDown = [&] { ++ticks; };
    for (int period : {0, -5}) {
        button.SetMouseContinuouslyDownInterval(period);
        Press();
        EXPECT_TRUE(button.RepeatTimerExists());
        button.RepeatTimerTick();
        Release();
    }
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(host.timerStarts, 0);
}

TEST_F(ButtonLogicTest, DestroyedWhileHeldStopsTheTimer) {
    FakeHost h;
    {
        TButtonLogic held(h);
        held.MouseDown(TMouseButton::Left, 1, 1);
        ASSERT_TRUE(h.timerRunning);
    }
    EXPECT_FALSE(h.timerRunning);
}

TEST_F(ButtonLogicTest, LeftPressTakesFocusOnlyWhenItMay) {
    Press();
    EXPECT_EQ(host.focusRequests, 1);
    Release();
    host.focusWorks = false; // a failure is ignored
    Press();
    EXPECT_TRUE(button.Pressed());
    Release();
    button.SetTabStop(false);
    Press();
    Release();
    button.SetTabStop(true);
    host.canFocus = false;
    Press();
    Release();
    EXPECT_EQ(host.focusRequests, 2);
    EXPECT_EQ(clicks, 4);
}

TEST_F(ButtonLogicTest, OtherMouseButtonsOnlyRaiseTheirEvents) {
    std::vector<TMouseButton> downs, ups;
    button.OnMouseDown = [&](TMouseButton b, int, int) { downs.push_back(b); };
    button.OnMouseUp = [&](TMouseButton b, int, int) { ups.push_back(b); };
    button.MouseDown(TMouseButton::Right, 5, 5);
    button.MouseUp(TMouseButton::Right, 5, 5, W, H);
    EXPECT_FALSE(button.Pressed());
    EXPECT_FALSE(button.RepeatTimerExists());
    EXPECT_EQ(clicks, 0);
    Press();
    Release();
    EXPECT_EQ(downs, (std::vector<TMouseButton>{TMouseButton::Right, TMouseButton::Left}));
    EXPECT_EQ(ups, (std::vector<TMouseButton>{TMouseButton::Right, TMouseButton::Left}));
}

TEST_F(ButtonLogicTest, DoubleClickIsTwoClicks) {
    Press();
    Release();
    Press();
    Release();
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonLogicTest, SpaceAndEnterClickOnReleaseWhenFocused) {
    for (unsigned key : {kKeySpace, kKeyEnter}) {
        button.KeyDown(key); // not focused: nothing
        EXPECT_FALSE(button.Pressed());
        button.FocusChanged(true);
        button.KeyDown(key);
        EXPECT_EQ(button.StatePicture(), TButtonPicture::MouseDown);
        EXPECT_EQ(clicks, 0);
        button.KeyUp(key);
        EXPECT_FALSE(button.Pressed());
        EXPECT_EQ(clicks, 1);
        button.KeyUp(key); // a release without a press does nothing
        EXPECT_EQ(clicks, 1);
        clicks = 0;
        button.FocusChanged(false);
    }
    button.FocusChanged(true);
    button.KeyDown('A');
    button.KeyUp('A');
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonLogicTest, DisabledButtonIgnoresInputAndRecovers) {
    button.MouseEnter();
    button.FocusChanged(true);
    button.SetEnabled(false);
    EXPECT_EQ(button.StatePicture(), TButtonPicture::Disabled);
    Press();
    Release();
    button.KeyDown(kKeySpace);
    button.KeyUp(kKeySpace);
    button.SetDefault(true);
    EXPECT_FALSE(button.DialogKey(kKeyEnter, false, false, false));
    EXPECT_EQ(clicks, 0);
    button.SetEnabled(true);
    EXPECT_EQ(button.StatePicture(), TButtonPicture::MouseOn); // pointer still over it
}

TEST_F(ButtonLogicTest, DisablingWhileHeldEndsThePress) {
    Press();
    button.SetEnabled(false);
    EXPECT_FALSE(host.timerRunning);
    button.SetEnabled(true);
    EXPECT_EQ(button.StatePicture(), TButtonPicture::Normal);
}

TEST_F(ButtonLogicTest, DialogKeys) {
    // Enter: only the active button, which follows Default on creation and focus moves.
    EXPECT_FALSE(button.DialogKey(kKeyEnter, false, false, false));
    button.SetDefault(true);
    button.WindowCreated();
    EXPECT_TRUE(button.Active());
    EXPECT_FALSE(button.DialogKey(kKeyEnter, true, false, false));
    EXPECT_FALSE(button.DialogKey(kKeyEnter, false, true, false));
    EXPECT_FALSE(button.DialogKey(kKeyEnter, false, false, true));
    EXPECT_TRUE(button.DialogKey(kKeyEnter, false, false, false));
    EXPECT_EQ(clicks, 1);
    host.canFocus = false;
    EXPECT_FALSE(button.DialogKey(kKeyEnter, false, false, false));
    host.canFocus = true;
    // Escape: only with Cancel.
    EXPECT_FALSE(button.DialogKey(kKeyEscape, false, false, false));
    button.SetCancel(true);
    EXPECT_TRUE(button.DialogKey(kKeyEscape, false, false, false));
    EXPECT_FALSE(button.DialogKey(kKeySpace, false, false, false));
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonLogicTest, CaptionAcceleratorNeedsAltOrFocusOnAButton) {
    button.SetCaption("&Scan");
    EXPECT_FALSE(button.Accelerator('s', false, false, true));
    EXPECT_TRUE(button.Accelerator('s', true, false, true));
    EXPECT_TRUE(button.Accelerator('S', false, true, true));
    EXPECT_FALSE(button.Accelerator('s', true, false, false)); // parent disabled
    EXPECT_FALSE(button.Accelerator('x', true, false, true));
    button.SetVisible(false);
    EXPECT_FALSE(button.Accelerator('s', true, false, true));
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonLogicTest, ClickCopiesModalResultWhenParented) {
    button.SetModalResult(2);
    button.Click();
    host.hasParent = false;
    button.Click();
    EXPECT_EQ(host.modalResults, std::vector<int>{2});
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonLogicTest, ClickRuleChoosesBetweenHandlerAndAction) {
    int executed = 0;
    TAction action([&] { ++executed; });
    button.SetAction(&action);
    button.Click(); // own click handler differs from the action's: the handler runs
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(executed, 0);
    button.OnClick = action.OnExecute(); // the very same handler: the action executes
    button.Click();
    EXPECT_EQ(executed, 1);
    button.OnClick = {};
    button.Click(); // no handler: the action
    EXPECT_EQ(executed, 2);
    action.SetEnabled(false); // the button follows; an explicit Click runs the action,
    button.Click();           // which refuses while disabled
    EXPECT_EQ(executed, 2);
    button.SetAction(nullptr);
    button.Click(); // neither: nothing, and no crash
    EXPECT_EQ(executed, 2);
}

TEST_F(ButtonLogicTest, ButtonFollowsItsAction) {
    TAction action;
    action.SetEnabled(false);
    action.SetCaption("Scan");
    button.SetAction(&action);
    EXPECT_FALSE(button.Enabled());
    EXPECT_EQ(button.Caption(), "Scan");
    action.SetEnabled(true);
    action.SetVisible(false);
    action.SetCaption("");
    EXPECT_TRUE(button.Enabled());
    EXPECT_FALSE(button.Visible());
    EXPECT_EQ(button.Caption(), "");
    // Unbound: the action's changes no longer reach the button.
    button.SetAction(nullptr);
    action.SetEnabled(false);
    EXPECT_TRUE(button.Enabled());
}

TEST(ButtonActionLifetimeTest, EitherSideMayGoFirst) {
    FakeHost host;
    auto action = std::make_unique<TAction>();
    {
        TButtonLogic first(host);
        first.SetAction(action.get());
    } // button gone first: the action must not call it again
    action->SetEnabled(false);

    TButtonLogic second(host);
    second.SetAction(action.get());
    action.reset(); // action gone first: the button forgets it
    EXPECT_EQ(second.Action(), nullptr);
    second.Click();
}

TEST(ActionTest, ExecuteUpdatesFirstAndRespectsEnabled) {
    std::vector<std::string> log;
    TAction action;
    EXPECT_FALSE(action.Execute()); // no handler
    action.SetOnExecute([&] { log.push_back("execute"); });
    action.SetOnUpdate([&] { log.push_back("update"); });
    EXPECT_TRUE(action.Execute());
    // The update hook may disable the action right before it would run.
    action.SetOnUpdate([&] {
        log.push_back("update");
        action.SetEnabled(false);
    });
    EXPECT_FALSE(action.Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"update", "execute", "update"}));
}

TEST(ActionTest, ListenersHearRealChangesAndMayLeaveWhileTold) {
    TAction action;
    int a = 0, b = 0;
    int tokenA = 0;
    tokenA = action.Subscribe([&](const TAction&, bool) {
        ++a;
        action.Unsubscribe(tokenA);
    });
    action.Subscribe([&](const TAction&, bool) { ++b; });
    action.SetEnabled(true); // unchanged: nobody is told
    EXPECT_EQ(a + b, 0);
    action.SetEnabled(false);
    action.SetCaption("x");
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST(NotifyEventTest, IdentityFollowsCopies) {
    int n = 0;
    TNotifyEvent e([&] { ++n; });
    TNotifyEvent copy = e;
    TNotifyEvent other([&] { ++n; });
    EXPECT_TRUE(e == copy);
    EXPECT_FALSE(e == other);
    TNotifyEvent empty;
    EXPECT_FALSE(static_cast<bool>(empty));
    empty(); // calling an empty event does nothing
    copy();
    EXPECT_EQ(n, 1);
}
