// The main window's surface: its pictures and the painted labels and images, drawn
// off-screen and copied in one step.
#include "windows/main_form.h"

#include "base/errors.h"
#include "base/path_rules.h"
#include "pictures/picture_store.h"
#include "pictures/pictures.h"
#include "platform/program_files.h"
#include "windows/main_form_layout.h"
#include "winkit/display_scale.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// The bytes of a Windows bitmap file as a bitmap compatible with the screen, as LoadImage
// makes one from a file; throws EInvalidGraphic when they are not a whole bitmap file.
HBITMAP BitmapFromFile(const std::string& bytes) {
    const auto invalid = [] { return EInvalidGraphic("Bitmap image is not valid"); };
    BITMAPFILEHEADER file;
    DWORD headerSize = 0;
    if (bytes.size() < sizeof file + sizeof headerSize)
        throw invalid();
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&headerSize, bytes.data() + sizeof file, sizeof headerSize);
    // The header and colour table lie between the file header and the pixels.
    if (file.bfType != 0x4D42 /* "BM" */ || file.bfOffBits > bytes.size() ||
        headerSize < sizeof(BITMAPCOREHEADER) || file.bfOffBits < sizeof file + headerSize)
        throw invalid();
    std::vector<DWORD> info((file.bfOffBits - sizeof file + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(info.data(), bytes.data() + sizeof file, file.bfOffBits - sizeof file);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
    long long width = 0, height = 0, bitCount = 0, pixelBytes = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(info.data());
        width = core->bcWidth, height = core->bcHeight, bitCount = core->bcBitCount;
    } else if (headerSize >= sizeof(BITMAPINFOHEADER)) {
        width = header->biWidth, height = header->biHeight, bitCount = header->biBitCount;
        if (header->biCompression == BI_RLE8 || header->biCompression == BI_RLE4)
            pixelBytes = header->biSizeImage;
        else if (header->biCompression != BI_RGB && header->biCompression != BI_BITFIELDS)
            throw invalid();
    } else {
        throw invalid();
    }
    if (pixelBytes == 0)
        pixelBytes = (width * bitCount + 31) / 32 * 4 * (height < 0 ? -height : height);
    if (width <= 0 || height == 0 ||
        pixelBytes > static_cast<long long>(bytes.size() - file.bfOffBits))
        throw invalid();
    TWindowDc screen(nullptr);
    auto bitmap = ::CreateDIBitmap(screen.get(), header, CBM_INIT, bytes.data() + file.bfOffBits,
                                   reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (!bitmap)
        throw invalid();
    return bitmap;
}

} // namespace

// The info icons are part of the executable, in the rendering for the window's density.
void TMainForm::LoadPictures() {
    const int percent = PictureScale(Dpi());
    pictures_ = {background_.get()};
    for (int i = 0; i < 3; ++i)
        pictures_.push_back(ProgramPicture(ScaledPictureId(IDB_ICON_INFO + i, percent)));
    PlaceBackground();
}

// "UI.bmp" is read from the program's folder, once, and may fail: the caller shows the error
// box, and the window opens without it.
void TMainForm::LoadBackground() {
    const std::string bytes = ReadSharedFile(AddTrailingBackslash(setup_.programFolder) + "UI.bmp");
    background_.reset(BitmapFromFile(bytes));
    shippedBackground_ = IsShippedBackground(bytes);
    PlaceBackground();
}

// The background takes its picture's size, scaled. Above 100% the shipped UI.bmp gives way to
// the executable's own rendering of it at that scale; any other UI.bmp is drawn scaled.
void TMainForm::PlaceBackground() {
    const int percent = PictureScale(Dpi());
    HBITMAP own = shippedBackground_ && background_ && percent != 100
                      ? ProgramPicture(ScaledPictureId(IDB_BACKGROUND, percent))
                      : nullptr;
    pictures_.at(kPictureBackground) = own ? own : background_.get();
    if (background_) {
        const TSize size = Scale(PictureSize(background_.get()), Dpi());
        graphics_.SetBounds("ImageMain", {0, 0, size.width, size.height});
    }
    Invalidate();
}

TSize TMainForm::MeasureText(const std::string& text, int font) {
    return TextExtent(Handle(), fonts_.at(static_cast<std::size_t>(font)), text);
}

void TMainForm::Paint(HDC dc, TSize) { PaintLayer(dc, graphics_, fonts_, pictures_); }
