// The main window and the About box at 100, 150 and 200%: every control's rectangle read back
// against the layout tables scaled, the fonts and the list's columns and row images scaled,
// and the command buttons showing the rendering of their pictures for the density.
//
// Wine takes the display density from HKCU\Control Panel\Desktop\LogPixels when a process
// starts. This process runs the window at the prefix's 96 dpi and drives WM_DPICHANGED;
// for 144 and 192 dpi it starts itself again as a child while LogPixels says so, and puts the
// value back as soon as the child has read it (so the Windows tests must not run in parallel
// in one prefix, which CTest does not do unless asked to).
#include "base/handles.h"
#include "pictures/pictures.h"
#include "platform/program_files.h"
#include "windows/about.h"
#include "windows/main_form.h"
#include "windows/main_form_layout.h"
#include "winkit/display_scale.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Set in the child's environment: the density it was started at.
const char kChildDpi[] = "SWEEPER_TEST_DPI";
// Signalled by the child once it has read its density.
const char kChildStarted[] = "SweeperDisplayScaleChildStarted";

std::string DistFolder() {
    std::string path = SWEEPER_DIST "/";
    if (path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void ExpectPlace(HWND parent, HWND child, const TBounds& expected, int heightSlack = 1) {
    ASSERT_TRUE(child);
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, expected.left, 1);
    EXPECT_NEAR(r.top, expected.top, 1);
    EXPECT_NEAR(r.right - r.left, expected.width, 1);
    EXPECT_NEAR(r.bottom - r.top, expected.height, heightSlack);
}

void ExpectClientSize(HWND window, TSize expected) {
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, expected.width);
    EXPECT_EQ(client.bottom, expected.height);
}

int FontHeight(HWND control) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font.lfHeight;
}

// The pixels that `draw` leaves on a w x h surface of 32 bits per pixel, without alpha.
template <class Draw> std::vector<std::uint32_t> Surface(int w, int h, Draw draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP surface = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, surface);
    draw(dc);
    ::GdiFlush();
    std::vector<std::uint32_t> pixels(static_cast<std::uint32_t*>(bits),
                                      static_cast<std::uint32_t*>(bits) + w * h);
    for (auto& p : pixels)
        p &= 0xFFFFFF;
    ::SelectObject(dc, old);
    ::DeleteObject(surface);
    ::DeleteDC(dc);
    return pixels;
}

std::vector<std::uint32_t> ButtonPixels(HWND button, int w, int h) {
    return Surface(w, h, [&](HDC dc) {
        ::SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

std::vector<std::uint32_t> ResourcePixels(int id, int w, int h) {
    return Surface(w, h, [&](HDC dc) {
        HBITMAP picture = static_cast<HBITMAP>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(source, picture);
        ::BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
        ::DeleteObject(picture);
    });
}

struct Window {
    std::vector<std::string> boxes;
    std::unique_ptr<TMainForm> form;

    Window() {
        TMainFormSetup setup;
        setup.title = "Sweeper Test";
        setup.programFolder = DistFolder();
        setup.messageBox = [this](WindowHandle, const std::string& text, const std::string&,
                                  unsigned) {
            boxes.push_back(text);
            return IDOK;
        };
        form = std::make_unique<TMainForm>(setup);
        form->Show();
        Drain();
    }
    ~Window() {
        form.reset();
        Drain();
    }
    void Drain() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (form && form->Exists())
            form->Idle();
    }
    HWND Handle() const { return form->Handle(); }
    // A control by its control id of the layout tables.
    HWND Control(int id) const { return ::GetDlgItem(form->Handle(), id); }
};

// The main window laid out for `dpi`: everything of the tables scaled, the pictures of the
// rendering for that density.
void ExpectMainWindowAt(const Window& w, int dpi) {
    SCOPED_TRACE("main window at " + std::to_string(dpi) + " dpi");
    HWND hwnd = w.Handle();
    EXPECT_EQ(w.form->Dpi(), dpi);
    EXPECT_TRUE(w.boxes.empty());
    ExpectClientSize(hwnd, Scale(TSize{kMainClientWidth, kMainClientHeight}, dpi));

    for (const TControlPlace& c : kMainControls) {
        SCOPED_TRACE(c.name);
        // A closed drop-down list is as high as its font's line allows; Wine's stand-in for
        // Tahoma makes it up to two pixels taller.
        ExpectPlace(hwnd, w.Control(c.id), Scale(c.bounds, dpi), c.id == kIdComboBoxShow ? 2 : 1);
        EXPECT_EQ(FontHeight(w.Control(c.id)), -Scale(kMainFontHeight, dpi));
    }
    for (const TButtonPlace& b : kMainButtons) {
        SCOPED_TRACE(b.name);
        ExpectPlace(hwnd, w.Control(b.id), Scale(b.bounds, dpi));
    }
    for (const TGraphic& g : MainFormGraphics()) {
        SCOPED_TRACE(g.name);
        TBounds b;
        ASSERT_TRUE(w.form->GraphicBounds(g.name, b));
        const TBounds expected = Scale(g.bounds, dpi);
        EXPECT_EQ(b.left, expected.left);
        EXPECT_EQ(b.top, expected.top);
        if (g.kind != TGraphic::Kind::Label) { // labels take their text's size
            EXPECT_EQ(b.width, expected.width);
            EXPECT_EQ(b.height, expected.height);
        }
    }
    HWND list = w.Control(kIdListViewFiles);
    for (std::size_t i = 0; i < kListColumns.size(); ++i)
        EXPECT_EQ(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0),
                  Scale(kListColumns[i].width, dpi));

    // The row images are the rendering's, 1:1; so are the pictures of a command button and
    // the help button where the rendering has the window's scale (between the renderings'
    // scales they are drawn scaled down to the places checked above).
    const int percent = PictureScale(dpi);
    const int renderingDpi = percent * kDesignDpi / 100;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(w.form->RowImages(), &cx, &cy);
    EXPECT_EQ(cx, Scale(16, renderingDpi));
    EXPECT_EQ(cy, Scale(16, renderingDpi));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              w.form->RowImages());
    if (renderingDpi != dpi)
        return;
    // Scan, the last command, and Help, the last button.
    for (const TButtonPlace& b : {kMainButtons[kCommands.size() - 1], kMainButtons.back()}) {
        SCOPED_TRACE(b.name);
        const TBounds at = Scale(b.bounds, dpi);
        ASSERT_TRUE(::IsWindowEnabled(w.Control(b.id)));
        EXPECT_TRUE(ButtonPixels(w.Control(b.id), at.width, at.height) ==
                    ResourcePixels(ScaledPictureId(b.firstPicture, percent), at.width, at.height))
            << "not the " << percent << "% rendering";
    }
}

