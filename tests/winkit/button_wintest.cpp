// The image button under the real window system: pictures read back from its painting,
// clicks counted from real mouse and key messages.
#include "pictures/pictures.h"
#include "winkit/image_button.h"
#include "winkit/modal.h"
#include "winkit/window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Pixels = std::vector<COLORREF>;

// What the control paints, read back through WM_PRINTCLIENT into a memory bitmap.
Pixels Painted(HWND hwnd, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    Pixels p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.push_back(GetPixel(mem, x, y));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return p;
}

// A resource bitmap's pixels in the same format.
Pixels Resource(int id, int w, int h) {
    HBITMAP src = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen), b = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oa = SelectObject(a, src), ob = SelectObject(b, bmp);
    BitBlt(b, 0, 0, w, h, a, 0, 0, SRCCOPY);
    Pixels p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.push_back(GetPixel(b, x, y));
    SelectObject(a, oa);
    SelectObject(b, ob);
    DeleteObject(bmp);
    DeleteObject(src);
    DeleteDC(a);
    DeleteDC(b);
    ReleaseDC(nullptr, screen);
    return p;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

struct ButtonWinTest : ::testing::Test {
    HWND form = nullptr;
    std::unique_ptr<TsuiImageButton> button;
    int clicks = 0;
    Pixels normal, mouseOn, mouseDown, disabled;

    void SetUp() override {
        form = CreateWindowExA(0, "STATIC", "buttons", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                               400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(form, nullptr);
        button = std::make_unique<TsuiImageButton>(form, 20, 20, 10, 10);
        button->SetPictures(IDB_DELETE_NORMAL, IDB_DELETE_MOUSEON, IDB_DELETE_MOUSEDOWN,
                            IDB_DELETE_DISABLED);
        button->SetAutoSize(true);
        button->SetOnClick([this] { ++clicks; });
        normal = Resource(IDB_DELETE_NORMAL, 86, 77);
        mouseOn = Resource(IDB_DELETE_MOUSEON, 86, 77);
        mouseDown = Resource(IDB_DELETE_MOUSEDOWN, 86, 77);
        disabled = Resource(IDB_DELETE_DISABLED, 86, 77);
        ASSERT_NE(normal, mouseOn);
        ASSERT_NE(mouseOn, mouseDown);
    }
    void TearDown() override {
        button.reset();
        DestroyWindow(form);
    }
    HWND B() { return button->Handle(); }
    Pixels Shown() { return Painted(B(), 86, 77); }
    void Send(UINT msg, WPARAM wp, LPARAM lp) { SendMessageA(B(), msg, wp, lp); }
};

} // namespace

TEST_F(ButtonWinTest, AutoSizeTakesTheNormalPicture) {
    EXPECT_EQ(button->Width(), 86);
    EXPECT_EQ(button->Height(), 77);
    EXPECT_EQ(button->Left(), 20);
    TsuiImageButton empty(form, 5, 5, 40, 30);
    empty.SetAutoSize(true); // no normal picture: the size stays
    EXPECT_EQ(empty.Width(), 40);
    EXPECT_EQ(empty.Height(), 30);
}

TEST_F(ButtonWinTest, MouseDrivesThePictureAndClicks) {
    EXPECT_EQ(Shown(), normal);
    Send(WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(Shown(), mouseOn);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(Shown(), mouseDown);
    EXPECT_EQ(GetFocus(), B());
    Send(WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Shown(), mouseOn);
    // A fast second click (no double-click message) is a second click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Send(WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonWinTest, DragOutReleasesWithoutClick) {
    Send(WM_MOUSEMOVE, 0, At(10, 10));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_TRUE(button->RepeatTimerExists());
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(200, 10));
    EXPECT_EQ(Shown(), normal);
    EXPECT_FALSE(button->RepeatTimerExists());
    Send(WM_LBUTTONUP, 0, At(200, 10));
    EXPECT_EQ(clicks, 0);
    EXPECT_NE(GetCapture(), B());
}

