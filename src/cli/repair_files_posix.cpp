#include "cli/repair_files.h"

#include "base/posix_path.h"
#include "cli/trash.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace {

class PosixRepairFiles final : public IRepairFiles {
public:
    bool Read(const std::string& path, std::vector<unsigned char>& bytes) override {
        std::ifstream in(ToPosixPath(path), std::ios::binary);
        if (!in)
            return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !in.bad();
    }
    bool Create(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string& reason) override {
        const std::string file = ToPosixPath(path);
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            reason = std::strerror(errno);
            return false;
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        const bool ok = done == bytes.size() && ::fsync(fd) == 0;
        if (!ok)
            reason = std::strerror(errno);
        ::close(fd);
        if (!ok)
            ::unlink(file.c_str());
        return ok;
    }
    bool Recycle(const std::string& path, std::string& reason) override {
        return MoveToTrash(path, reason);
    }
    bool Rename(const std::string& from, const std::string& to, std::string& reason) override {
        // The old name is free: its file went to the trash; one that came back meanwhile is
        // not replaced.
        if (::access(ToPosixPath(to).c_str(), F_OK) == 0) {
            reason = "a file of that name is there again";
            return false;
        }
        if (::rename(ToPosixPath(from).c_str(), ToPosixPath(to).c_str()) != 0) {
            reason = std::strerror(errno);
            return false;
        }
        return true;
    }
    void Remove(const std::string& path) override { ::unlink(ToPosixPath(path).c_str()); }
};

} // namespace

std::unique_ptr<IRepairFiles> CreateRepairFiles() { return std::make_unique<PosixRepairFiles>(); }
