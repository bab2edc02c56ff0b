#include "ui/picture_store.h"

#include "app/errors.h"
#include "app/system_error.h"
#include "shell/com_ref.h"
#include "ui/win_handles.h"

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <map>
#include <string>

namespace {

// COM on the calling thread while a picture is decoded. The program has it from its start,
// and then this only counts up and down; a caller without it has it for the decode.
class TComUse {
public:
    TComUse() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    TComUse(const TComUse&) = delete;
    TComUse& operator=(const TComUse&) = delete;
    ~TComUse() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }

private:
    HRESULT result_;
};

void Check(HRESULT result, int resourceId) {
    if (FAILED(result))
        throw EOSError("Cannot decode the picture " + std::to_string(resourceId) + ". " +
                       SystemErrorText(static_cast<unsigned long>(result)));
}

bool HasAlpha(IWICImagingFactory& factory, const WICPixelFormatGUID& format, int id) {
    ComRef<IWICComponentInfo> component;
    Check(factory.CreateComponentInfo(format, component.out()), id);
    ComRef<IWICPixelFormatInfo2> info;
    Check(component->QueryInterface(IID_PPV_ARGS(info.out())), id);
    BOOL alpha = FALSE;
    Check(info->SupportsTransparency(&alpha), id);
    return alpha != FALSE;
}

// The PNG file `data` as a DIB section: 32-bit BGRA with the file's colour values as they
// are where it has alpha, else 24-bit BGR (top-down rows, each a multiple of four bytes).
HBITMAP DecodePng(const void* data, DWORD size, int id) {
    TComUse com;
    ComRef<IWICImagingFactory> factory;
    Check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(factory.out())),
          id);
    ComRef<IWICStream> stream;
    Check(factory->CreateStream(stream.out()), id);
    // The stream only reads the resource, which stays mapped as long as the program runs.
    Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size), id);
    ComRef<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           decoder.out()),
          id);
    ComRef<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.out()), id);
    WICPixelFormatGUID format;
    Check(frame->GetPixelFormat(&format), id);
    const bool alpha = HasAlpha(*factory.get(), format, id);
    // For an 8-bit RGB or RGBA file these are the decoder's own formats: nothing is converted.
    ComRef<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.out()), id);
    Check(converter->Initialize(frame.get(),
                                alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR,
                                WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom),
          id);
    UINT width = 0, height = 0;
    Check(converter->GetSize(&width, &height), id);

    const WORD bits = alpha ? 32 : 24;
    const UINT stride = (width * bits + 31) / 32 * 4;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                      static_cast<LONG>(width),
                      -static_cast<LONG>(height),
                      1,
                      bits,
                      BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    void* pixels = nullptr;
    TBitmap picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!picture)
        RaiseLastOSError("Cannot decode the picture " + std::to_string(id));
    Check(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)), id);
    return static_cast<HBITMAP>(picture.release());
}

} // namespace

BitmapHandle LoadPictureResource(void* module, int resourceId) {
    HMODULE from = module ? static_cast<HMODULE>(module) : ::GetModuleHandleA(nullptr);
    const char* name = MAKEINTRESOURCEA(resourceId);
    if (HRSRC png = ::FindResourceA(from, name, RT_RCDATA)) {
        const void* data = ::LockResource(::LoadResource(from, png));
        if (!data)
            RaiseLastOSError("Cannot load the picture " + std::to_string(resourceId));
        return DecodePng(data, ::SizeofResource(from, png), resourceId);
    }
    return ::LoadImageA(from, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
}

BitmapHandle ProgramPicture(int resourceId) {
    // Every picture given out, by resource id; a missing one is kept as nullptr.
    static std::map<int, TBitmap> pictures;
    auto kept = pictures.find(resourceId);
    if (kept == pictures.end())
        kept =
            pictures.emplace(resourceId, TBitmap(LoadPictureResource(nullptr, resourceId))).first;
    return kept->second.get();
}
