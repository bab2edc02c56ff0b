#include "lnk/link_reader.h"

#include "lnk/lnk_format.h"

namespace {

class ShortcutFileReader final : public ILinkReader {
public:
    explicit ShortcutFileReader(std::unique_ptr<IShortcutFiles> files) : files_(std::move(files)) {}

    std::string ReadTarget(const std::string& shortcutPath) override {
        return Read(shortcutPath).path;
    }
    lnk::TargetReading Read(const std::string& shortcutPath) override {
        return ReadShortcutFile(*files_, shortcutPath, buffer_);
    }

private:
    std::unique_ptr<IShortcutFiles> files_;
    std::vector<unsigned char> buffer_; // kept between calls to spare an allocation per file
};

} // namespace

bool IShortcutFiles::KnownFolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                                      std::string& place) {
    return lnk::DefaultFolderPlace(
        folder,
        [this, linkPath](std::string_view name, std::string& value) {
            return LookupEnvironment(name, linkPath, value);
        },
        place);
}

lnk::ReadContext ShortcutContext(IShortcutFiles& files, const std::string& windowsPath) {
    lnk::ReadContext context;
    context.linkPath = windowsPath;
    context.environment = [&files, windowsPath](std::string_view name, std::string& value) {
        return files.LookupEnvironment(name, windowsPath, value);
    };
    context.ansi = [&files](std::string_view bytes, std::string& utf8) {
        return files.DecodeAnsi(bytes, utf8);
    };
    context.knownFolder = [&files, windowsPath](const lnk::KnownFolder& folder,
                                                std::string& place) {
        return files.KnownFolderPlace(folder, windowsPath, place);
    };
    return context;
}

lnk::TargetReading ReadShortcutFile(IShortcutFiles& files, const std::string& path,
                                    std::vector<unsigned char>& buffer,
                                    lnk::ShortcutFields* fields) {
    if (!files.ReadPrefix(path, buffer))
        return {};
    const std::string windowsPath = files.WindowsPath(path);
    const lnk::ReadContext context = ShortcutContext(files, windowsPath);
    if (!fields)
        return lnk::ReadTarget(buffer.data(), buffer.size(), context);
    *fields = lnk::ReadShortcutFields(buffer.data(), buffer.size(), context);
    return fields->reading;
}

std::unique_ptr<ILinkReader> CreateShortcutFileReader(std::unique_ptr<IShortcutFiles> files) {
    return std::make_unique<ShortcutFileReader>(std::move(files));
}

std::unique_ptr<ILinkReader> SelectLinkReader(ILinkReaderPlatform& platform) {
    if (!platform.RunsUnderWine())
        if (std::unique_ptr<ILinkReader> shell = platform.CreateShellLinkReader())
            return shell;
    return CreateShortcutFileReader(platform.CreateShortcutFiles());
}
