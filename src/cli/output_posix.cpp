#include "cli/output_platform.h"

#include "base/posix_path.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace output_platform {

namespace {

std::optional<TFileId> IdOfRegular(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return std::nullopt;
    return TFileId(st.st_dev, st.st_ino);
}

} // namespace

int Open(const std::string& path, int& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    error = fd < 0 ? errno : 0;
    return fd;
}

bool Write(int fd, const char* data, std::size_t size, int& error) {
    while (size != 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void Close(int fd) { ::close(fd); }

std::string StandardOutputName() {
    char target[4096];
    const ssize_t n = ::readlink("/proc/self/fd/1", target, sizeof target - 1);
    // A pipe or socket reads "pipe:[1234]"; only a path names something a user can find.
    if (n <= 0 || target[0] != '/')
        return "standard output";
    return std::string(target, static_cast<std::size_t>(n));
}

std::optional<TFileId> IdOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return IdOfRegular(st);
}

std::optional<TFileId> IdOf(const std::string& programPath) {
    struct stat st {};
    if (StatAnyLength(ToPosixPath(programPath), st) != 0)
        return std::nullopt;
    return IdOfRegular(st);
}

} // namespace output_platform
