// Owns one COM interface reference and releases it when it goes out of scope. Needs no
// platform header: it only calls the interface's own Release.
#pragma once

template <class T> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_)
            p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For the calls that hand out a reference.
    T** out() { return &p_; }
    void** outVoid() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};