TEST_F(ButtonWinTest, SpaceClicksOnRelease) {
    SetFocus(B());
    Send(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(Shown(), mouseDown);
    EXPECT_EQ(clicks, 0);
    Send(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Shown(), normal); // focused and not drawn differently (no focus mark)
}

TEST_F(ButtonWinTest, DisabledShowsItsPictureAndTakesNoInput) {
    TAction action([this] { ++clicks; });
    button->SetOnClick({});
    button->SetAction(&action);
    action.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(B()));
    EXPECT_EQ(Shown(), disabled);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Send(WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(clicks, 0);
    action.SetEnabled(true);
    EXPECT_EQ(Shown(), normal);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Send(WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(clicks, 1); // through the action
}

TEST_F(ButtonWinTest, OnlyNormalPictureShowsInEveryState) {
    TsuiImageButton plain(form, 150, 20);
    plain.SetAutoSize(true);
    plain.SetPicNormal(TPicture::FromResource(IDB_DELETE_NORMAL));
    HWND h = plain.Handle();
    SendMessageA(h, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(Painted(h, 86, 77), normal);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(Painted(h, 86, 77), normal);
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
    plain.SetEnabled(false);
    EXPECT_EQ(Painted(h, 86, 77), normal);
}

TEST_F(ButtonWinTest, DefaultAndCancelKeysThroughTheRouter) {
    button->SetDefault(true);
    SetFocus(form);
    EXPECT_TRUE(ImageButtonDialogKey(form, WM_KEYDOWN, VK_RETURN, 0));
    EXPECT_FALSE(ImageButtonDialogKey(form, WM_KEYDOWN, VK_ESCAPE, 0));
    button->SetCancel(true);
    button->SetModalResult(2);
    EXPECT_TRUE(ImageButtonDialogKey(form, WM_KEYDOWN, VK_ESCAPE, 0));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(ModalResultOf(form), 2);
}

// A modal box's own message loop offers the keys to its image buttons: Enter in another
// control of the box clicks the Default button, as it would the default push button.
TEST(ModalBoxKeys, EnterClicksTheBoxsDefaultImageButton) {
    struct Box final : TWindow {
        Box() {
            Create({"SweeperKeyBox", TWindowClass::Background::White},
                   {.text = "Keys", .style = WS_POPUP | WS_CAPTION, .width = 300, .height = 200});
        }
    } box;
    bool clicked = false;
    TsuiImageButton ok(box.Handle(), 10, 10, 86, 77);
    ok.SetDefault(true);
    ok.SetOnClick([&] { clicked = true; });
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 100, 20,
                                static_cast<HWND>(box.Handle()), nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(edit, nullptr);
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    // Ends the box in any case, so a key that went astray fails the test instead of hanging.
    PostMessageA(static_cast<HWND>(box.Handle()), WM_CLOSE, 0, 0);
    RunModalBox(box, nullptr, edit, [&] { return clicked; });
    EXPECT_TRUE(clicked);
}

TEST_F(ButtonWinTest, DestroyedWhileHeld) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    ASSERT_TRUE(button->RepeatTimerExists());
    button.reset(); // window, capture and timer go with it
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

TEST_F(ButtonWinTest, NotABitmapPaintsAsAnEmpty74By21Bitmap) {
    TsuiImageButton odd(form, 150, 120, 90, 30);
    odd.SetColor(RGB(0, 0, 255));
    odd.SetPicNormal(TPicture::FromIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    odd.SetUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(odd.UIStyle(), TsuiUIStyle::FromThemeFile);
    Pixels p = Painted(odd.Handle(), 90, 30);
    EXPECT_EQ(p[0], RGB(255, 255, 255)); // inside the 74 x 21 area
    EXPECT_EQ(p[20 * 90 + 73], RGB(255, 255, 255));
    EXPECT_EQ(p[20 * 90 + 74], RGB(0, 0, 255)); // the fill beyond it
    EXPECT_EQ(p[21 * 90 + 10], RGB(0, 0, 255));
}