// The help menu opens at the window's outer corner plus the help button's scaled place. The
// window goes to the screen's corner first: at 200% it is larger than the test's screen, and
// a menu is kept on the screen.
void ExpectHelpMenuAt(Window& w, int dpi) {
    ::SetWindowPos(w.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    static RECT menu;
    menu = RECT{-1, -1, -1, -1};
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND popup = ::FindWindowA("#32768", nullptr))
            ::GetWindowRect(popup, &menu);
        ::EndMenu();
    });
    ::SendMessageA(w.Control(kIdButtonHelp), BM_CLICK, 0, 0);
    ::KillTimer(nullptr, timer);
    RECT outer;
    ::GetWindowRect(w.Handle(), &outer);
    const TBounds help = Scale(kMainButtons.back().bounds, dpi);
    EXPECT_EQ(menu.left, outer.left + help.left + Scale(2, dpi));
    EXPECT_EQ(menu.top, outer.top + help.top + help.height);
}

void ExpectAboutBoxAt(const TFormAbout& box, int dpi) {
    SCOPED_TRACE("About box at " + std::to_string(dpi) + " dpi");
    HWND hwnd = box.Handle();
    ExpectClientSize(hwnd, Scale(TSize{375, 217}, dpi));
    ExpectPlace(hwnd, ::GetDlgItem(hwnd, IDOK), Scale(TBounds{280, 184, 81, 23}, dpi));
    EXPECT_EQ(FontHeight(::GetDlgItem(hwnd, IDOK)), -Scale(11, dpi));
    TBounds notice, web;
    ASSERT_TRUE(box.LabelBounds("LabelWarning", notice));
    EXPECT_EQ(notice, Scale(TBounds{16, 104, 345, 65}, dpi));
    ASSERT_TRUE(box.LabelBounds("LabelWeb", web));
    EXPECT_EQ(web.left, Scale(16, dpi));
    EXPECT_EQ(web.top, Scale(192, dpi));
}

// Sets HKCU\Control Panel\Desktop\LogPixels and puts the old value back when it goes.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = ::RegQueryValueExA(key_, "LogPixels", nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~LogPixels() {
        if (had_)
            Set(old_);
        else
            ::RegDeleteValueA(key_, "LogPixels");
        ::RegCloseKey(key_);
    }

private:
    void Set(DWORD dpi) {
        ::RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof dpi);
    }
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

