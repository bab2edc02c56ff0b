// The main window's surface: its pictures and the painted labels and images, drawn
// off-screen and copied in one step.
#include "ui/main_form.h"

#include "app/errors.h"
#include "app/system_error.h"
#include "shell/path_rules.h"
#include "ui/main_form_layout.h"
#include "ui/pictures.h"

#include <windows.h>

namespace {

HWND H(WindowHandle h) { return static_cast<HWND>(h); }

// A Windows bitmap file; throws EFOpenError with the system's message when it cannot be
// opened and EInvalidGraphic when it is not a bitmap.
HBITMAP LoadBitmapFile(const std::string& path) {
    RequireReadableFile(path);
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap)
        throw EInvalidGraphic("Bitmap image is not valid");
    return bitmap;
}

// An info icon: a 32-bit bitmap with premultiplied alpha, kept as a DIB section.
HBITMAP LoadIconPicture(int id) {
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

} // namespace

// The info icons are part of the executable.
void TMainForm::LoadPictures() {
    for (int i = 0; i < 3; ++i)
        iconPictures_[i].reset(LoadIconPicture(IDB_ICON_INFO + i));
    pictures_ = {background_.get(), iconPictures_[0].get(), iconPictures_[1].get(),
                 iconPictures_[2].get()};
}

// "UI.bmp" is read from the program's folder and may fail: the caller shows the error box,
// and the window opens without it.
void TMainForm::LoadBackground() {
    background_.reset(LoadBitmapFile(AddTrailingBackslash(setup_.programFolder) + "UI.bmp"));
    pictures_.at(kPictureBackground) = background_.get();
    const TSize size = PictureSize(background_.get());
    graphics_.SetBounds("ImageMain", {0, 0, size.width, size.height});
    ::InvalidateRect(H(Handle()), nullptr, FALSE);
}

TSize TMainForm::MeasureText(const std::string& text, int font) {
    return TextExtent(Handle(), fonts_.at(static_cast<std::size_t>(font)), text);
}

void TMainForm::InvalidateArea(const TBounds& area) {
    if (!Handle())
        return;
    RECT r{area.left, area.top, area.left + area.width, area.top + area.height};
    ::InvalidateRect(H(Handle()), &r, FALSE);
}

void TMainForm::Paint(void* target) {
    RECT client;
    ::GetClientRect(H(Handle()), &client);
    TDoubleBuffer buffer(target, client.right, client.bottom);
    ::FillRect(static_cast<HDC>(buffer.Dc()), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    PaintLayer(buffer.Dc(), graphics_, fonts_, pictures_);
    buffer.CopyTo(target);
}
