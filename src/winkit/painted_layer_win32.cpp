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
    // The program's texts are UTF-8: drawn as Unicode whatever the system's code page.
    const std::wstring text = WidenUtf8(g.text);
    if (g.kind != TGraphic::Kind::WrapLabel) {
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        return;
    }
    RECT need = r;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (need.bottom <= r.bottom) {
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    // Wrapped, the text would not fit (long paths): one line each, a path shortened in its
    // middle so that its end shows, and no line cut through.
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int height = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
    RECT line{r.left, r.top, r.right, r.top + height};
    for (std::size_t at = 0; at <= text.size() && line.bottom <= r.bottom;) {
        std::size_t end = text.find_first_of(L"\r\n", at); // CR, LF or both end a line
        if (end == std::wstring::npos)
            end = text.size();
        ::DrawTextW(dc, text.c_str() + at, static_cast<int>(end - at), &line,
                    DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
        at = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
        ::OffsetRect(&line, 0, height);
    }
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
