// The labels and pictures a window paints on its own surface (not child windows), for the
// main window and the About box alike. Toolkit-free: the window supplies text measuring and
// invalidation; winkit/painted_layer_win32 paints the layer.
//
//   TPaintedLayer layer(measure, invalidate);
//   layer.Add({.name = "LabelTotal", .bounds = {616, 496, 28, 13}, .text = "Total:"});
//   layer.SetText("LabelTotalCount", "42");   // repaints only when the text changed
//
// Nothing is repainted unless it changed: an idle window that sets the same texts again and
// again asks for no painting at all, so it stays at rest.
#pragma once

#include "base/geometry.h"
#include "base/handles.h"

#include <functional>
#include <string>
#include <vector>

// The colour of the system's window text, where a graphic gives no colour of its own.
inline constexpr unsigned long kSystemTextColor = 0xFFFFFFFFul;

struct TGraphic {
    enum class Kind {
        Label,     // one line; takes its text's size
        WrapLabel, // fixed size, word-wrapped
        Image,     // a picture filling its place: 1:1 when it has the place's size
        AlphaImage // the same with an alpha channel, drawn blended
    };
    std::string name;
    TBounds bounds;
    std::string text;
    Kind kind = Kind::Label;
    bool visible = true;
    int font = 0;                           // index of the window's fonts
    unsigned long color = kSystemTextColor; // COLORREF of the text
    int picture = -1;                       // index of the window's pictures
    int group = 0;                          // graphics of one non-zero group: one shows at a time
};

class TPaintedLayer {
public:
    // The size of `text` on one line in the window's font number `font`.
    using Measure = std::function<TSize(const std::string& text, int font)>;
    // Asks the window to repaint an area.
    using Invalidate = std::function<void(const TBounds& area)>;

    TPaintedLayer(Measure measure, Invalidate invalidate);

    // Appends a graphic; later ones paint over earlier ones. A label takes its text's size.
    void Add(TGraphic graphic);
    const std::vector<TGraphic>& Items() const { return items_; }
    const TGraphic* Find(const std::string& name) const;
    // A graphic's place, text and visibility by name: false, "" and false for an unknown one.
    bool BoundsOf(const std::string& name, TBounds& bounds) const;
    std::string TextOf(const std::string& name) const;
    bool VisibleOf(const std::string& name) const;

    // Each setter repaints the old and the new area when, and only when, something changed.
    // An unknown name changes nothing. True when something changed.
    bool SetText(const std::string& name, const std::string& text);
    bool SetVisible(const std::string& name, bool visible);
    bool SetBounds(const std::string& name, const TBounds& bounds);
    // Shows `name` and hides the other graphics of its group.
    void ShowOnly(const std::string& name);
    // Measures every self-sizing label again (after the fonts changed).
    void Remeasure();

    // The top-most visible graphic at a point, or nullptr.
    const TGraphic* HitTest(int x, int y) const;

private:
    TGraphic* Lookup(const std::string& name);
    void Fit(TGraphic& graphic);

    Measure measure_;
    Invalidate invalidate_;
    std::vector<TGraphic> items_;
};

// Windows build only (winkit/painted_layer_win32.cpp).
// Draws every visible graphic of `layer` on `dc`, back to front: fonts[i] is font number i,
// pictures[i] picture number i (a missing one draws nothing).
void PaintLayer(HDC dc, const TPaintedLayer& layer, const std::vector<HFONT>& fonts,
                const std::vector<HBITMAP>& pictures);
// The size of `text` on one line in `font`, as the window `window` draws it.
TSize TextExtent(HWND window, HFONT font, const std::string& text);
// The size of `picture`, {0, 0} for none.
TSize PictureSize(HBITMAP picture);
// How a picture's pixels meet what is under them.
enum class TPictureBlend {
    Opaque,             // copied
    Alpha,              // blended by its alpha channel (premultiplied)
    TopLeftTransparent, // its top-left pixel's colour is transparent
};
// Draws `picture` to fill `at`: 1:1 where it has that size, scaled to it otherwise. The one
// picture drawing of the window kit: painted graphics and image buttons alike.
void DrawPicture(HDC dc, const TBounds& at, HBITMAP picture, TPictureBlend blend);
