// Display scale. The layout tables are written in client pixels at 96 dots per inch (100%);
// a window on a denser display multiplies every position, size, font height and column width
// by dpi / 96 when it creates its controls, and again when the system moves it to a display
// of another density. The pictures come in four renderings, 100, 125, 150 and 200%; a window
// takes the one at or just above its own scale and draws it 1:1 where it fits its place
// (always, at those four scales), scaled down to its place otherwise.
//
//   const TBounds at = Scale(TBounds{24, 400, 86, 77}, 144);   // {36, 600, 129, 116}
//   const int id = ScaledPictureId(IDB_DELETE_NORMAL, PictureScale(144)); // the 150% one
#pragma once

#include "base/handles.h"
#include "winkit/painted_layer.h" // TBounds, TSize

#include <array>
#include <string>

inline constexpr int kDesignDpi = 96;

// `value` * dpi / 96, rounded half away from zero (as MulDiv rounds).
int Scale(int value, int dpi);
// Each of left, top, width and height scaled on its own, so that places of the same size in
// the table stay of the same size (and the size of their pictures) at every scale.
TBounds Scale(const TBounds& bounds, int dpi);
TSize Scale(TSize size, int dpi);

// The renderings of the pictures in percent, smallest first.
inline constexpr std::array<int, 4> kPictureScales{100, 125, 150, 200};
// The rendering for a display of `dpi`: the smallest at or above its scale; the largest above
// 200%.
int PictureScale(int dpi);
// The resource id of a picture in the rendering `percent`, from its id at 100%.
int ScaledPictureId(int id, int percent);

// UI.bmp is read from beside the executable and may be replaced by the user. The window
// draws its own renderings of the shipped background above 100% only while UI.bmp is still
// the shipped file (the same size and FNV-1a fingerprint, which the build takes of
// res/pictures/UI.bmp); any other UI.bmp is drawn scaled.
bool IsShippedBackground(const std::string& fileBytes);

// Windows build only (winkit/display_scale_win32.cpp).
// The density the window `window` is shown at: GetDpiForWindow where the system has it
// (Windows 10 1607 and later), else the screen's LOGPIXELSX.
int WindowDpi(WindowHandle window);
// The density of the system (the primary display when the program started).
int SystemDpi();
// The outer size of a window of `style` and `exStyle` (no menu) whose client area is
// `client` at `dpi`: the frame and title bar as the system draws them at that density.
TSize FrameSize(TSize client, unsigned long style, unsigned long exStyle, int dpi);
// Sizes the fixed frame of `window` so its client area is `client` at `dpi`, with its outer
// top-left corner at the RECT `suggested` points to (the one WM_DPICHANGED brings), or where
// it is for nullptr. The frame is measured back and corrected: where the system has not
// (or not yet) redrawn the title bar for the new density, FrameSize alone would be off.
// A window larger than the screen keeps its size.
void FitClientArea(WindowHandle window, TSize client, int dpi, const void* suggested);
// The font `face` with a character height of `height` pixels at 96 dpi, scaled to `dpi`
// (the caller owns it; default character set unless `ansiCharset`).
HFONT MakeScaledFont(const char* face, int height, int dpi, bool bold = false,
                     bool underline = false, bool ansiCharset = false);
