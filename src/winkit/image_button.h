// The four-picture image button as a Win32 custom control. Windows build only (Win32
// code); the header needs no <windows.h>.
//
//   TsuiImageButton scan(form, 672, 400, 86, 77);      // child window of `form`
//   scan.SetPictures(IDB_SCAN_NORMAL, IDB_SCAN_HOT, IDB_SCAN_DOWN, IDB_SCAN_DISABLED);
//   scan.SetAutoSize(true);                            // becomes 86 x 77
//   scan.SetAction(&actionScan);                       // follows its enabled state
//   more.SetOnClick([&] { OpenMoreTools(); });         // or a plain click handler
//
// Behaviour: hot while the pointer is over it, pressed while the left button (or Space or
// Enter when focused) holds it; a click runs on release over the button. Double clicks
// arrive as two clicks. A change of state only invalidates the button; it is painted in
// WM_PAINT alone (by the window base: off-screen first, copied in one step, the background
// never erased separately), the picture 1:1 at the top-left corner or stretched.
#pragma once

#include "base/action.h"
#include "base/handles.h"
#include "winkit/button_logic.h"
#include "winkit/window.h"

#include <cstdint>
#include <memory>
#include <string>

using BitmapHandle = HBITMAP;
using IconHandle = HICON;
using FontHandle = HFONT;
using DcHandle = HDC;

// An owned picture: empty, a bitmap, or an image of another kind (an icon), which an image
// button cannot draw. Copies are deep; the picture frees its GDI object.
class TPicture {
public:
    enum class Kind { Empty, Bitmap, Other };
    TPicture() = default;
    TPicture(const TPicture& other);
    TPicture& operator=(const TPicture& other);
    TPicture(TPicture&& other) noexcept = default;
    TPicture& operator=(TPicture&& other) noexcept = default;

    // A copy of `bitmap`; the caller keeps its own handle. A null handle gives an empty picture.
    static TPicture FromBitmap(BitmapHandle bitmap);
    // A picture resource of `module` (nullptr: the executable), a bitmap or a PNG file
    // (pictures/picture_store.h). Throws EOSError with the system's message when the resource
    // cannot be loaded.
    static TPicture FromResource(int resourceId, HMODULE module = nullptr);
    // A copy of an icon: a picture that is not a bitmap.
    static TPicture FromIcon(IconHandle icon);

    Kind GetKind() const { return bitmap_ ? Kind::Bitmap : icon_ ? Kind::Other : Kind::Empty; }
    bool Empty() const { return GetKind() == Kind::Empty; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The bitmap (owned by the picture), or nullptr unless Kind::Bitmap.
    BitmapHandle Bitmap() const { return bitmap_.get(); }

private:
    TBitmap bitmap_;
    TIcon icon_;
    int width_ = 0, height_ = 0;
};

// Themes of the base button; an image button always reads back as FromThemeFile.
enum class TsuiUIStyle { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };

// The custom-painted button base: its own child window, the state machine (TButtonLogic),
// the keyboard handling and the painting frame. Not copyable; destroying the object
// destroys the window (and a running repeat timer with it).
class TsuiCustomButton : public TWindow, protected IButtonHost {
public:
    // Creates the child window at (left, top) with the given size; `controlId` is its
    // GetDlgCtrlID. The window is visible, enabled, and in the tab order.
    TsuiCustomButton(WindowHandle parent, int left, int top, int width, int height,
                     int controlId = 0);
    ~TsuiCustomButton() override;

    // The button object of a window created by this class, or nullptr.
    static TsuiCustomButton* FromHandle(WindowHandle window);

    // Geometry in the parent's client pixels.
    void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;

