// The About box under Wine: its texts from the settings record, its keys and its link.
#include "settings/globals.h"
#include "windows/about.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace {

class LinkShell : public IShellServices {
public:
    std::vector<std::string> opened;
    bool PickFolder(WindowHandle, std::string&, const std::string&) override { return false; }
    bool MoveToRecycleBin(WindowHandle, const std::vector<std::string>&, bool) override {
        return false;
    }
    void ShowFileProperties(const std::string&) override {}
    void OpenLink(const std::string& link) override { opened.push_back(link); }
};

class About : public ::testing::Test {
protected:
    LinkShell shell;
    void SetUp() override {
        GlobalVars = TGlobalVars{};
        GlobalVars.Version = "1.2.3";
        GlobalVars.Copyright = "Example Holder";
        GlobalVars.HelpHomePageLink = "https://home.example/";
    }
};

TEST_F(About, ShowsTitleVersionHolderYearNoticeAndLink) {
    TFormAbout box(nullptr, "Sweeper", ::LoadIconA(nullptr, IDI_APPLICATION), shell);
    HWND hwnd = box.Handle();
    char caption[64] = {};
    ::GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "About Sweeper");
    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 375);
    EXPECT_EQ(client.bottom, 217);
    EXPECT_FALSE(::GetWindowLongA(hwnd, GWL_STYLE) &
                 (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME));

    const std::time_t now = std::time(nullptr);
    const std::string year = std::to_string(std::localtime(&now)->tm_year + 1900);
    EXPECT_EQ(box.LabelText("LabelAppName"), "Sweeper");
    EXPECT_EQ(box.LabelText("LabelVersion"), "Version 1.2.3");
    EXPECT_EQ(box.LabelText("LabelCopyRight"), "Copyright (c) " + year + " Example Holder");
    EXPECT_EQ(box.LabelText("LabelWeb"), "https://home.example/");
    const std::string notice = box.LabelText("LabelWarning");
    EXPECT_GT(notice.size(), 250u);
    EXPECT_LT(notice.size(), 320u);

    TBounds b;
    ASSERT_TRUE(box.LabelBounds("LabelWarning", b));
    EXPECT_EQ(b.left, 16);
    EXPECT_EQ(b.top, 104);
    EXPECT_EQ(b.width, 345);
    EXPECT_EQ(b.height, 65);
    ASSERT_TRUE(box.LabelBounds("LabelWeb", b));
    EXPECT_EQ(b.left, 16);
    EXPECT_EQ(b.top, 192);
    EXPECT_GT(b.width, 16); // sized to the link's text

    HWND ok = ::GetDlgItem(hwnd, IDOK);
    ASSERT_TRUE(ok);
    RECT r;
    ::GetWindowRect(ok, &r);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 280);
    EXPECT_EQ(r.top, 184);
    EXPECT_EQ(r.right - r.left, 81);
    EXPECT_EQ(r.bottom - r.top, 23);
    EXPECT_TRUE(::GetWindowLongA(ok, GWL_STYLE) & BS_DEFPUSHBUTTON);

    // A click on the link opens the home page.
    const int x = 20, y = 196;
    ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://home.example/"});
}

TEST_F(About, AnEmptyLinkHasNothingToClick) {
    GlobalVars.HelpHomePageLink.clear();
    TFormAbout box(nullptr, "Sweeper", nullptr, shell);
    HWND hwnd = box.Handle();
    EXPECT_EQ(box.LabelText("LabelWeb"), "");
    ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(17, 196));
    EXPECT_TRUE(shell.opened.empty());
    // No hand over the place either.
    POINT at{17, 196};
    ::ClientToScreen(hwnd, &at);
    ::ShowWindow(hwnd, SW_SHOW);
    ::SetCursorPos(at.x, at.y);
    ::SetCursor(nullptr);
    ::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(About, EscapeDoesNotCloseEnterPressesOkAndTheCloseButtonCloses) {
    {
        TFormAbout box(nullptr, "Sweeper", nullptr, shell);
        HWND ok = ::GetDlgItem(box.Handle(), IDOK);
        // Escape first: had it closed the box, the result would not be OK.
        ::PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageA(ok, WM_KEYUP, VK_ESCAPE, 0);
        ::PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(box.ShowModal(), IDOK);
    }
    {
        TFormAbout box(nullptr, "Sweeper", nullptr, shell);
        ::PostMessageA(box.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(box.ShowModal(), IDCANCEL);
    }
    // A new box shows the values of the moment it opens.
    GlobalVars.Version = "2.0";
    TFormAbout again(nullptr, "Other", nullptr, shell);
    EXPECT_EQ(again.LabelText("LabelVersion"), "Version 2.0");
    EXPECT_EQ(again.LabelText("LabelAppName"), "Other");
}

} // namespace
