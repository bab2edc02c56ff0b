// The window system's handles (the kernel's are in kernel_handle_win32.cpp, so a program that
// only needs those does not link the window system).
#include "base/handles.h"

#include <windows.h>
#include <commctrl.h>

namespace win {
void FreeGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
void FreeMemoryDc(HDC dc) { ::DeleteDC(dc); }
void FreeMenu(HMENU menu) { ::DestroyMenu(menu); }
void FreeImageList(HIMAGELIST list) { ImageList_Destroy(list); }
void FreeIcon(HICON icon) { ::DestroyIcon(icon); }
} // namespace win

TSelection::TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}

TSelection::~TSelection() {
    if (previous_)
        ::SelectObject(dc_, previous_);
}

TWindowDc::TWindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}

TWindowDc::~TWindowDc() {
    if (dc_)
        ::ReleaseDC(window_, dc_);
}

TDoubleBuffer::TDoubleBuffer(HDC target, int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1),
      dc_(::CreateCompatibleDC(target)),
      bitmap_(::CreateCompatibleBitmap(target, width_, height_)) {
    if (dc_ && bitmap_)
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
}

TDoubleBuffer::~TDoubleBuffer() {
    if (previous_)
        ::SelectObject(dc_.get(), previous_);
}

void TDoubleBuffer::CopyTo(HDC target) const {
    ::BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}
