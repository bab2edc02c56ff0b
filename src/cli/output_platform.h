// The platform's part of the output (output_posix.cpp, output_win32.cpp): file descriptors,
// their writes and the identity of the file behind one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace output_platform {

// A file's identity: the device (volume) and the file's number on it.
using TFileId = std::pair<std::uint64_t, std::uint64_t>;

// Opens `path` (the user's form) for writing in binary, created or emptied; -1 with `error`
// (an errno value) when it cannot be.
int Open(const std::string& path, int& error);
// Writes all of `data`; false with `error` (an errno value) at the first failure.
bool Write(int fd, const char* data, std::size_t size, int& error);
void Close(int fd);
// The name of what standard output writes to ("/dev/full"), or "standard output".
std::string StandardOutputName();
// The identity of the regular file behind `fd`; nothing for a terminal, pipe or device.
std::optional<TFileId> IdOf(int fd);
// The identity of the file at `programPath` (the program's path form); nothing when none.
std::optional<TFileId> IdOf(const std::string& programPath);

} // namespace output_platform
