#include "base/handles.h"

#include <windows.h>
#include <commctrl.h>

namespace win {
void FreeGdiObject(void* handle) { ::DeleteObject(static_cast<HGDIOBJ>(handle)); }
void FreeMemoryDc(void* handle) { ::DeleteDC(static_cast<HDC>(handle)); }
void FreeMenu(void* handle) { ::DestroyMenu(static_cast<HMENU>(handle)); }
void FreeImageList(void* handle) { ImageList_Destroy(static_cast<HIMAGELIST>(handle)); }
void FreeIcon(void* handle) { ::DestroyIcon(static_cast<HICON>(handle)); }
} // namespace win

TSelection::TSelection(DcHandle dc, GdiHandle object)
    : dc_(dc), previous_(::SelectObject(static_cast<HDC>(dc), static_cast<HGDIOBJ>(object))) {}

TSelection::~TSelection() {
    if (previous_)
        ::SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(previous_));
}

TWindowDc::TWindowDc(void* window) : window_(window), dc_(::GetDC(static_cast<HWND>(window))) {}

TWindowDc::~TWindowDc() {
    if (dc_)
        ::ReleaseDC(static_cast<HWND>(window_), static_cast<HDC>(dc_));
}

TDoubleBuffer::TDoubleBuffer(DcHandle target, int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1),
      dc_(::CreateCompatibleDC(static_cast<HDC>(target))),
      bitmap_(::CreateCompatibleBitmap(static_cast<HDC>(target), width_, height_)) {
    if (dc_ && bitmap_)
        previous_ = ::SelectObject(dc_.as<HDC>(), bitmap_.as<HBITMAP>());
}

TDoubleBuffer::~TDoubleBuffer() {
    if (previous_)
        ::SelectObject(dc_.as<HDC>(), static_cast<HGDIOBJ>(previous_));
}

void TDoubleBuffer::CopyTo(DcHandle target) const {
    ::BitBlt(static_cast<HDC>(target), 0, 0, width_, height_, dc_.as<HDC>(), 0, 0, SRCCOPY);
}
