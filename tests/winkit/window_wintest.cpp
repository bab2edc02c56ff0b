// The window base under Wine: the handle from the first message on, errors that never leave
// a window procedure, creation that fails cleanly, and windows that go before their objects.
#include "base/errors.h"
#include "winkit/image_button.h"
#include "winkit/window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A top-level window whose handlers do what the test says and which records its reports.
class Probe : public TWindow {
public:
    std::function<void(unsigned message)> onMessage;
    std::vector<std::string> reports;
    std::vector<WindowHandle> handlesSeen; // the handle the object had at each message
    int paints = 0;

    explicit Probe(std::function<void(unsigned)> handler = {}, WindowHandle owner = nullptr)
        : onMessage(std::move(handler)) {
        Create(kClass, {.text = "Probe",
                        .style = WS_OVERLAPPEDWINDOW,
                        .left = 10,
                        .top = 10,
                        .width = 200,
                        .height = 100,
                        .parent = owner});
    }
    ~Probe() override { DestroyHandle(); }
    void ReportError(const std::string& message) override { reports.push_back(message); }

    static constexpr TWindowClass kClass{"SweeperProbe", TWindowClass::Background::White};

private:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wp, std::intptr_t lp) override {
        handlesSeen.push_back(Handle());
        if (onMessage)
            onMessage(message);
        if (message == WM_PAINT) {
            ++paints;
            PAINTSTRUCT ps;
            ::BeginPaint(Handle(), &ps);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        if (message == WM_APP)
            return 42;
        return DefaultMessage(message, wp, lp);
    }
};

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

TEST(Window, KnowsItsHandleFromTheFirstMessageOn) {
    Probe probe;
    ASSERT_TRUE(probe.Handle());
    ASSERT_FALSE(probe.handlesSeen.empty());
    for (WindowHandle seen : probe.handlesSeen)
        EXPECT_EQ(seen, probe.Handle()); // WM_NCCALCSIZE and WM_CREATE included
    EXPECT_EQ(TWindow::FromHandle(probe.Handle()), &probe);
    EXPECT_EQ(TWindow::FromHandle(::GetDesktopWindow()), nullptr);
}

TEST(Window, AnErrorDuringCreationFailsItCleanlyAndIsRethrown) {
    for (unsigned failing : {static_cast<unsigned>(WM_NCCREATE), static_cast<unsigned>(WM_CREATE),
                             static_cast<unsigned>(WM_NCCALCSIZE)}) {
        SCOPED_TRACE(failing);
        try {
            Probe probe([failing](unsigned m) {
                if (m == failing)
                    throw EReadError("creation went wrong");
            });
            FAIL() << "no error";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "creation went wrong");
        }
        EXPECT_FALSE(::FindWindowA(Probe::kClass.name, nullptr)); // nothing left behind
    }
}

TEST(Window, AChildThatFailsInItsParentsCreationFailsTheParent) {
    struct Parent : TWindow {
        std::unique_ptr<TsuiImageButton> child;
        Parent() {
            Create(Probe::kClass, {.style = WS_OVERLAPPEDWINDOW, .width = 50, .height = 50});
        }
        std::intptr_t OnMessage(unsigned m, std::uintptr_t wp, std::intptr_t lp) override {
            if (m == WM_CREATE) {
                child = std::make_unique<TsuiImageButton>(Handle(), 0, 0);
                child->SetPictures(4242, 0, 0, 0); // no such picture
            }
            return DefaultMessage(m, wp, lp);
        }
    };
    try {
        Parent parent;
        ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
        EXPECT_NE(std::string(e.what()).find("4242"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(::FindWindowA(Probe::kClass.name, nullptr));
}

TEST(Window, AHandlerErrorIsReportedAndTheWindowGoesOn) {
    bool fail = true;
    Probe probe([&](unsigned m) {
        if (fail && (m == WM_COMMAND || m == WM_PAINT))
            throw Exception(m == WM_PAINT ? "paint failed" : "command failed");
    });
    HWND hwnd = probe.Handle();
    EXPECT_EQ(::SendMessageA(hwnd, WM_COMMAND, 1, 0), 0);
    EXPECT_EQ(probe.reports, std::vector<std::string>{"command failed"});

    // A failing paint is reported once: the window is validated, not painted again and again.
    ::ShowWindow(hwnd, SW_SHOW);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    Pump();
    Pump();
    EXPECT_EQ(probe.reports, (std::vector<std::string>{"command failed", "paint failed"}));
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(hwnd, &dirty, FALSE));

    // Whatever is thrown, not only the program's errors, stops at the window procedure.
    probe.onMessage = [](unsigned m) {
        if (m == WM_USER)
            throw 7;
    };
    ::SendMessageA(hwnd, WM_USER, 0, 0);
    EXPECT_EQ(probe.reports.back(), "An unknown error occurred.");

    fail = false;
    probe.onMessage = {};
    EXPECT_EQ(::SendMessageA(hwnd, WM_APP, 0, 0), 42);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    Pump();
    EXPECT_GE(probe.paints, 1);
}

TEST(Window, ErrorsOfChildrenAndOwnedWindowsReachTheRootOwner) {
    Probe root;
    TsuiImageButton button(root.Handle(), 0, 0);
    button.SetOnClick([] { throw Exception("click failed"); });
    ::SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(root.reports, std::vector<std::string>{"click failed"});

    struct Owned : TWindow {
        explicit Owned(WindowHandle owner) {
            Create(Probe::kClass, {.style = WS_POPUP, .width = 10, .height = 10, .parent = owner});
        }
        std::intptr_t OnMessage(unsigned m, std::uintptr_t wp, std::intptr_t lp) override {
            if (m == WM_APP)
                throw Exception("owned failed");
            return DefaultMessage(m, wp, lp);
        }
    } owned(root.Handle());
    ::SendMessageA(owned.Handle(), WM_APP, 0, 0);
    EXPECT_EQ(root.reports.back(), "owned failed");
}

TEST(Window, AWindowDestroyedFirstIsForgottenByItsObject) {
    Probe parent;
    auto button = std::make_unique<TsuiImageButton>(parent.Handle(), 0, 0);
    HWND child = button->Handle();
    ::DestroyWindow(parent.Handle());
    EXPECT_FALSE(parent.Exists());
    EXPECT_FALSE(button->Exists());
    EXPECT_FALSE(::IsWindow(child));
    EXPECT_EQ(TWindow::FromHandle(child), nullptr);
    button.reset(); // touches no handle
}

} // namespace
