#include "base/errors.h"
#include "base/file_descriptor.h"
#include "base/posix_path.h"
#include "platform/program_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ErrnoText(int code) { return TrimSystemText(std::strerror(code)); }

} // namespace

std::string GetExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// POSIX has no share modes: the file is opened read-only and others stay free to write it.
std::string ReadSharedFile(const std::string& path) {
    const TFileDescriptor fd(::open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        throw EFOpenError(CannotOpenFileMessage(path, ErrnoText(errno)));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw EFOpenError(CannotOpenFileMessage(path, ErrnoText(errno)));
    if (S_ISDIR(st.st_mode)) // Windows refuses to open a folder as a file, so does this
        throw EFOpenError(CannotOpenFileMessage(path, ErrnoText(EISDIR)));
    std::string content;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(CannotReadFileMessage(path, ErrnoText(errno)));
        }
        if (got == 0)
            return content;
        content.append(chunk, static_cast<std::size_t>(got));
    }
}
