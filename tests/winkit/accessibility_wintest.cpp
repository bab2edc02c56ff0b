// The main window for screen readers and the keyboard, under Wine: the image buttons' names,
// roles, states and default action read back through oleacc as a screen reader reads them,
// the painted texts readable as text, and the keyboard focus at start, after Tab and after
// the window was inactive.
#include "base/com_ref.h"
#include "base/text.h"
#include "support/shell_link_win32.h"
#include "support/temp_dir.h"
#include "windows/main_form.h"
#include "windows/main_form_layout.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const VARIANT kSelf = [] {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}();

std::string Narrow(BSTR text) { return NarrowUtf8(std::wstring_view(text, ::SysStringLen(text))); }

// What a screen reader learns of a window's client object.
struct Seen {
    bool answered = false;
    std::string name, defaultAction;
    long role = 0, state = 0;
};
Seen Read(HWND window) {
    Seen seen;
    ComRef<IAccessible> object;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                            IID_PPV_ARGS(object.out()))) ||
        !object)
        return seen;
    seen.answered = true;
    BSTR text = nullptr;
    if (object->get_accName(kSelf, &text) == S_OK)
        seen.name = Narrow(text);
    ::SysFreeString(std::exchange(text, nullptr));
    if (object->get_accDefaultAction(kSelf, &text) == S_OK)
        seen.defaultAction = Narrow(text);
    ::SysFreeString(text);
    VARIANT v;
    ::VariantInit(&v);
    if (SUCCEEDED(object->get_accRole(kSelf, &v)) && v.vt == VT_I4)
        seen.role = v.lVal;
    if (SUCCEEDED(object->get_accState(kSelf, &v)) && v.vt == VT_I4)
        seen.state = v.lVal;
    return seen;
}

bool DoDefaultAction(HWND window) {
    ComRef<IAccessible> object;
    return SUCCEEDED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                  IID_PPV_ARGS(object.out()))) &&
           SUCCEEDED(object->accDoDefaultAction(kSelf));
}

std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

class Accessibility : public ::testing::Test {
protected:
    TComApartment com;
    TempDir program; // no settings and no background: their error boxes are answered unseen
    std::unique_ptr<TMainForm> form;

    void SetUp() override {
        TMainFormSetup setup;
        setup.title = "Sweeper Test";
        setup.programFolder = program.Folder();
        setup.messageBox = [](WindowHandle, const std::string&, const std::string&, unsigned) {
            return IDOK;
        };
        form = std::make_unique<TMainForm>(setup);
        form->Show();
        Pump();
    }
    void TearDown() override {
        form.reset();
        Pump();
    }
    // What the message loop does: pending messages with the window's key handling, then
    // the idle pass.
    void Pump() {
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) {
            if (msg.message != WM_QUIT && !(form && form->PreTranslate(&msg))) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (form && form->Exists())
            form->Idle();
    }
    HWND Main() { return form->Handle(); }
};

