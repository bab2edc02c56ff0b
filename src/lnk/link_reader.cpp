#include "lnk/link_reader.h"

#include "lnk/lnk_format.h"

namespace {

class ShortcutFileReader final : public ILinkReader {
public:
    explicit ShortcutFileReader(std::unique_ptr<IShortcutFiles> files) : files_(std::move(files)) {
        IShortcutFiles* f = files_.get();
        context_.environment = [f](std::string_view name, std::string& value) {
            return f->LookupEnvironment(name, value);
        };
        context_.ansi = [f](std::string_view bytes, std::string& utf8) {
            return f->DecodeAnsi(bytes, utf8);
        };
    }

    std::string ReadTarget(const std::string& shortcutPath) override {
        if (!files_->ReadPrefix(shortcutPath, buffer_))
            return {};
        context_.linkPath = shortcutPath;
        std::string target = lnk::ReadShortcutTarget(buffer_.data(), buffer_.size(), context_);
        context_.linkPath = {};
        return target;
    }

private:
    std::unique_ptr<IShortcutFiles> files_;
    lnk::ReadContext context_;
    std::vector<unsigned char> buffer_; // kept between calls to spare an allocation per file
};

} // namespace

std::unique_ptr<ILinkReader> CreateShortcutFileReader(std::unique_ptr<IShortcutFiles> files) {
    return std::make_unique<ShortcutFileReader>(std::move(files));
}

std::unique_ptr<ILinkReader> SelectLinkReader(ILinkReaderPlatform& platform) {
    if (!platform.RunsUnderWine())
        if (std::unique_ptr<ILinkReader> shell = platform.CreateShellLinkReader())
            return shell;
    return CreateShortcutFileReader(platform.CreateShortcutFiles());
}
