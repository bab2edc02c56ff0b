// Owners of the system's handles, so no member holds a raw handle and no destructor frees
// one by hand. Each owner holds its own handle type and get() gives it back as that type:
// nothing is cast between a bitmap, a font and a DC. The header needs no <windows.h>.
//
//   TBitmap picture(::CreateDIBSection(...));   // DeleteObject when it goes
//   TMemoryDc dc(::CreateCompatibleDC(screen));
//   TSelection keep(dc.get(), picture.get());   // selected back out before the DC goes
//   TDoubleBuffer buffer(paintDc, width, height);
//   Draw(buffer.Dc()); buffer.CopyTo(paintDc);
//   TKernelHandle file(::CreateFileW(...));      // CloseHandle; empty when the call failed
#pragma once

#include "base/owned_handle.h"

// The system's handle types, declared as <windows.h> declares them with STRICT (which the
// build defines): a distinct struct pointer each, and HANDLE and HGDIOBJ plain pointers. The
// same typedef again names the same type, so these agree with the SDK's whether <windows.h>
// comes before or after. The host build has no such objects: there a window handle is only
// an opaque value that toolkit-free code passes on.
struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
struct HFONT__;
typedef HFONT__* HFONT;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HMENU__;
typedef HMENU__* HMENU;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct _IMAGELIST;
typedef _IMAGELIST* HIMAGELIST;
typedef void* HANDLE;
typedef void* HGDIOBJ;

// A window of the platform.
using WindowHandle = HWND;

namespace win {
void FreeGdiObject(HGDIOBJ object); // DeleteObject
void FreeMemoryDc(HDC dc);          // DeleteDC
void FreeMenu(HMENU menu);
void FreeImageList(HIMAGELIST list);
void FreeIcon(HICON icon);
void CloseKernelHandle(HANDLE handle);
} // namespace win

using TBitmap = TOwnedHandle<TPointerHandleKind<HBITMAP, win::FreeGdiObject>>;
using TFont = TOwnedHandle<TPointerHandleKind<HFONT, win::FreeGdiObject>>;
using TBrush = TOwnedHandle<TPointerHandleKind<HBRUSH, win::FreeGdiObject>>;
using TMemoryDc = TOwnedHandle<TPointerHandleKind<HDC, win::FreeMemoryDc>>; // CreateCompatibleDC
using TMenu = TOwnedHandle<TPointerHandleKind<HMENU, win::FreeMenu>>;       // CreatePopupMenu
using TImageList = TOwnedHandle<TPointerHandleKind<HIMAGELIST, win::FreeImageList>>;
using TIcon = TOwnedHandle<TPointerHandleKind<HICON, win::FreeIcon>>; // CopyIcon, LoadImage

// A kernel object: a file, an event, a mutex, a process or thread. CreateFile answers a
// failure with INVALID_HANDLE_VALUE where the other calls answer null; either is held as no
// handle.
struct TKernelHandleKind : TPointerHandleKind<HANDLE, win::CloseKernelHandle> {
    static HANDLE Adopt(HANDLE handle);
};
using TKernelHandle = TOwnedHandle<TKernelHandleKind>;

// Selects a GDI object into a DC and selects the previous one back when it goes.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object);
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;
    ~TSelection();

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window DC from GetDC (the screen's for nullptr), released when it goes.
class TWindowDc {
public:
    explicit TWindowDc(HWND window);
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    ~TWindowDc();
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An off-screen surface compatible with `target`, of the given size: everything is drawn on
// Dc() and copied to the target in one step, so nothing flickers.
class TDoubleBuffer {
public:
    TDoubleBuffer(HDC target, int width, int height);
    TDoubleBuffer(const TDoubleBuffer&) = delete;
    TDoubleBuffer& operator=(const TDoubleBuffer&) = delete;
    ~TDoubleBuffer();

    HDC Dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the whole surface to (0, 0) of `target`.
    void CopyTo(HDC target) const;

private:
    int width_, height_;
    TMemoryDc dc_;
    TBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};
