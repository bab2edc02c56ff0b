// The COM apartment and the kernel handle owner against the system: apartments nest and each
// leaves only what it entered, and a kernel handle is closed once, by its last owner.
#include "base/com_ref.h"
#include "base/handles.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

namespace {

// Runs `body` on a thread of its own, so the test's apartments start from none.
template <class F> void OnNewThread(F body) { std::thread(body).join(); }

// Whether the calling thread is in a single-threaded apartment, asked without changing that.
bool InApartment() {
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result))
        ::CoUninitialize();
    return result == S_FALSE;
}

TEST(ComApartment, NestsAndLeavesOnlyWhatItEntered) {
    OnNewThread([] {
        EXPECT_FALSE(InApartment());
        {
            const TComApartment outer;
            EXPECT_TRUE(outer.Entered());
            {
                const TComApartment inner; // counts up
                EXPECT_TRUE(inner.Entered());
            }
            EXPECT_TRUE(InApartment()); // the inner one left only its own count
        }
        EXPECT_FALSE(InApartment());
    });
}

TEST(ComApartment, CannotEnterWhereTheThreadIsMultithreadedAndLeavesItAlone) {
    OnNewThread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const TComApartment refused;
            EXPECT_FALSE(refused.Entered());
        }
        // Still in the multithreaded apartment: entering it again only counts up.
        EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        ::CoUninitialize();
        ::CoUninitialize();
    });
}

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return ::GetHandleInformation(handle, &flags) != FALSE;
}

TEST(KernelHandle, HoldsAFailureAsNothingAndClosesOnce) {
    EXPECT_FALSE(TKernelHandle(::CreateFileA("Z:\\nonexistent\\file", GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr)));
    EXPECT_FALSE(TKernelHandle(::OpenEventA(EVENT_MODIFY_STATE, FALSE, "no such event")));
    HANDLE raw = nullptr;
    {
        TKernelHandle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.get();
        const TKernelHandle taken(std::move(event));
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));
}

} // namespace
