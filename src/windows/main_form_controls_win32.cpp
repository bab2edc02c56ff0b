// The main window's child controls, its row images and its help menu, made from the layout
// tables when the window is created, and placed, sized and given their font and pictures
// for the window's display density then and whenever that density changes.
#include "windows/main_form.h"

#include "base/system_error.h"
#include "pictures/picture_store.h"
#include "pictures/pictures.h"
#include "windows/main_form_layout.h"
#include "winkit/accessibility.h"
#include "winkit/display_scale.h"

#include <windows.h>
#include <commctrl.h>

namespace {

// The Show box's height with its list opened, at 96 dpi.
constexpr int kShowDroppedHeight = 200;

// The row images in the rendering `percent`: image 0 a green check, image 1 a red cross, each
// with its mask. They are drawn 1:1: the rows grow to the rendering's size.
HIMAGELIST MakeRowImages(int percent) {
    // The images from the picture store; their masks are monochrome bitmaps of every rendering.
    const auto mask = [&](int id) {
        return TBitmap(static_cast<HBITMAP>(
            ::LoadImageA(::GetModuleHandleA(nullptr),
                         MAKEINTRESOURCEA(ScaledPictureId(id, percent)), IMAGE_BITMAP, 0, 0, 0)));
    };
    const HBITMAP images[] = {ProgramPicture(ScaledPictureId(IDB_ROW_VALID, percent)),
                              ProgramPicture(ScaledPictureId(IDB_ROW_INVALID, percent))};
    const TBitmap masks[] = {mask(IDB_ROW_VALID_MASK), mask(IDB_ROW_INVALID_MASK)};
    const TSize size = PictureSize(images[0]);
    HIMAGELIST list = ImageList_Create(size.width, size.height, ILC_COLOR32 | ILC_MASK, 2, 0);
    if (!list)
        RaiseLastOSError("Cannot create the row images");
    for (int i = 0; i < 2; ++i)
        ImageList_Add(list, images[i], masks[i].get());
    return list;
}

void Place(HWND control, const TBounds& at) {
    ::SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// A drop-down list's window is as high as its opened list (`dropped`); the closed box is made
// as high as `closed` says: its selection field plus the frame.
void PlaceDropDown(HWND box, const TBounds& closed, int dropped) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        Place(box, {closed.left, closed.top, closed.width, dropped});
        RECT shown;
        ::GetWindowRect(box, &shown);
        const int off = closed.height - (shown.bottom - shown.top);
        if (off == 0)
            break;
        const auto field = ::SendMessageA(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        ::SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
    }
}

} // namespace

