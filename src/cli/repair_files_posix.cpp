#include "cli/repair_files.h"

#include "base/posix_path.h"
#include "cli/output_platform.h"
#include "cli/trash.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixRepairFiles final : public IRepairFiles {
public:
    bool Read(const std::string& path, std::vector<unsigned char>& bytes) override {
        const int fd = OpenAnyLength(ToPosixPath(path), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct stat st {};
        bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= (1 << 24);
        if (ok) {
            // A file that grew meanwhile is read to its end all the same.
            bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
            std::size_t done = 0;
            for (;;) {
                if (done == bytes.size())
                    bytes.resize(bytes.size() * 2);
                const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    ok = n == 0;
                    break;
                }
                done += static_cast<std::size_t>(n);
            }
            bytes.resize(done);
        }
        ::close(fd);
        return ok;
    }
    // Written, not yet flushed: Flush makes a batch durable with one call.
    bool Create(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string& reason) override {
        const std::string file = ToPosixPath(path);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            reason = std::strerror(errno);
            return false;
        }
        int error = 0;
        const bool ok = output_platform::Write(fd, reinterpret_cast<const char*>(bytes.data()),
                                               bytes.size(), error);
        if (!ok)
            reason = std::strerror(error);
        if (::close(fd) != 0 || !ok) {
            if (ok)
                reason = std::strerror(errno);
            ::unlink(file.c_str());
            return false;
        }
        return true;
    }
    // One syncfs for each file system the files are on: an fsync for each file would wait
    // for a journal commit each, a millisecond apiece, several times the rest of a repair.
    bool Flush(const std::vector<std::string>& paths, std::string& reason) override {
        std::set<dev_t> flushed;
        for (const std::string& path : paths) {
            const int fd = OpenAnyLength(ToPosixPath(path), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0) {
                reason = std::strerror(errno);
                if (fd >= 0)
                    ::close(fd);
                return false;
            }
            const bool ok = !flushed.insert(st.st_dev).second || ::syncfs(fd) == 0;
            if (!ok)
                reason = std::strerror(errno);
            ::close(fd);
            if (!ok)
                return false;
        }
        return true;
    }
    std::vector<std::string> Recycle(const std::vector<std::string>& paths) override {
        return MoveAllToTrash(paths);
    }
    // The old name is free: its file went to the trash. One that came back meanwhile is not
    // replaced (checked where the file system cannot refuse to replace by itself).
    bool Rename(const std::string& from, const std::string& to, std::string& reason) override {
        const std::string source = ToPosixPath(from), target = ToPosixPath(to);
        int rc = ::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            if (::access(target.c_str(), F_OK) == 0)
                errno = EEXIST;
            else
                rc = ::rename(source.c_str(), target.c_str());
        }
        if (rc != 0) {
            reason = errno == EEXIST ? "a file of that name is there again" : std::strerror(errno);
            return false;
        }
        return true;
    }
    void Remove(const std::string& path) override { ::unlink(ToPosixPath(path).c_str()); }
};

} // namespace

std::unique_ptr<IRepairFiles> CreateRepairFiles() { return std::make_unique<PosixRepairFiles>(); }
