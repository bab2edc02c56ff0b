#include "cli/drive_map.h"

#include "base/posix_path.h"
#include "base/windows_path.h"

#include <glib.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsPrefix(const std::string& dir) {
    return IsDir(dir + "/dosdevices") && IsDir(dir + "/drive_c");
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string PrefixAbove(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    for (;;) {
        if (IsPrefix(dir))
            return dir;
        if (dir == "/")
            return {};
        dir = Parent(dir);
    }
}

std::string Fold(std::string_view name) {
    bool ascii = true;
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
    }
    if (ascii || !g_utf8_validate(name.data(), static_cast<gssize>(name.size()), nullptr))
        return folded;
    gchar* f = g_utf8_casefold(name.data(), static_cast<gssize>(name.size()));
    std::string result(f);
    g_free(f);
    return result;
}

// A folder's names by their folded form, read once.
struct Listing {
    int error = 0; // errno of opendir, 0 when listed
    std::unordered_multimap<std::string, std::string> byFolded;
};

class MappedProbes final : public IFileProbes {
public:
    MappedProbes(const TDriveRoots& roots, bool winePrefix)
        : roots_(roots), winePrefix_(winePrefix) {}

    bool FileExists(const std::string& path) override {
        struct stat st {};
        return !path.empty() && StatAnyLength(ToPosixPath(path), st) == 0 && !S_ISDIR(st.st_mode);
    }

    TDriveKind DriveKind(char letter) override {
        const std::string& root = roots_[static_cast<std::size_t>(letter - 'A')];
        return !root.empty() && IsDir(root) ? TDriveKind::Local : TDriveKind::NoVolume;
    }

    TPathState ProbePath(const std::string& path) override {
        const char letter = winpath::DriveLetter(path);
        if (letter == 0)
            return TPathState::Unknown; // a share, or a root folder of no known drive
        const std::string& root = roots_[static_cast<std::size_t>(letter - 'A')];
        if (root.empty())
            return TPathState::Unknown;
        std::vector<std::string> names;
        for (const std::string_view stored :
             winpath::Names(std::string_view(path).substr(winpath::RootLength(path)))) {
            std::string name(stored);
            // Windows drops trailing dots and blanks from a name.
            while (!name.empty() && (name.back() == '.' || name.back() == ' '))
                name.pop_back();
            if (!name.empty())
                names.push_back(std::move(name));
        }
        return Resolve(root, names, 0);
    }

    // Linux keeps no short names to compare a stored one with, and a prefix holds Wine's.
    std::string_view ShortNameMiss() override {
        return winePrefix_ ? "short name not found under Wine" : "short name not found on Linux";
    }

private:
    TPathState Resolve(const std::string& dir, const std::vector<std::string>& names,
                       std::size_t i) {
        if (i == names.size())
            return IsDir(dir) ? TPathState::Exists : ExistsOrAbsent(dir);
        const Listing& listing = List(dir);
        if (listing.error != 0)
            return listing.error == ENOENT || listing.error == ENOTDIR ? TPathState::Absent
                                                                       : TPathState::Unknown;
        const std::string& name = names[i];
        const std::string base = dir == "/" ? std::string() : dir;
        const auto [first, last] = listing.byFolded.equal_range(Fold(name));
        if (first == last)
            return TPathState::Absent;
        if (i + 1 == names.size())
            return TPathState::Exists;
        // Names that differ only in case: the exact one first, then the others.
        TPathState best = TPathState::Absent;
        for (int exactPass = 1; exactPass >= 0; --exactPass) {
            for (auto it = first; it != last; ++it) {
                if ((it->second == name) != (exactPass == 1))
                    continue;
                const TPathState s = Resolve(base + "/" + it->second, names, i + 1);
                if (s == TPathState::Exists)
                    return s;
                if (s == TPathState::Unknown)
                    best = s;
            }
        }
        return best;
    }

    static TPathState ExistsOrAbsent(const std::string& path) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0)
            return TPathState::Exists;
        return errno == ENOENT || errno == ENOTDIR ? TPathState::Absent : TPathState::Unknown;
    }

    const Listing& List(const std::string& dir) {
        auto found = cache_.find(dir);
        if (found != cache_.end())
            return found->second;
        Listing& listing = cache_[dir];
        DIR* d = ::opendir(dir.c_str());
        if (d == nullptr) {
            listing.error = errno;
            return listing;
        }
        while (const dirent* e = ::readdir(d)) {
            const std::string_view n(e->d_name);
            if (n != "." && n != "..")
                listing.byFolded.emplace(Fold(n), std::string(n));
        }
        ::closedir(d);
        return listing;
    }

    TDriveRoots roots_;
    bool winePrefix_;
    std::unordered_map<std::string, Listing> cache_;
};

} // namespace

std::string FindWinePrefix(const std::string& folder) {
    std::string found = PrefixAbove(folder);
    if (!found.empty())
        return found;
    char real[PATH_MAX];
    if (::realpath(folder.c_str(), real) != nullptr)
        return PrefixAbove(real);
    return {};
}

// The letters the prefix's registry marks as network drives ("n:"="network" in the key
// Software\Wine\Drives of system.reg).
std::string NetworkLetters(const std::string& prefix) {
    std::ifstream reg(prefix + "/system.reg");
    std::string letters;
    bool inDrives = false;
    for (std::string line; std::getline(reg, line);) {
        if (!line.empty() && line[0] == '[') {
            inDrives = line.rfind("[Software\\\\Wine\\\\Drives]", 0) == 0;
            continue;
        }
        if (inDrives && line.size() > 3 && line[0] == '"' && line[2] == ':' &&
            line.compare(3, std::string::npos, "\"=\"network\"") == 0)
            letters += static_cast<char>(g_ascii_toupper(line[1]));
    }
    return letters;
}