    bool Enabled() const { return logic_.Enabled(); }
    void SetEnabled(bool enabled) { logic_.SetEnabled(enabled); }
    bool Visible() const { return logic_.Visible(); }
    void SetVisible(bool visible) { logic_.SetVisible(visible); }
    bool TabStop() const { return logic_.TabStop(); } // on (WS_TABSTOP)
    void SetTabStop(bool on);
    bool Default() const { return logic_.Default(); } // Enter clicks it (see DialogKey)
    void SetDefault(bool on) { logic_.SetDefault(on); }
    bool Cancel() const { return logic_.Cancel(); } // Escape clicks it
    void SetCancel(bool on) { logic_.SetCancel(on); }
    // Copied on every click into the top-level window (see ModalResultOf); non-zero ends a
    // dialog box created with DialogBox*.
    int ModalResult() const { return logic_.ModalResult(); }
    void SetModalResult(int result) { logic_.SetModalResult(result); }
    int MouseContinuouslyDownInterval() const { return logic_.MouseContinuouslyDownInterval(); }
    void SetMouseContinuouslyDownInterval(int ms) { logic_.SetMouseContinuouslyDownInterval(ms); }
    const std::string& Caption() const { return logic_.Caption(); }
    void SetCaption(const std::string& caption) { logic_.SetCaption(caption); }
    bool Transparent() const { return transparent_; } // off
    void SetTransparent(bool on);
    virtual TsuiUIStyle UIStyle() const { return uiStyle_; }
    void SetUIStyle(TsuiUIStyle style);
    // Fill colour behind the pictures when not transparent (COLORREF); system button face
    // for a new button.
    unsigned long Color() const { return color_; }
    void SetColor(unsigned long colorRef);
    // Caption font; not owned, nullptr for the system GUI font.
    void SetFont(FontHandle font);
    // The name screen readers give the button: its window text, which it never draws (the
    // pictures carry the words; Caption is what would be drawn). See winkit/accessibility.h for
    // what else they learn: the push-button role, its states and "Press".
    void SetAccessibleName(const std::string& name);

    // The bound action (not owned): the button follows its enabled state, visibility and
    // caption, and a click executes it. nullptr unbinds.
    TAction* Action() const { return logic_.Action(); }
    void SetAction(TAction* action) { logic_.SetAction(action); }

    // Events. OnClick runs on every click (when no action is bound, or when it is not the
    // bound action's own execute handler).
    void SetOnClick(TNotifyEvent handler) { logic_.OnClick = std::move(handler); }
    void SetOnMouseEnter(TNotifyEvent handler) { logic_.OnMouseEnter = std::move(handler); }
    void SetOnMouseExit(TNotifyEvent handler) { logic_.OnMouseExit = std::move(handler); }
    void SetOnMouseContinuouslyDown(TNotifyEvent h) {
        logic_.OnMouseContinuouslyDown = std::move(h);
    }
    void SetOnMouseDown(TMouseEvent handler) { logic_.OnMouseDown = std::move(handler); }
    void SetOnMouseUp(TMouseEvent handler) { logic_.OnMouseUp = std::move(handler); }
    void SetOnMouseMove(TMouseMoveEvent handler) { logic_.OnMouseMove = std::move(handler); }

    // The click rule: ends a press, copies ModalResult, runs the command.
    void Click() { logic_.Click(); }

    bool Hot() const { return logic_.Hot(); }
    bool Pressed() const { return logic_.Pressed(); }
    bool RepeatTimerExists() const { return logic_.RepeatTimerExists(); }
    // The picture the current state shows.
    TButtonPicture StatePicture() const { return logic_.StatePicture(); }

    // Repaints at the next WM_PAINT.
    using TWindow::Invalidate;

protected:
    // Virtual operations of the painting frame.
    virtual void UpdateAutoSize() {}
    virtual void CaptionChanged() {}
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnabledChanged() {}
    virtual void UIStyleChanged() {}
    // Whether the state picture is stretched to the whole button (1:1 at the top-left corner
    // otherwise).
    virtual bool StretchPicture() const { return false; }
    virtual void DrawCaption(DcHandle dc);
    virtual void DrawFocusRect(DcHandle dc);
    // Each getter gives its state's picture (owned by the button), or nullptr for none; the
    // base has no theme and gives none.
    virtual const TPicture* GetNormalPicture() const { return nullptr; }
    virtual const TPicture* GetMouseOnPicture() const { return nullptr; }
    virtual const TPicture* GetMouseDownPicture() const { return nullptr; }
    virtual const TPicture* GetDisabledPicture() const { return nullptr; }

    // Whether a picture drawn now is masked by its top-left pixel.
    bool PictureTransparent() const { return pictureTransparent_; }
    bool HasFocus() const;
    TButtonLogic& Logic() { return logic_; }

