#include "base/posix_path.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder that holds the last stretch of `path`, opened stretch by stretch, each shorter
// than PATH_MAX; `rest` is what is left to reach below it. -1 with errno on failure.
int OpenStretches(const std::string& path, std::string& rest, bool& owned) {
    std::size_t at = 0;
    int dir = AT_FDCWD;
    owned = false;
    if (!path.empty() && path[0] == '/') {
        dir = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0)
            return -1;
        owned = true;
        at = 1;
    }
    while (path.size() - at >= PATH_MAX) {
        const std::size_t end = path.rfind('/', at + PATH_MAX - 2);
        if (end == std::string::npos || end <= at) {
            if (owned)
                ::close(dir);
            errno = ENAMETOOLONG; // one name longer than a path may be
            return -1;
        }
        const int next =
            ::openat(dir, path.substr(at, end - at).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        if (owned)
            ::close(dir);
        if (next < 0) {
            errno = error;
            return -1;
        }
        dir = next;
        owned = true;
        at = end + 1;
    }
    rest = path.substr(at);
    return dir;
}

} // namespace

int OpenAnyLength(const std::string& path, int flags) {
    if (path.size() < PATH_MAX) {
        const int fd = ::open(path.c_str(), flags);
        if (fd >= 0 || errno != ENAMETOOLONG)
            return fd;
    }
    std::string rest;
    bool owned = false;
    const int dir = OpenStretches(path, rest, owned);
    if (dir < 0 && dir != AT_FDCWD)
        return -1;
    const int fd = ::openat(dir, rest.c_str(), flags);
    const int error = errno;
    if (owned)
        ::close(dir);
    errno = error;
    return fd;
}

int StatAnyLength(const std::string& path, struct stat& st, bool followLinks) {
    const int how = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    if (path.size() < PATH_MAX) {
        const int r = ::fstatat(AT_FDCWD, path.c_str(), &st, how);
        if (r == 0 || errno != ENAMETOOLONG)
            return r;
    }
    std::string rest;
    bool owned = false;
    const int dir = OpenStretches(path, rest, owned);
    if (dir < 0 && dir != AT_FDCWD)
        return -1;
    const int r = ::fstatat(dir, rest.c_str(), &st, how);
    const int error = errno;
    if (owned)
        ::close(dir);
    errno = error;
    return r;
}
