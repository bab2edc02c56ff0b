// One owned handle of the system, of any kind: a window system's handle (base/handles.h), a
// kernel object's HANDLE, a POSIX file descriptor (base/file_descriptor.h). The kind says
// what a handle is, which value owns nothing, how a value the system hands out becomes one
// (the failure values it answers with become the empty one), and how a handle is freed:
//
//   struct TBitmapKind {
//       using Handle = HBITMAP;
//       static constexpr Handle None() { return nullptr; }
//       static Handle Adopt(Handle handle) { return handle; }
//       static void Free(Handle handle);
//   };
//   using TBitmap = TOwnedHandle<TBitmapKind>;
#pragma once

#include <utility>

template <class Kind> class TOwnedHandle {
public:
    using Handle = typename Kind::Handle;

    TOwnedHandle() = default;
    explicit TOwnedHandle(Handle handle) : handle_(Kind::Adopt(handle)) {}
    TOwnedHandle(const TOwnedHandle&) = delete;
    TOwnedHandle& operator=(const TOwnedHandle&) = delete;
    TOwnedHandle(TOwnedHandle&& other) noexcept : handle_(other.release()) {}
    TOwnedHandle& operator=(TOwnedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~TOwnedHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Kind::None(); }
    // Frees the handle held (unless it is `handle` itself) and holds `handle`.
    void reset(Handle handle = Kind::None()) {
        handle = Kind::Adopt(handle);
        if (handle_ != Kind::None() && handle_ != handle)
            Kind::Free(handle_);
        handle_ = handle;
    }
    // Gives the handle up to the caller, who frees it.
    Handle release() { return std::exchange(handle_, Kind::None()); }

private:
    Handle handle_ = Kind::None();
};

// The kind of a handle whose empty value is a null pointer and that the system hands out as
// it is; `FreeHandle` takes it (or what it converts to, such as an HGDIOBJ).
template <class H, auto FreeHandle> struct TPointerHandleKind {
    using Handle = H;
    static constexpr Handle None() { return nullptr; }
    static Handle Adopt(Handle handle) { return handle; }
    static void Free(Handle handle) { FreeHandle(handle); }
};