    // IButtonHost
    void Repaint() override { Invalidate(); }
    void StartRepeatTimer(int periodMs) override;
    void StopRepeatTimer() override;
    bool CanFocus() override;
    bool TakeFocus() override;
    bool HasParent() override;
    void SetParentModalResult(int result) override;

private:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void Paint(DcHandle work, TSize size) override;
    void PaintBackground(DcHandle work, int width, int height);
    void ApplyProperties();

    TButtonLogic logic_{*this};
    bool transparent_ = false, pictureTransparent_ = false;
    TsuiUIStyle uiStyle_ = TsuiUIStyle::FromThemeFile;
    unsigned long color_ = 0;
    FontHandle font_ = nullptr; // not owned
    bool tracking_ = false;
};

// The image button: four owned pictures, the auto-size rule and an optional focus mark.
class TsuiImageButton : public TsuiCustomButton {
public:
    TsuiImageButton(WindowHandle parent, int left, int top, int width = 75, int height = 25,
                    int controlId = 0);

    // Has no visible effect on an image button; always reads back as FromThemeFile.
    TsuiUIStyle UIStyle() const override { return TsuiUIStyle::FromThemeFile; }

    const TPicture& PicNormal() const { return pics_[0]; }
    const TPicture& PicMouseOn() const { return pics_[1]; }
    const TPicture& PicMouseDown() const { return pics_[2]; }
    const TPicture& PicDisabled() const { return pics_[3]; }
    // Each setter copies the picture, applies the auto-size rule and repaints.
    void SetPicNormal(const TPicture& picture) { SetPic(0, picture); }
    void SetPicMouseOn(const TPicture& picture) { SetPic(1, picture); }
    void SetPicMouseDown(const TPicture& picture) { SetPic(2, picture); }
    void SetPicDisabled(const TPicture& picture) { SetPic(3, picture); }
    // The four pictures from picture resources of the executable (0 leaves one empty).
    // Throws EOSError when a resource is missing.
    void SetPictures(int normalId, int mouseOnId, int mouseDownId, int disabledId);

    // Size the button to PicNormal (when it holds an image).
    bool AutoSize() const { return autoSize_; } // off
    void SetAutoSize(bool on);
    // Stretch the picture to the button instead of drawing it 1:1 at the top-left corner.
    bool Stretch() const { return stretch_; } // off
    void SetStretch(bool on);
    // Draw a dotted focus rectangle, inset by FocusedRectMargin, while focused.
    bool DrawFocused() const { return drawFocused_; } // off
    void SetDrawFocused(bool on);
    int FocusedRectMargin() const { return focusMargin_; } // 2
    void SetFocusedRectMargin(int pixels);

protected:
    void UpdateAutoSize() override;
    bool StretchPicture() const override { return stretch_; }
    void DrawFocusRect(DcHandle dc) override;
    const TPicture* GetNormalPicture() const override { return Pick(TButtonPicture::Normal); }
    const TPicture* GetMouseOnPicture() const override { return Pick(TButtonPicture::MouseOn); }
    const TPicture* GetMouseDownPicture() const override { return Pick(TButtonPicture::MouseDown); }
    const TPicture* GetDisabledPicture() const override { return Pick(TButtonPicture::Disabled); }

private:
    void SetPic(int index, const TPicture& picture);
    const TPicture* Pick(TButtonPicture wanted) const;
    TPicture pics_[4];
    bool autoSize_ = false, stretch_ = false, drawFocused_ = false;
    int focusMargin_ = 2;
};

// Dialog keys for a window that holds image buttons. Call it from the message loop (or the
// window's key handling) for every WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR and WM_SYSCHAR before
// dispatching: Enter clicks the active (Default) button, Escape the Cancel button, and a
// caption accelerator its button, among the image buttons under `root`. Returns true when a
// button clicked; the message is then consumed and must not be dispatched. Enter while an
// image button has the focus is left to that button (it presses on key down, clicks on up).
bool ImageButtonDialogKey(WindowHandle root, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam);

// The modal result that the last click of an image button copied into the top-level window
// `root` (0 when none); SetModalResultOf resets it, e.g. before a modal loop starts.
int ModalResultOf(WindowHandle root);
void SetModalResultOf(WindowHandle root, int result);
