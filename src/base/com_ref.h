// COM for the Windows build: one owned interface reference, objects made and asked for other
// interfaces with the SDK's ids through IID_PPV_ARGS, and the calling thread's apartment.
// Needs no platform header: the interfaces, their ids and IID_PPV_ARGS come from the
// caller's own headers, and the reference only calls the interface's own methods.
//
//   TComApartment com;                                   // for as long as COM is used here
//   ComRef<IShellLinkW> link;
//   if (FAILED(ComCreate(CLSID_ShellLink, IID_PPV_ARGS(link.out()))))
//       return {};
//   ComRef<IPersistFile> file;
//   if (FAILED(link.Query(IID_PPV_ARGS(file.out()))))
//       return {};
//   file->Load(path, STGM_READ);                         // both released when they go
#pragma once

#include <utility>

// As the SDK declares them: GUID, IID and CLSID are the struct _GUID.
struct _GUID;
typedef long HRESULT;

// One interface reference; moves, never copies, and releases the reference when it goes.
template <class T> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller holds (an object of the program's own, made with new).
    explicit ComRef(T* held) : p_(held) {}
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComRef() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (T* held = std::exchange(p_, nullptr))
            held->Release();
    }
    // For a call that hands out a reference, as IID_PPV_ARGS(ref.out()); a reference held
    // before is released first.
    T** out() {
        reset();
        return &p_;
    }
    // Asks the object (which must be there) for another interface:
    // ref.Query(IID_PPV_ARGS(other.out())).
    HRESULT Query(const _GUID& iid, void** object) const { return p_->QueryInterface(iid, object); }

private:
    T* p_ = nullptr;
};

// Makes an object of the class `clsid` in this process (CoCreateInstance with
// CLSCTX_INPROC_SERVER): ComCreate(CLSID_ShellLink, IID_PPV_ARGS(link.out())).
HRESULT ComCreate(const _GUID& clsid, const _GUID& iid, void** object);

// The calling thread in a single-threaded COM apartment while the object lives: CoInitializeEx
// with COINIT_APARTMENTTHREADED, which is what CoInitialize does. Apartments nest: a thread
// already in one only counts up, and each apartment that was entered leaves (counts down)
// when it goes. A thread in a multithreaded apartment cannot enter one; then nothing is left
// either.
class TComApartment {
public:
    TComApartment();
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;
    ~TComApartment();

    // Whether the thread is in the apartment (it entered it now or was in it already).
    bool Entered() const;

private:
    HRESULT result_;
};
