// An owned POSIX file descriptor, closed when it goes. For the host build's POSIX code only
// (it includes <unistd.h>).
//
//   const TFileDescriptor fd(::open(path, O_RDONLY | O_CLOEXEC));
//   if (!fd)
//       return false; // open failed: errno says why
#pragma once

#include "base/owned_handle.h"

#include <unistd.h>

struct TFileDescriptorKind {
    using Handle = int;
    static constexpr Handle None() { return -1; }
    // open and its kin answer a failure with -1.
    static Handle Adopt(Handle fd) { return fd < 0 ? None() : fd; }
    static void Free(Handle fd) { ::close(fd); }
};
using TFileDescriptor = TOwnedHandle<TFileDescriptorKind>;
