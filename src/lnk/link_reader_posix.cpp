// Host builds have no shell link object; shortcut files are read directly and parsed.
#include "lnk/link_reader.h"

#include "base/file_descriptor.h"
#include "base/posix_path.h"
#include "lnk/lnk_format.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixShortcutFiles final : public IShortcutFiles {
public:
    bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) override {
        bytes.clear();
        // Never blocks: a FIFO or a device named like a shortcut is opened without waiting
        // for a writer, then refused as no regular file.
        const TFileDescriptor fd(
            OpenAnyLength(ToPosixPath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!fd)
            return false;
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        // Read at most the capped prefix; the file may also grow or shrink meanwhile.
        std::size_t want = lnk::kMaxShortcutBytes;
        if (st.st_size >= 0 && static_cast<unsigned long long>(st.st_size) < want)
            want = static_cast<std::size_t>(st.st_size);
        bytes.resize(want);
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = ::read(fd.get(), bytes.data() + got, want - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return true;
    }

    // The host is no Windows: a shortcut's Windows path, environment and known folders come
    // from the drive mapping of the command-line program (cli/drive_map.h), never from the
    // Linux process.
    std::string WindowsPath(const std::string&) override { return {}; }
    bool LookupEnvironment(std::string_view, std::string_view, std::string&) override {
        return false;
    }

    // The host has no system code page of Windows; the reader's Windows-1252 serves.
    bool DecodeAnsi(std::string_view, std::string&) override { return false; }
};

class PosixPlatform final : public ILinkReaderPlatform {
public:
    bool RunsUnderWine() override { return ::RunsUnderWine(); }
    std::unique_ptr<ILinkReader> CreateShellLinkReader() override { return nullptr; }
    std::unique_ptr<IShortcutFiles> CreateShortcutFiles() override {
        return std::make_unique<PosixShortcutFiles>();
    }
};

} // namespace

std::unique_ptr<ILinkReader> CreateSystemLinkReader() {
    PosixPlatform platform;
    return SelectLinkReader(platform);
}

std::unique_ptr<IShortcutFiles> CreateSystemShortcutFiles() {
    return std::make_unique<PosixShortcutFiles>();
}
