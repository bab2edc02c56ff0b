#include "cli/drive_map.h"

#include "base/windows_path.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// Seconds and nanoseconds since 1970 as a FILETIME (100 ns since 1601).
std::uint64_t FileTime(std::int64_t seconds, std::uint32_t nanoseconds) {
    constexpr std::int64_t kEpochDifference = 11644473600;
    if (seconds + kEpochDifference < 0)
        return 0;
    return static_cast<std::uint64_t>(seconds + kEpochDifference) * 10000000u + nanoseconds / 100u;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

class MappedSearchFileSystem final : public ISearchFileSystem {
public:
    explicit MappedSearchFileSystem(const TDriveRoots& roots) : roots_(roots) {}

    bool List(const std::string& folder, std::vector<TSearchEntry>& entries) override {
        const std::string dir = Local(folder);
        if (dir.empty())
            return false;
        DIR* d = ::opendir(dir.c_str());
        if (d == nullptr)
            return false;
        while (const dirent* e = ::readdir(d)) {
            const std::string_view name(e->d_name);
            if (name == "." || name == "..")
                continue;
            TSearchEntry entry;
            entry.name = std::string(name);
            if (e->d_type == DT_DIR) {
                entry.folder = true;
            } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
                struct stat st {};
                entry.folder =
                    ::stat((dir + "/" + entry.name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            }
            entries.push_back(std::move(entry));
        }
        ::closedir(d);
        return true;
    }

    bool Details(const std::string& path, TSearchEntry& entry) override {
        const std::string local = Local(path);
        struct statx st {};
        if (local.empty() ||
            ::statx(AT_FDCWD, local.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
            return false;
        const bool folder = S_ISDIR(st.stx_mode);
        entry.attributes = folder ? 0x10 : 0x20;
        entry.size = folder ? 0 : st.stx_size;
        entry.written = FileTime(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
        entry.created = (st.stx_mask & STATX_BTIME) != 0
                            ? FileTime(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                            : 0;
        return true;
    }

    std::vector<TSearchVolume> Volumes() override {
        std::vector<TSearchVolume> volumes;
        for (std::size_t i = 0; i < roots_.size(); ++i) {
            const std::string& root = roots_[i];
            struct stat st {};
            if (root.empty() || ::stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
            TSearchVolume v;
            v.letter = static_cast<char>('A' + i);
            // Wine's own record of the volume, where it keeps one: the serial in hexadecimal.
            std::istringstream(FirstLine(root + "/.windows-serial")) >> std::hex >> v.serial;
            v.label = FirstLine(root + "/.windows-label");
            v.searchRoot = root.find_first_not_of('/') != std::string::npos;
            volumes.push_back(std::move(v));
        }
        return volumes;
    }

private:
    // The Linux path of a Windows path on a mapped letter; "" when the letter is not mapped.
    std::string Local(const std::string& path) const {
        const char letter = winpath::DriveLetter(path);
        if (letter == 0 || winpath::RootLength(path) != 3)
            return {};
        std::string local = roots_[static_cast<std::size_t>(letter - 'A')];
        if (local.empty())
            return {};
        for (const std::string_view name : winpath::Names(std::string_view(path).substr(3))) {
            if (local.empty() || local.back() != '/')
                local += '/';
            local += name;
        }
        return local;
    }

    TDriveRoots roots_;
};

} // namespace

std::unique_ptr<ISearchFileSystem> CreateMappedSearchFileSystem(const TDriveRoots& roots) {
    return std::make_unique<MappedSearchFileSystem>(roots);
}
