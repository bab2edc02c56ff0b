#include "winkit/painted_layer.h"

#include "base/handles.h"
#include "base/text.h"

#include <windows.h>

namespace {

void DrawLabel(HDC dc, const TGraphic& g, HFONT font) {
    TSelection select(dc, font);
    ::SetTextColor(dc, g.color == kSystemTextColor ? ::GetSysColor(COLOR_WINDOWTEXT)
                                                   : static_cast<COLORREF>(g.color));
    RECT r{g.bounds.left, g.bounds.top, g.bounds.left + g.bounds.width,
           g.bounds.top + g.bounds.height};
    const UINT format = g.kind == TGraphic::Kind::WrapLabel
                            ? DT_WORDBREAK | DT_NOPREFIX
                            : DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
    // The program's texts are UTF-8: drawn as Unicode whatever the system's code page.
    const std::wstring text = WidenUtf8(g.text);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

template <class T> T At(const std::vector<T>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size())
               ? list[static_cast<std::size_t>(index)]
               : nullptr;
}

} // namespace

void PaintLayer(HDC dc, const TPaintedLayer& layer, const std::vector<HFONT>& fonts,
                const std::vector<HBITMAP>& pictures) {
    ::SetBkMode(dc, TRANSPARENT);
    for (const TGraphic& g : layer.Items()) {
        if (!g.visible)
            continue;
        switch (g.kind) {
        case TGraphic::Kind::Label:
        case TGraphic::Kind::WrapLabel:
            DrawLabel(dc, g, At(fonts, g.font));
            break;
        case TGraphic::Kind::Image:
        case TGraphic::Kind::AlphaImage:
            DrawPicture(dc, g.bounds, At(pictures, g.picture),
                        g.kind == TGraphic::Kind::AlphaImage ? TPictureBlend::Alpha
                                                             : TPictureBlend::Opaque);
            break;
        }
    }
}

TSize TextExtent(HWND window, HFONT font, const std::string& text) {
    TWindowDc dc(window);
    TSelection select(dc.get(), font);
    RECT r{0, 0, 0, 0};
    const std::wstring wide = WidenUtf8(text);
    ::DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &r,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {r.right - r.left, r.bottom - r.top};
}

TSize PictureSize(HBITMAP picture) {
    BITMAP info{};
    if (!picture || !::GetObjectA(picture, sizeof info, &info))
        return {};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

// A picture fills its place: 1:1 where it has the place's size, scaled to it otherwise (a
// rendering for a denser display than the window's, a UI.bmp of the user's own, a stretched
// button).
void DrawPicture(HDC dc, const TBounds& at, HBITMAP picture, TPictureBlend blend) {
    const TSize size = PictureSize(picture);
    if (size.width == 0 || at.width <= 0 || at.height <= 0)
        return;
    TMemoryDc source(::CreateCompatibleDC(dc));
    TSelection select(source.get(), picture);
    HDC src = source.get();
    const bool same = size.width == at.width && size.height == at.height;
    switch (blend) {
    case TPictureBlend::Alpha: {
        BLENDFUNCTION alpha{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(dc, at.left, at.top, at.width, at.height, src, 0, 0, size.width, size.height,
                     alpha);
        break;
    }
    case TPictureBlend::TopLeftTransparent:
        ::TransparentBlt(dc, at.left, at.top, at.width, at.height, src, 0, 0, size.width,
                         size.height, ::GetPixel(src, 0, 0));
        break;
    case TPictureBlend::Opaque:
        if (same) {
            ::BitBlt(dc, at.left, at.top, at.width, at.height, src, 0, 0, SRCCOPY);
        } else {
            const int mode = ::SetStretchBltMode(dc, HALFTONE);
            ::StretchBlt(dc, at.left, at.top, at.width, at.height, src, 0, 0, size.width,
                         size.height, SRCCOPY);
            ::SetStretchBltMode(dc, mode);
        }
        break;
    }
}