bool ReadWinePrefixDrives(const std::string& prefix, TDriveRoots& roots, std::string& reason) {
    const std::string network = NetworkLetters(prefix);
    const std::string devices = prefix + "/dosdevices";
    DIR* d = ::opendir(devices.c_str());
    if (d == nullptr) {
        reason = devices + ": " + g_strerror(errno);
        return false;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string_view n(e->d_name);
        // "c:" is a drive; "c::" is the raw device behind it.
        if (n.size() != 2 || n[1] != ':' || !g_ascii_isalpha(n[0]))
            continue;
        const std::string link = devices + "/" + std::string(n);
        std::vector<char> target(PATH_MAX);
        const ssize_t length = ::readlink(link.c_str(), target.data(), target.size() - 1);
        if (length <= 0)
            continue;
        std::string to(target.data(), static_cast<std::size_t>(length));
        if (to[0] != '/')
            to = devices + "/" + to;
        const char letter = g_ascii_toupper(n[0]);
        if (network.find(letter) == std::string::npos)
            roots[static_cast<std::size_t>(letter - 'A')] = to;
    }
    ::closedir(d);
    return true;
}

std::unique_ptr<IFileProbes> CreateMappedProbes(const TDriveRoots& roots, bool winePrefix) {
    return std::make_unique<MappedProbes>(roots, winePrefix);
}

namespace {

// `path` made absolute against the working folder, "." and ".." applied and repeated '/'
// folded, without asking the file system.
std::string LexicalAbsolute(const std::string& path) {
    std::string whole = path;
    if (whole.empty() || whole[0] != '/') {
        std::vector<char> cwd(PATH_MAX);
        if (::getcwd(cwd.data(), cwd.size()) != nullptr)
            whole = std::string(cwd.data()) + "/" + whole;
    }
    std::vector<std::string_view> names;
    std::string_view rest(whole);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view name = rest.substr(0, slash);
        rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
    }
    std::string result;
    for (const std::string_view name : names)
        result.append("/").append(name);
    return result.empty() ? "/" : result;
}

class MappedShortcutFiles final : public IShortcutFiles {
public:
    MappedShortcutFiles(const TDriveRoots& roots, TWindowsEnvironment environment)
        : files_(CreateSystemShortcutFiles()), environment_(std::move(environment)) {
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (roots[i].empty())
                continue;
            const char letter = static_cast<char>('A' + i);
            roots_.push_back({letter, LexicalAbsolute(roots[i])});
            char real[PATH_MAX];
            if (::realpath(roots[i].c_str(), real) != nullptr && roots_.back().folder != real)
                roots_.push_back({letter, real});
        }
        if (environment_.AnsiCodePage() != 1252)
            toUtf8_ =
                ::iconv_open("UTF-8", ("CP" + std::to_string(environment_.AnsiCodePage())).c_str());
    }
    ~MappedShortcutFiles() override {
        if (toUtf8_ != reinterpret_cast<iconv_t>(-1))
            ::iconv_close(toUtf8_);
    }
    MappedShortcutFiles(const MappedShortcutFiles&) = delete;
    MappedShortcutFiles& operator=(const MappedShortcutFiles&) = delete;

    bool ReadPrefix(const std::string& path, std::vector<unsigned char>& bytes) override {
        return files_->ReadPrefix(path, bytes);
    }

    std::string WindowsPath(const std::string& path) override {
        const std::string posix = LexicalAbsolute(ToPosixPath(path));
        const Root* best = nullptr;
        for (const Root& root : roots_) {
            const bool inside =
                root.folder == "/" ||
                (posix.starts_with(root.folder) &&
                 (posix.size() == root.folder.size() || posix[root.folder.size()] == '/'));
            if (inside && (!best || root.folder.size() > best->folder.size()))
                best = &root;
        }
        if (!best)
            return {};
        std::string windows{best->letter, ':', '\\'};
        const std::size_t skip = best->folder == "/" ? 1 : best->folder.size() + 1;
        if (skip < posix.size())
            windows += posix.substr(skip);
        for (char& c : windows)
            if (c == '/')
                c = '\\';
        return windows;
    }

    bool LookupEnvironment(std::string_view name, std::string_view linkPath,
                           std::string& value) override {
        return environment_.Lookup(name, linkPath, value);
    }

    bool KnownFolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                          std::string& place) override {
        return environment_.FolderPlace(folder, linkPath, place);
    }

    // Text in the prefix's code page; Windows-1252, the reader's own, needs no converter.
    bool DecodeAnsi(std::string_view bytes, std::string& utf8) override {
        if (toUtf8_ == reinterpret_cast<iconv_t>(-1))
            return false;
        ::iconv(toUtf8_, nullptr, nullptr, nullptr, nullptr);
        std::string in(bytes);
        utf8.assign(4 * bytes.size() + 4, '\0');
        char* from = in.data();
        std::size_t fromLeft = in.size();
        char* to = utf8.data();
        std::size_t toLeft = utf8.size();
        if (::iconv(toUtf8_, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1))
            return false;
        utf8.resize(utf8.size() - toLeft);
        return true;
    }

private:
    struct Root {
        char letter;
        std::string folder; // absolute, no trailing '/' (but "/" itself)
    };
    std::unique_ptr<IShortcutFiles> files_;
    TWindowsEnvironment environment_;
    std::vector<Root> roots_;
    iconv_t toUtf8_ = reinterpret_cast<iconv_t>(-1);
};

} // namespace

std::unique_ptr<IShortcutFiles> CreateMappedShortcutFiles(const TDriveRoots& roots,
                                                          TWindowsEnvironment environment) {
    return std::make_unique<MappedShortcutFiles>(roots, std::move(environment));
}