void TMainForm::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // Each control is placed, and given its font, by ApplyDpi below.
    const auto child = [&](const TControlPlace& place, DWORD exStyle, const char* cls,
                           DWORD style) {
        HWND c = ::CreateWindowExA(
            exStyle, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0, Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
        if (!c)
            RaiseLastOSError(std::string("Cannot create ") + place.name);
        NameSystemControl(c, AccessibleNameOf(place.name));
        return c;
    };

    // Child windows in tab order, which is also their back-to-front order. The list shares
    // the window's row images: the window owns them and frees them once.
    ListViewFiles = child(kMainControls[0], WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                          LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA);
    rowImagesPercent_ = PictureScale(Dpi());
    ImageList.reset(MakeRowImages(rowImagesPercent_));
    rows_ = std::make_unique<TListViewReport>(ListViewFiles);
    rows_->SetUp(ImageList.get());

    EditFilter = child(kMainControls[1], WS_EX_CLIENTEDGE, "EDIT", ES_AUTOHSCROLL);
    ComboBoxShow = child(kMainControls[2], 0, "COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST);
    for (const char* item : kShowItems)
        ::SendMessageA(ComboBoxShow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageA(ComboBoxShow, CB_SETCURSEL, 0, 0);

    CreateButtons();
    CreateHelpMenu();
    ScaleFonts();
    for (const TGraphic& g : MainFormGraphics())
        graphics_.Add(g);
    // Last: a static control before the filter or the Show box would become its name for
    // screen readers.
    for (const TReadableText& readable : kReadableTexts)
        hiddenTexts_.push_back(CreateHiddenText(Handle(), graphics_.Find(readable.graphic)->bounds,
                                                ReadableText(readable)));
    ApplyDpi();
}

void TMainForm::CreateButtons() {
    for (const TButtonPlace& b : kMainButtons) {
        auto button = std::make_unique<TsuiImageButton>(Handle(), b.bounds.left, b.bounds.top,
                                                        b.bounds.width, b.bounds.height, b.id);
        button->SetAccessibleName(AccessibleNameOf(b.name));
        if (b.id == kIdButtonMore)
            button->SetOnClick([this] { suiImageButtonMoreClick(); });
        else if (b.id == kIdButtonHelp)
            button->SetOnClick([this] { ButtonHelpClick(); });
        ButtonOf(b.id) = button.get();
        buttons_.push_back(std::move(button));
    }
}

TsuiImageButton*& TMainForm::ButtonOf(int id) {
    switch (id) {
    case kIdButtonMore:
        return suiImageButtonMore;
    case kIdButtonHelp:
        return ButtonHelp;
    default:
        break;
    }
    switch (static_cast<TActionId>(id - kIdActionBase)) {
    case TActionId::Properties:
        return suiImageButtonProperties;
    case TActionId::Selectnone:
        return suiImageButtonSelectnone;
    case TActionId::SelectInvalid:
        return suiImageButtonSelectInvalid;
    case TActionId::Delete:
        return suiImageButtonDelete;
    case TActionId::Repair:
        return suiImageButtonRepair;
    case TActionId::ScanShortcuts:
        break;
    }
    return suiImageButtonScanShortcuts;
}

void TMainForm::BindCommandButtons() {
    for (std::size_t i = 0; i < kMainButtons.size(); ++i)
        if (const auto action = kMainButtons[i].action)
            buttons_[i]->SetAction(&sweeper_->ActionList[*action]);
}

void TMainForm::CreateHelpMenu() {
    PopupMenuHelp.reset(::CreatePopupMenu());
    if (!PopupMenuHelp)
        RaiseLastOSError("Cannot create the help menu");
    for (const TMenuItem& item : kHelpMenu) {
        if (item.id == 0)
            ::AppendMenuA(PopupMenuHelp.get(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuA(PopupMenuHelp.get(), MF_STRING, static_cast<UINT_PTR>(item.id),
                          item.caption);
    }
}

void TMainForm::ScaleFonts() {
    // The controls let go of the old font before it is freed.
    TFont old = std::move(font_);
    font_.reset(MakeScaledFont("Tahoma", kMainFontHeight, Dpi()));
    fonts_ = {font_.get()};
    for (HWND control : {ListViewFiles, EditFilter, ComboBoxShow})
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    for (const auto& button : buttons_)
        button->SetFont(font_.get());
}

void TMainForm::ApplyDpi() {
    PlaceControls();
    for (const TGraphic& g : MainFormGraphics())
        graphics_.SetBounds(g.name, Scale(g.bounds, Dpi()));
    graphics_.Remeasure(); // the labels take their text's size in the new font
    LoadPictures();        // the background takes its picture's size
    for (std::size_t i = 0; i < hiddenTexts_.size(); ++i)
        Place(hiddenTexts_[i], graphics_.Find(kReadableTexts[i].graphic)->bounds);
}

void TMainForm::PlaceControls() {
    const int percent = PictureScale(Dpi());
    HWND list = ListViewFiles;
    Place(list, Scale(kMainControls[0].bounds, Dpi()));
    Place(EditFilter, Scale(kMainControls[1].bounds, Dpi()));
    PlaceDropDown(ComboBoxShow, Scale(kMainControls[2].bounds, Dpi()),
                  Scale(kShowDroppedHeight, Dpi()));

    if (rowImagesPercent_ != percent) {
        TImageList images(MakeRowImages(percent));
        ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
        ImageList = std::move(images); // the list has let go of the old ones
        rowImagesPercent_ = percent;
    }
    for (std::size_t i = 0; i < kListColumns.size(); ++i)
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, i, Scale(kListColumns[i].width, Dpi()));

    // Each button shows the rendering of its pictures at or just above the window's scale:
    // 1:1 and sized to it where it has the scaled size, scaled down to its place otherwise.
    for (std::size_t i = 0; i < kMainButtons.size(); ++i) {
        const TButtonPlace& b = kMainButtons[i];
        TsuiImageButton& button = *buttons_[i];
        const int first = ScaledPictureId(b.firstPicture, percent);
        button.SetPictures(first, first + 1, first + 2, first + 3);
        const TBounds at = Scale(b.bounds, Dpi());
        const bool fits =
            button.PicNormal().Width() == at.width && button.PicNormal().Height() == at.height;
        button.SetAutoSize(fits);
        button.SetStretch(!fits);
        button.SetBounds(at.left, at.top, at.width, at.height);
    }
}

TSize TMainForm::DesignClientSize() const { return {kMainClientWidth, kMainClientHeight}; }
