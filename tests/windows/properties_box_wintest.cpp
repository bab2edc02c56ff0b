// The program's own Properties box under Wine: shortcut files built byte by byte with every
// field, with none, and with text outside ASCII, read back from the box's controls; its keys;
// its frame at two densities.
#include "lnk/lnk_builder.h"
#include "support/temp_dir.h"
#include "windows/properties_box.h"
#include "winkit/display_scale.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace lnkb;

namespace {

std::string Utf8Of(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class PropertiesBox : public ::testing::Test {
protected:
    TempDir dir;
    // The shortcut written as `name` in the temporary folder; its path in the program's form.
    std::string Write(const std::string& name, const Link& link) {
        dir.WriteFile(name, Utf8Of(link.Build()));
        return dir.Native(name);
    }
    static std::string Caption(const TFormProperties& box) {
        char text[256] = {};
        ::GetWindowTextA(box.Handle(), text, sizeof text);
        return text;
    }
};

TEST_F(PropertiesBox, EveryFieldSetIsShownAsTheSheetShowsIt) {
    Link l;
    l.linkInfo = LinkInfo({"C:\\Program Files\\Tool\\tool.exe"});
    l.strings = {u"Starts the tool", u"..\\Tool\\tool.exe", u"C:\\Work", u"--fast",
                 u"C:\\Icons\\tool.ico"};
    l.iconIndex = 2;
    l.showCommand = 3; // maximised
    l.hotKey = 0x0654; // Ctrl + Alt + T
    const std::string path = Write("Tool.lnk", l);
    TFormProperties box(nullptr, path);
    EXPECT_EQ(Caption(box), "Tool Properties");
    EXPECT_EQ(box.Value("Target type:"), "Application");
    EXPECT_EQ(box.Value("Target location:"), "Tool");
    EXPECT_EQ(box.Value("Target:"), "\"C:\\Program Files\\Tool\\tool.exe\" --fast");
    EXPECT_EQ(box.Value("Start in:"), "C:\\Work");
    EXPECT_EQ(box.Value("Shortcut key:"), "Ctrl + Alt + T");
    EXPECT_EQ(box.Value("Run:"), "Maximized");
    EXPECT_EQ(box.Value("Comment:"), "Starts the tool");
    EXPECT_EQ(box.Value("Icon location:"), "C:\\Icons\\tool.ico,2");
    // The General tab's lines come from the file system.
    std::string folder = dir.Folder();
    folder.pop_back();
    EXPECT_EQ(box.Value("Location:"), folder);
    const std::size_t size = l.Build().size();
    EXPECT_EQ(box.Value("Size:"), std::to_string(size) + " bytes");
    for (const char* when : {"Created:", "Modified:", "Accessed:"})
        EXPECT_NE(box.Value(when).find(", 20"), std::string::npos) << when << box.Value(when);
    EXPECT_NE(box.Value("Attributes:"), "");
    // Each value a read-only tab stop to read it from, then Close.
    HWND hwnd = box.Handle();
    HWND first = ::GetNextDlgTabItem(hwnd, nullptr, FALSE);
    std::size_t stops = 0;
    for (HWND c = first; c && (stops == 0 || c != first); c = ::GetNextDlgTabItem(hwnd, c, FALSE)) {
        ++stops;
        if (c != ::GetDlgItem(hwnd, IDOK)) {
            EXPECT_TRUE(::GetWindowLongA(c, GWL_STYLE) & ES_READONLY);
        }
        if (stops > 50)
            break;
    }
    EXPECT_EQ(stops, box.Texts().shortcut.size() + box.Texts().general.size() + 1);
}

TEST_F(PropertiesBox, NothingSetAndUnicodeText) {
    const std::string empty = Write("Empty.lnk", Link{});
    {
        TFormProperties box(nullptr, empty);
        EXPECT_EQ(Caption(box), "Empty Properties");
        for (const char* label :
             {"Target type:", "Target:", "Start in:", "Comment:", "Icon location:"})
            EXPECT_EQ(box.Value(label), "") << label;
        EXPECT_EQ(box.Value("Shortcut key:"), "None");
        EXPECT_EQ(box.Value("Run:"), "Normal window");
    }

    Link u;
    u.linkInfo = LinkInfo({"C:\\x", "", "", true, u"C:\\Café\\日本語.exe", u"", u""});
    u.strings = {u"Ünïcödé 𝄞 comment", u"", u"C:\\Ärger"};
    const std::string unicode = Write("Ünï 日本.lnk", u);
    TFormProperties box(nullptr, unicode);
    EXPECT_EQ(Caption(box), "Ünï 日本 Properties");
    EXPECT_EQ(box.Value("Target:"), "C:\\Café\\日本語.exe");
    EXPECT_EQ(box.Value("Target location:"), "Café");
    EXPECT_EQ(box.Value("Comment:"), "Ünïcödé 𝄞 comment");
    EXPECT_EQ(box.Value("Start in:"), "C:\\Ärger");

    // A file that is gone: the labels with nothing in them, and no error.
    TFormProperties gone(nullptr, dir.Native("gone.lnk"));
    EXPECT_EQ(Caption(gone), "gone Properties");
    EXPECT_EQ(gone.Value("Target:"), "");
    EXPECT_EQ(gone.Value("Size:"), "");
}

TEST_F(PropertiesBox, EnterAndEscapeCloseItAndItIsOwnedAndModal) {
    const std::string path = Write("Keys.lnk", Link{});
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    for (const WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        TFormProperties box(owner, path);
        HWND hwnd = box.Handle();
        EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), owner);
        EXPECT_FALSE(::GetWindowLongA(hwnd, GWL_STYLE) &
                     (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME));
        HWND close = ::GetDlgItem(hwnd, IDOK);
        ASSERT_TRUE(close);
        EXPECT_TRUE(::GetWindowLongA(close, GWL_STYLE) & BS_DEFPUSHBUTTON);
        ::PostMessageA(close, WM_KEYDOWN, key, 0);
        EXPECT_EQ(box.ShowModal(), key == VK_ESCAPE ? IDCANCEL : IDOK);
        EXPECT_TRUE(::IsWindowEnabled(owner)); // given back after the box
    }
    // The title bar's close button.
    TFormProperties box(owner, path);
    ::PostMessageA(box.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(box.ShowModal(), IDCANCEL);
    ::DestroyWindow(owner);
}

TEST_F(PropertiesBox, ScalesWithTheDisplay) {
    ASSERT_EQ(SystemDpi(), 96) << "the Wine prefix is not at 96 dpi";
    TFormProperties box(nullptr, Write("Scaled.lnk", Link{}));
    HWND hwnd = box.Handle();
    const TPropertiesLayout layout = PropertiesLayout(box.Texts());
    const auto expectAt = [&](int dpi) {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(box.Dpi(), dpi);
        RECT client;
        ::GetClientRect(hwnd, &client);
        const TSize size = Scale(layout.client, dpi);
        EXPECT_EQ(client.right, size.width);
        EXPECT_EQ(client.bottom, size.height);
        RECT r;
        ::GetWindowRect(::GetDlgItem(hwnd, IDOK), &r);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        const TBounds close = Scale(layout.close, dpi);
        EXPECT_EQ(r.left, close.left);
        EXPECT_EQ(r.top, close.top);
        EXPECT_EQ(r.right - r.left, close.width);
        EXPECT_EQ(r.bottom - r.top, close.height);
    };
    expectAt(96);
    RECT suggested{30, 20, 700, 700};
    ::SendMessageA(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    expectAt(144);
}

} // namespace