// Runs this program's child tests at `dpi`; their output goes to ours. Returns the exit code.
DWORD RunChildAt(int dpi) {
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_brief=1";
    const TKernelHandle started(::CreateEventA(nullptr, TRUE, FALSE, kChildStarted));
    ::SetEnvironmentVariableA(kChildDpi, std::to_string(dpi).c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    BOOL created;
    {
        LogPixels density(static_cast<DWORD>(dpi));
        created = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &child);
        if (created)
            ::WaitForSingleObject(started.get(), 60000);
    }
    ::SetEnvironmentVariableA(kChildDpi, nullptr);
    if (!created)
        return static_cast<DWORD>(-1);
    const TKernelHandle process(child.hProcess), thread(child.hThread);
    ::WaitForSingleObject(process.get(), 120000);
    DWORD code = static_cast<DWORD>(-1);
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

int ChildDpi() {
    const char* dpi = std::getenv(kChildDpi);
    return dpi ? std::atoi(dpi) : 0;
}

// ---- In this process, at the prefix's 96 dpi ----

TEST(DisplayScale, TheWindowFollowsItsDisplaysDensity) {
    ASSERT_EQ(SystemDpi(), 96) << "the Wine prefix is not at 96 dpi";
    Window w;
    ExpectMainWindowAt(w, 96);

    // Moved to a display at 150%: the system suggests the new place, the window keeps its
    // fixed frame around the scaled client area.
    RECT suggested{40, 30, 900, 800};
    ::SendMessageA(w.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    w.Drain();
    ExpectMainWindowAt(w, 144);
    RECT outer;
    ::GetWindowRect(w.Handle(), &outer);
    EXPECT_EQ(outer.left, 40);
    EXPECT_EQ(outer.top, 30);
    ExpectHelpMenuAt(w, 144);

    // At 175%, between two renderings: the places are the table's, the pictures the 200%
    // ones scaled down to them.
    ::SendMessageA(w.Handle(), WM_DPICHANGED, MAKEWPARAM(168, 168),
                   reinterpret_cast<LPARAM>(&suggested));
    w.Drain();
    ExpectMainWindowAt(w, 168);

    // And back.
    suggested = RECT{10, 20, 500, 500};
    ::SendMessageA(w.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                   reinterpret_cast<LPARAM>(&suggested));
    w.Drain();
    ExpectMainWindowAt(w, 96);
    ExpectHelpMenuAt(w, 96);

    TFormAbout box(nullptr, "Sweeper", nullptr, SystemShellServices());
    ExpectAboutBoxAt(box, 96);
    ::SendMessageA(box.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                   reinterpret_cast<LPARAM>(&suggested));
    ExpectAboutBoxAt(box, 192);
}

// The UI.bmp beside the program is the shipped one, as the Windows program computes its
// fingerprint (the build's tool computed it on the build machine); the same bytes but one
// are another picture.
TEST(DisplayScale, TheBackgroundBesideTheProgramIsTheShippedOne) {
    std::string bytes = ReadSharedFile(DistFolder() + "UI.bmp");
    EXPECT_TRUE(IsShippedBackground(bytes));
    bytes[bytes.size() / 3] ^= 0x80;
    EXPECT_FALSE(IsShippedBackground(bytes));
}

TEST(DisplayScale, TheWindowStartsAt150And200Percent) {
    for (int dpi : {144, 192})
        EXPECT_EQ(RunChildAt(dpi), 0u) << "the child at " << dpi << " dpi failed";
}

// ---- In the child, at the density it was started with ----

TEST(AtStartDensity, WindowAndAboutBoxAreScaled) {
    const int dpi = ChildDpi();
    ASSERT_EQ(SystemDpi(), dpi) << "Wine did not take LogPixels";
    Window w;
    ExpectMainWindowAt(w, dpi);
    ExpectHelpMenuAt(w, dpi);
    TFormAbout box(nullptr, "Sweeper", nullptr, SystemShellServices());
    ExpectAboutBoxAt(box, dpi);
}

} // namespace

// A child runs only the tests of its start density; the parent runs the others.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const bool child = ChildDpi() != 0;
    if (child) {
        SystemDpi(); // read now, before the parent puts LogPixels back
        if (const TKernelHandle started{::OpenEventA(EVENT_MODIFY_STATE, FALSE, kChildStarted)})
            ::SetEvent(started.get());
    }
    std::string& filter = ::testing::GTEST_FLAG(filter);
    if (child)
        filter = "AtStartDensity.*";
    else
        filter += filter.find('-') == std::string::npos ? "-AtStartDensity.*" : ":AtStartDensity.*";
    return RUN_ALL_TESTS();
}
