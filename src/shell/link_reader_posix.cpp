// Host builds have no shell link object; shortcut files are read directly and parsed.
#include "shell/link_reader.h"

#include "shell/lnk_format.h"
#include "shell/posix_path.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern char** environ;

namespace {

// Environment names compare without regard to ASCII case, as on Windows.
bool LookupEnvironment(std::string_view name, std::string& value) {
    const std::string exact(name);
    if (const char* v = std::getenv(exact.c_str())) {
        value = v;
        return true;
    }
    for (char** e = environ; e && *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (!eq || static_cast<std::size_t>(eq - *e) != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char a = (*e)[i], b = name[i];
            if (a >= 'a' && a <= 'z')
                a = static_cast<char>(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z')
                b = static_cast<char>(b - 'a' + 'A');
            same = a == b;
        }
        if (same) {
            value = eq + 1;
            return true;
        }
    }
    return false;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

class PosixLinkReader final : public ILinkReader {
public:
    std::string ReadTarget(const std::string& shortcutPath) override {
        const FileDescriptor fd(::open(ToPosixPath(shortcutPath).c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0)
            return {};
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return {};
        // Read at most the capped prefix; the file may also grow or shrink meanwhile.
        std::size_t want = lnk::kMaxShortcutBytes;
        if (st.st_size >= 0 && static_cast<unsigned long long>(st.st_size) < want)
            want = static_cast<std::size_t>(st.st_size);
        buffer_.resize(want);
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::read(fd.get(), buffer_.data() + got, want - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        return lnk::ReadShortcutTarget(buffer_.data(), got, {shortcutPath, LookupEnvironment, {}});
    }

private:
    std::vector<unsigned char> buffer_; // kept between calls to spare an allocation per file
};

} // namespace

std::unique_ptr<ILinkReader> CreateSystemLinkReader() { return std::make_unique<PosixLinkReader>(); }
