// The main window's surface: its pictures and the painted labels and images, drawn
// off-screen and copied in one step.
#include "ui/main_form.h"

#include "app/errors.h"
#include "app/system_error.h"
#include "shell/path_rules.h"
#include "ui/display_scale.h"
#include "ui/main_form_layout.h"
#include "ui/pictures.h"

#include <windows.h>

#include <fstream>
#include <iterator>

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

// A picture of the executable in the rendering `percent`, kept as a DIB section (which keeps
// the info icons' premultiplied alpha); nullptr when the executable has none.
HBITMAP LoadPicture(int id, int percent) {
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                             MAKEINTRESOURCEA(ScaledPictureId(id, percent)),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

// The info icons are part of the executable, in the rendering for the window's density.
void TMainForm::LoadPictures() {
    const int percent = PictureScale(dpi_);
    for (int i = 0; i < 3; ++i)
        iconPictures_[i].reset(LoadPicture(IDB_ICON_INFO + i, percent));
    pictures_ = {background_.get(), iconPictures_[0].get(), iconPictures_[1].get(),
                 iconPictures_[2].get()};
    PlaceBackground();
}

// "UI.bmp" is read from the program's folder and may fail: the caller shows the error box,
// and the window opens without it.
void TMainForm::LoadBackground() {
    const std::string path = AddTrailingBackslash(setup_.programFolder) + "UI.bmp";
    background_.reset(LoadBitmapFile(path));
    shippedBackground_ = IsShippedBackground(FileBytes(path));
    PlaceBackground();
}

// The background takes its picture's size, scaled. Above 100% the shipped UI.bmp gives way to
// the executable's own rendering of it at that scale; any other UI.bmp is drawn scaled.
void TMainForm::PlaceBackground() {
    const int percent = PictureScale(dpi_);
    scaledBackground_.reset(shippedBackground_ && background_ && percent != 100
                                ? LoadPicture(IDB_BACKGROUND, percent)
                                : nullptr);
    pictures_.at(kPictureBackground) =
        scaledBackground_ ? scaledBackground_.get() : background_.get();
    if (background_) {
        const TSize size = Scale(PictureSize(background_.get()), dpi_);
        graphics_.SetBounds("ImageMain", {0, 0, size.width, size.height});
    }
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
