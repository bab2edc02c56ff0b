#include "cli/output.h"

#include "base/text.h"
#include "cli/console.h"
#include "cli/output_platform.h"
#include "lnk/lnk_layout.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <streambuf>
#include <vector>

// A stream buffer over the file descriptor. The first failed write is kept in the output's
// error, and every later write fails at once without reaching the system.
class TOutput::Buffer final : public std::streambuf {
public:
    explicit Buffer(TOutput& owner) : owner_(owner), bytes_(64 * 1024) {
        setp(bytes_.data(), bytes_.data() + bytes_.size());
    }

protected:
    int_type overflow(int_type c) override {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        const auto n = static_cast<std::size_t>(size);
        if (n > static_cast<std::size_t>(epptr() - pptr()) && !Drain())
            return 0;
        if (n > bytes_.size())
            return Send(data, n) ? size : 0;
        std::memcpy(pptr(), data, n);
        pbump(static_cast<int>(n));
        return size;
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain() {
        const bool sent = Send(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(bytes_.data(), bytes_.data() + bytes_.size());
        return sent;
    }
    bool Send(const char* data, std::size_t size) {
        if (owner_.error_ != 0)
            return false;
        return size == 0 || output_platform::Write(owner_.fd_, data, size, owner_.error_);
    }

    TOutput& owner_;
    std::vector<char> bytes_;
};

TOutput::TOutput() : TOutput(1, false, output_platform::StandardOutputName()) {
    terminal_ = console::IsTerminal(console::TStream::Out);
}

TOutput::TOutput(int fd, bool owned, std::string name)
    : fd_(fd), owned_(owned), name_(std::move(name)), terminal_(false),
      fileId_(output_platform::IdOf(fd)), buffer_(std::make_unique<Buffer>(*this)),
      stream_(buffer_.get()) {}

TOutput::~TOutput() {
    stream_.flush();
    if (owned_)
        output_platform::Close(fd_);
}

std::unique_ptr<TOutput> TOutput::OpenFile(const std::string& path, std::string& error) {
    if (IsShortcutFile(path)) {
        error = "--output " + path + ": a shortcut, or a name the walk would take for one; " +
                "a report never replaces a shortcut: name the report otherwise";
        return nullptr;
    }
    int openError = 0;
    const int fd = output_platform::Open(path, openError);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(openError);
        return nullptr;
    }
    return std::unique_ptr<TOutput>(new TOutput(fd, true, path));
}

bool TOutput::ReaderGone() const { return error_ == EPIPE; }

std::string TOutput::Error() const {
    return "cannot write " + name_ + ": " + std::strerror(error_);
}

bool TOutput::IsOwnFile(const std::string& programPath) const {
    return fileId_ && output_platform::IdOf(programPath) == fileId_;
}

bool IsShortcutFile(const std::string& path) {
    std::string name = path;
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.size() >= 4 &&
        AsciiLowerCase(std::string_view(name).substr(name.size() - 4)) == ".lnk")
        return true;
    namespace header = lnk::layout::header;
    char start[header::kLinkClsidAt + sizeof lnk::layout::kLinkClsid] = {};
    std::ifstream file(path, std::ios::binary);
    if (!file.read(start, sizeof start))
        return false;
    return static_cast<unsigned char>(start[header::kHeaderSizeAt]) == header::kSize &&
           start[1] == 0 && start[2] == 0 && start[3] == 0 &&
           std::memcmp(start + header::kLinkClsidAt, lnk::layout::kLinkClsid,
                       sizeof lnk::layout::kLinkClsid) == 0;
}
