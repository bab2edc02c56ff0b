// Owners of the window system's handles, so no member holds a raw handle and no destructor
// frees one by hand. Handles are opaque here: the header needs no <windows.h>.
//
//   TBitmap picture(::LoadImageA(...));       // DeleteObject when it goes
//   TMemoryDc dc(::CreateCompatibleDC(screen));
//   TSelection keep(dc.get(), picture.get());  // selected back out before the DC goes
//   TDoubleBuffer buffer(paintDc, width, height);
//   Draw(buffer.Dc()); buffer.CopyTo(paintDc);
#pragma once

#include <utility>

// A window of the platform, as an opaque value (an HWND on Windows).
using WindowHandle = void*;

using GdiHandle = void*; // HGDIOBJ: HBITMAP, HFONT, HBRUSH
using DcHandle = void*;  // HDC

namespace win {
void FreeGdiObject(void* handle);
void FreeMemoryDc(void* handle);
void FreeMenu(void* handle);
void FreeImageList(void* handle);
void FreeIcon(void* handle);
} // namespace win

// One owned handle; moves, never copies. A null handle owns nothing.
template <void (*Free)(void*)> class TOwnedHandle {
public:
    TOwnedHandle() = default;
    explicit TOwnedHandle(void* handle) : handle_(handle) {}
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.release()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~TOwnedHandle() { reset(); }

    void* get() const { return handle_; }
    template <class T> T as() const { return static_cast<T>(handle_); }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(void* handle = nullptr) {
        if (handle_ && handle_ != handle)
            Free(handle_);
        handle_ = handle;
    }
    void* release() { return std::exchange(handle_, nullptr); }

private:
    void* handle_ = nullptr;
};

using TGdiObject = TOwnedHandle<win::FreeGdiObject>; // a bitmap, font or brush
using TBitmap = TGdiObject;
using TFont = TGdiObject;
using TMemoryDc = TOwnedHandle<win::FreeMemoryDc>; // CreateCompatibleDC
using TMenu = TOwnedHandle<win::FreeMenu>;         // CreatePopupMenu
using TImageListHandle = TOwnedHandle<win::FreeImageList>;
using TIcon = TOwnedHandle<win::FreeIcon>; // CreateIcon, CopyIcon, LoadImage

// Selects a GDI object into a DC and selects the previous one back when it goes.
class TSelection {
public:
    TSelection(DcHandle dc, GdiHandle object);
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;
    ~TSelection();

private:
    DcHandle dc_;
    GdiHandle previous_;
};

// A window DC from GetDC, released when it goes.
class TWindowDc {
public:
    explicit TWindowDc(void* window);
    TWindowDc(const TWindowDc&) = delete;
    TWindowDc& operator=(const TWindowDc&) = delete;
    ~TWindowDc();
    DcHandle get() const { return dc_; }

private:
    void* window_;
    DcHandle dc_;
};

// An off-screen surface compatible with `target`, of the given size: everything is drawn on
// Dc() and copied to the target in one step, so nothing flickers.
class TDoubleBuffer {
public:
    TDoubleBuffer(DcHandle target, int width, int height);
    TDoubleBuffer(const TDoubleBuffer&) = delete;
    TDoubleBuffer& operator=(const TDoubleBuffer&) = delete;
    ~TDoubleBuffer();

    DcHandle Dc() const { return dc_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies the whole surface to (0, 0) of `target`.
    void CopyTo(DcHandle target) const;

private:
    int width_, height_;
    TMemoryDc dc_;
    TBitmap bitmap_;
    GdiHandle previous_ = nullptr;
};
