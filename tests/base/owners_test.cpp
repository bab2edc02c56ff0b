// The owners of handles and COM references: each frees what it holds exactly once, a moved-
// from owner frees nothing, and an owner that holds nothing frees nothing (a file
// descriptor's "nothing" is -1: 0 is standard input).
#include "base/com_ref.h"
#include "base/file_descriptor.h"
#include "base/owned_handle.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <utility>
#include <vector>

#include <fcntl.h>

namespace {

// Handles are small numbers here; 0 owns nothing and the system answers a failure with -1.
std::vector<int> freed;
struct TFakeKind {
    using Handle = int;
    static constexpr Handle None() { return 0; }
    static Handle Adopt(Handle handle) { return handle < 0 ? None() : handle; }
    static void Free(Handle handle) { freed.push_back(handle); }
};
using TFake = TOwnedHandle<TFakeKind>;

TEST(OwnedHandle, FreesWhatItHoldsOnceWhereverItMoves) {
    freed.clear();
    {
        TFake a(7);
        TFake b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 7);
        TFake c;
        c = std::move(b);
        EXPECT_TRUE(freed.empty());
        c = TFake(8); // the one held goes
        EXPECT_EQ(freed, std::vector<int>{7});
        c.reset(8); // the same handle again: kept
        EXPECT_EQ(freed, std::vector<int>{7});
        TFake d(9);
        EXPECT_EQ(d.release(), 9); // the caller's now
        TFake failed(-1);
        EXPECT_FALSE(failed);
    }
    EXPECT_EQ(freed, (std::vector<int>{7, 8}));
}

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

TEST(FileDescriptor, ClosesItsOwnAndNothingElse) {
    int fd = -1;
    {
        const TFileDescriptor none;
        const TFileDescriptor failed(::open("/nonexistent/file", O_RDONLY));
        EXPECT_FALSE(failed);
        TFileDescriptor file(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        ASSERT_TRUE(file);
        fd = file.get();
        const TFileDescriptor taken(std::move(file));
        EXPECT_TRUE(IsOpen(fd));
    }
    EXPECT_FALSE(IsOpen(fd));
    EXPECT_TRUE(IsOpen(0)); // the empty owners left standard input alone
}

// An interface that counts its references.
struct TCounted {
    int references = 1;
    void AddRef() { ++references; }
    void Release() { --references; }
};

TEST(ComRef, ReleasesItsReferenceOnce) {
    TCounted first, second;
    {
        ComRef<TCounted> a(&first);
        ComRef<TCounted> b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(first.references, 1);
        *b.out() = &second; // a call that hands out a reference: the one held goes first
        EXPECT_EQ(first.references, 0);
        ComRef<TCounted> c;
        c = std::move(b);
        EXPECT_EQ(second.references, 1);
    }
    EXPECT_EQ(first.references, 0);
    EXPECT_EQ(second.references, 0);
}

} // namespace
