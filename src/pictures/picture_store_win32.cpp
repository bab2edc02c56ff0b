#include "pictures/picture_store.h"

#include "base/com_ref.h"
#include "base/errors.h"
#include "base/handles.h"
#include "base/system_error.h"
#include "pictures/pictures.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <map>
#include <string>
#include <vector>

namespace {

void Check(HRESULT result, int resourceId) {
    if (FAILED(result))
        throw EOSError("Cannot decode the picture " + std::to_string(resourceId) + ". " +
                       SystemErrorText(static_cast<unsigned long>(result)));
}

// Whether pixels of `format` have alpha.
bool HasAlpha(IWICImagingFactory& factory, const WICPixelFormatGUID& format, int id) {
    ComRef<IWICComponentInfo> component;
    Check(factory.CreateComponentInfo(format, component.out()), id);
    ComRef<IWICPixelFormatInfo2> info;
    Check(component.Query(IID_PPV_ARGS(info.out())), id);
    BOOL alpha = FALSE;
    Check(info->SupportsTransparency(&alpha), id);
    return alpha != FALSE;
}

// Decodes PNG files, one after another, with one imaging factory and the PNG decoder's class
// object: under Wine every creation through the registry is a round trip to the server.
class TPngDecoder {
public:
    explicit TPngDecoder(int id) {
        Check(ComCreate(CLSID_WICImagingFactory, IID_PPV_ARGS(factory_.out())), id);
        Check(::CoGetClassObject(CLSID_WICPngDecoder, CLSCTX_INPROC_SERVER, nullptr,
                                 IID_PPV_ARGS(png_.out())),
              id);
    }

    // The PNG file `data` (picture `id`) as a DIB section: 32-bit BGRA with the file's
    // colour values as they are where it has alpha, else 24-bit BGR (top-down rows, each a
    // multiple of four bytes).
    HBITMAP Decode(const void* data, DWORD size, int id) {
        ComRef<IWICStream> stream;
        Check(factory_->CreateStream(stream.out()), id);
        // The stream only reads the resource, which stays mapped while the program runs.
        Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size), id);
        ComRef<IWICBitmapDecoder> decoder;
        Check(png_->CreateInstance(nullptr, IID_PPV_ARGS(decoder.out())), id);
        Check(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand), id);
        ComRef<IWICBitmapFrameDecode> frame;
        Check(decoder->GetFrame(0, frame.out()), id);
        WICPixelFormatGUID format;
        Check(frame->GetPixelFormat(&format), id);
        const bool alpha = HasAlpha(*factory_.get(), format, id);
        // For 8-bit RGB and RGBA files these are the decoder's own formats: nothing changes.
        ComRef<IWICFormatConverter> converter;
        Check(factory_->CreateFormatConverter(converter.out()), id);
        Check(converter->Initialize(
                  frame.get(), alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR,
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
        Check(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)),
              id);
        return picture.release();
    }

private:
    // COM on the calling thread while pictures are decoded, first in and last out. The
    // program is in the apartment from its start, and then this only counts up and down; a
    // caller without it has it for the decode.
    TComApartment com_;
    ComRef<IWICImagingFactory> factory_;
    ComRef<IClassFactory> png_;
};

// The PNG file of resource `id` of `module`, or nullptr when it has none.
const void* PngResource(HMODULE module, int id, DWORD& size) {
    HRSRC png = ::FindResourceA(module, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!png)
        return nullptr;
    const void* data = ::LockResource(::LoadResource(module, png));
    if (!data)
        RaiseLastOSError("Cannot load the picture " + std::to_string(id));
    size = ::SizeofResource(module, png);
    return data;
}

// The ids of one rendering share their ten thousands (pictures/pictures.h).
static_assert(IDB_AT_150 == 2 * IDB_AT_125 && IDB_AT_200 == 3 * IDB_AT_125);
int RenderingOf(int id) { return id / IDB_AT_125; }

// Adds the id `name` to the list at `found` when it is of the same rendering as the list's
// first, and not the background (which a window with a UI.bmp of its own never draws).
BOOL CALLBACK AddOfRendering(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    auto& ids = *reinterpret_cast<std::vector<int>*>(found);
    if (!IS_INTRESOURCE(name))
        return TRUE;
    const int id = static_cast<int>(reinterpret_cast<UINT_PTR>(name));
    if (id != ids.front() && RenderingOf(id) == RenderingOf(ids.front()) &&
        id % IDB_AT_125 != IDB_BACKGROUND)
        ids.push_back(id);
    return TRUE;
}

// `id` and the executable's other PNG pictures of its rendering but the background.
std::vector<int> PicturesDecodedWith(int id) {
    std::vector<int> ids{id};
    ::EnumResourceNamesA(nullptr, RT_RCDATA, AddOfRendering, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

} // namespace

HBITMAP LoadPictureResource(HMODULE module, int resourceId) {
    HMODULE from = module ? module : ::GetModuleHandleA(nullptr);
    DWORD size = 0;
    if (const void* png = PngResource(from, resourceId, size)) {
        TPngDecoder decoder(resourceId);
        return decoder.Decode(png, size, resourceId);
    }
    return static_cast<HBITMAP>(
        ::LoadImageA(from, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HBITMAP ProgramPicture(int resourceId) {
    // Every picture given out, by resource id; a missing one is kept as nullptr.
    static std::map<int, TBitmap> pictures;
    if (auto kept = pictures.find(resourceId); kept != pictures.end())
        return kept->second.get();
    HMODULE program = ::GetModuleHandleA(nullptr);
    DWORD size = 0;
    if (!PngResource(program, resourceId, size))
        return pictures.emplace(resourceId, TBitmap(LoadPictureResource(program, resourceId)))
            .first->second.get();
    // The first PNG picture of a rendering brings the others with it, all from one decoder.
    TPngDecoder decoder(resourceId);
    for (int id : PicturesDecodedWith(resourceId))
        if (!pictures.count(id)) {
            const void* png = PngResource(program, id, size);
            pictures.emplace(id, TBitmap(decoder.Decode(png, size, id)));
        }
    return pictures.at(resourceId).get();
}