TEST_F(Accessibility, ImageButtonsTellNameRoleAndStateAndPressOnRequest) {
    const struct {
        TsuiImageButton* control;
        const char* name;
        bool enabled; // at start, with no rows and no settings
    } buttons[] = {
        {form->suiImageButtonProperties, "Properties", false},
        {form->suiImageButtonSelectInvalid, "Select invalid", false},
        {form->suiImageButtonSelectnone, "Select none", false},
        {form->suiImageButtonDelete, "Delete", false},
        {form->suiImageButtonScanShortcuts, "Scan Shortcuts", true},
        {form->suiImageButtonMore, "More free tools", false}, // its link is empty
        {form->ButtonHelp, "Help", true},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.name);
        ASSERT_TRUE(b.control);
        HWND button = b.control->Handle();
        ASSERT_TRUE(button);
        EXPECT_EQ(WindowText(button), b.name);
        EXPECT_EQ(::IsWindowEnabled(button) != FALSE, b.enabled);
        const Seen seen = Read(button);
        ASSERT_TRUE(seen.answered);
        EXPECT_EQ(seen.name, b.name);
        EXPECT_EQ(seen.role, ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ((seen.state & STATE_SYSTEM_UNAVAILABLE) != 0, !b.enabled);
        EXPECT_EQ(seen.defaultAction, "Press");
    }

    // The pressed state follows the mouse.
    HWND scan = form->suiImageButtonScanShortcuts->Handle();
    ::SendMessageA(scan, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(Read(scan).state & STATE_SYSTEM_PRESSED);
    ::SendMessageA(scan, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(Read(scan).state & STATE_SYSTEM_PRESSED);

    // "Press" posts the button a click (BM_CLICK, which clicks it when enabled): the command
    // runs after the screen reader's call has returned.
    HWND help = form->ButtonHelp->Handle();
    ASSERT_TRUE(DoDefaultAction(help));
    MSG click;
    EXPECT_TRUE(::PeekMessageA(&click, help, BM_CLICK, BM_CLICK, PM_REMOVE));
}

TEST_F(Accessibility, PaintedTextsAreReadableAndTheBoxesNamed) {
    const auto hidden = [&](const char* text) {
        HWND h = ::FindWindowExA(Main(), nullptr, "Static", text);
        EXPECT_TRUE(h) << text;
        EXPECT_FALSE(h && ::IsWindowVisible(h)) << text;
        return h;
    };
    // After the first idle pass.
    hidden("Total: 0");
    hidden("Invalid: 0");
    hidden("Selected: 0");
    form->SetInfoText("Location: C:\\Links\\");
    form->SetCounters(4, 2, 1);
    HWND info = hidden("Location: C:\\Links\\");
    hidden("Total: 4");
    hidden("Invalid: 2");
    hidden("Selected: 1");
    EXPECT_EQ(Read(info).name, "Location: C:\\Links\\");

    // The three boxes are named through the property service, which Wine's oleacc only
    // stubs: where the service works, the names read back.
    ComRef<IAccPropServices> service;
    const bool serviceWorks =
        // Not IID_PPV_ARGS: mingw-w64's oleacc.h gives IAccPropServices no uuid of its own.
        SUCCEEDED(ComCreate(CLSID_AccPropServices, IID_IAccPropServices,
                            reinterpret_cast<void**>(service.out()))) &&
        service->ClearHwndProps(Main(), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                &PROPID_ACC_NAME, 1) == S_OK;
    if (!serviceWorks)
        return;
    EXPECT_EQ(Read(form->ListViewFiles).name, "Shortcuts");
    EXPECT_EQ(Read(form->EditFilter).name, "Filter");
    EXPECT_EQ(Read(form->ComboBoxShow).name, "Show");
}

TEST_F(Accessibility, TheFocusStartsOnTheListAndComesBackWhenTheWindowIsActiveAgain) {
    EXPECT_EQ(::GetFocus(), form->ListViewFiles);
    // Tab moves on in the window's order.
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_EQ(::GetFocus(), form->EditFilter);

    // Another window takes the activation and gives it back, as when the user switches to
    // another program and back. (A hidden one: hiding a shown window costs Wine seconds.)
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
    const auto activate = [&](HWND window) {
        ::SetActiveWindow(window);
        Pump();
    };
    activate(other);
    EXPECT_NE(::GetFocus(), form->EditFilter);
    activate(Main());
    EXPECT_EQ(::GetFocus(), form->EditFilter);

    // A modal box of the window: the About box, opened from the help menu.
    HWND scan = form->suiImageButtonScanShortcuts->Handle();
    ::SetFocus(scan);
    static bool aboutShown;
    aboutShown = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND about = ::FindWindowA("TFormAbout", nullptr);
        if (about && ::GetActiveWindow() == about) {
            aboutShown = true;
            ::PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    });
    ::SendMessageA(Main(), WM_COMMAND, MAKEWPARAM(menuAbout, 0), 0);
    ::KillTimer(nullptr, timer);
    Pump();
    EXPECT_TRUE(aboutShown);
    EXPECT_EQ(::GetFocus(), scan);

    // A control that was disabled meanwhile does not get it back; the list does.
    activate(other);
    ::EnableWindow(scan, FALSE);
    activate(Main());
    EXPECT_EQ(::GetFocus(), form->ListViewFiles);
    ::DestroyWindow(other);
}

} // namespace
