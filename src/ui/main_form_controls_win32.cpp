// The main window's child controls, its row images and its help menu, made from the layout
// tables when the window is created.
#include "ui/main_form.h"

#include "app/system_error.h"
#include "ui/accessibility.h"
#include "ui/main_form_layout.h"
#include "ui/pictures.h"

#include <windows.h>
#include <commctrl.h>

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

// The row images: image 0 a green check, image 1 a red cross, each with its mask.
HIMAGELIST MakeRowImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    if (!list)
        RaiseLastOSError("Cannot create the row images");
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (auto [imageId, maskId] : {std::pair{IDB_ROW_VALID, IDB_ROW_VALID_MASK},
                                   std::pair{IDB_ROW_INVALID, IDB_ROW_INVALID_MASK}}) {
        TBitmap image(::LoadImageA(instance, MAKEINTRESOURCEA(imageId), IMAGE_BITMAP, 0, 0,
                                   LR_CREATEDIBSECTION));
        TBitmap mask(::LoadImageA(instance, MAKEINTRESOURCEA(maskId), IMAGE_BITMAP, 0, 0, 0));
        ImageList_Add(list, image.as<HBITMAP>(), mask.as<HBITMAP>());
    }
    return list;
}

} // namespace

void TMainForm::CreateControls() {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    const auto child = [&](const TControlPlace& place, DWORD exStyle, const char* cls,
                           DWORD style, int height) {
        HWND c = ::CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                   place.bounds.left, place.bounds.top, place.bounds.width,
                                   height, H(Handle()),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                   instance, nullptr);
        if (!c)
            RaiseLastOSError(std::string("Cannot create ") + place.name);
        ::SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        NameSystemControl(c, AccessibleNameOf(place.name));
        controls_.emplace_back(place.name, c);
        return c;
    };
    const TControlPlace& listPlace = kMainControls[0];
    const TControlPlace& editPlace = kMainControls[1];
    const TControlPlace& showPlace = kMainControls[2];

    // Child windows in tab order, which is also their back-to-front order. The list shares
    // the window's row images: the window owns them and frees them once.
    HWND list = child(listPlace, WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                      LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_OWNERDATA, listPlace.bounds.height);
    ImageList.reset(MakeRowImages());
    rows_ = std::make_unique<TListViewReport>(list);
    rows_->SetUp(ImageList.get());

    child(editPlace, WS_EX_CLIENTEDGE, "EDIT", ES_AUTOHSCROLL, editPlace.bounds.height);
    // The drop-down's height includes its opened list.
    HWND show = child(showPlace, 0, "COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 200);
    for (const char* item : kShowItems)
        ::SendMessageA(show, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageA(show, CB_SETCURSEL, 0, 0);
    // The closed box is as high as the table says: its selection field plus the frame.
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT closed;
        ::GetWindowRect(show, &closed);
        const int off = showPlace.bounds.height - (closed.bottom - closed.top);
        if (off == 0)
            break;
        const auto field = ::SendMessageA(show, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        ::SendMessageA(show, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + off);
        ::SetWindowPos(show, nullptr, 0, 0, showPlace.bounds.width, 200,
                       SWP_NOMOVE | SWP_NOZORDER);
    }

    CreateButtons();
    CreateHelpMenu();
    LoadPictures();
    for (const TGraphic& g : MainFormGraphics())
        graphics_.Add(g);
    // Last: a static control before the filter or the Show box would become its name for
    // screen readers.
    for (const TReadableText& readable : kReadableTexts)
        hiddenTexts_.push_back(CreateHiddenText(
            Handle(), graphics_.Find(readable.graphic)->bounds, ReadableText(readable)));
}

void TMainForm::CreateButtons() {
    for (const TButtonPlace& b : kMainButtons) {
        auto button = std::make_unique<TsuiImageButton>(Handle(), b.bounds.left, b.bounds.top,
                                                        b.bounds.width, b.bounds.height, b.id);
        button->SetPictures(b.firstPicture, b.firstPicture + 1, b.firstPicture + 2,
                            b.firstPicture + 3);
        button->SetAutoSize(true);
        button->SetFont(font_.get());
        button->SetAccessibleName(AccessibleNameOf(b.name));
        if (b.action)
            button->SetAction(&ActionList[*b.action]);
        else if (b.id == kIdButtonMore)
            button->SetOnClick([this] { suiImageButtonMoreClick(); });
        else
            button->SetOnClick([this] { ButtonHelpClick(); });
        controls_.emplace_back(b.name, button->Handle());
        buttons_.push_back(std::move(button));
    }
}

void TMainForm::CreateHelpMenu() {
    PopupMenuHelp.reset(::CreatePopupMenu());
    if (!PopupMenuHelp)
        RaiseLastOSError("Cannot create the help menu");
    for (const TMenuItem& item : kHelpMenu) {
        if (item.id == 0)
            ::AppendMenuA(PopupMenuHelp.as<HMENU>(), MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuA(PopupMenuHelp.as<HMENU>(), MF_STRING, static_cast<UINT_PTR>(item.id),
                          item.caption);
    }
}
