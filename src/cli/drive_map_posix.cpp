#include "cli/drive_map.h"

#include "base/posix_path.h"

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
    explicit MappedProbes(const TDriveRoots& roots) : roots_(roots) {}

    bool FileExists(const std::string& path) override {
        struct stat st {};
        return !path.empty() && ::stat(ToPosixPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }

    TDriveKind DriveKind(char letter) override {
        const std::string& root = roots_[static_cast<std::size_t>(letter - 'A')];
        return !root.empty() && IsDir(root) ? TDriveKind::Local : TDriveKind::NoVolume;
    }

    TPathState ProbePath(const std::string& path) override {
        std::string_view rest(path);
        std::string root = "/";
        if (rest.size() >= 2 && rest[1] == ':') {
            char letter = rest[0];
            if (letter >= 'a' && letter <= 'z')
                letter = static_cast<char>(letter - 'a' + 'A');
            if (letter < 'A' || letter > 'Z')
                return TPathState::Unknown;
            root = roots_[static_cast<std::size_t>(letter - 'A')];
            if (root.empty())
                return TPathState::Unknown;
            rest.remove_prefix(2);
        } else if (rest.empty() || (rest[0] != '\\' && rest[0] != '/')) {
            return TPathState::Unknown; // relative: nothing to resolve it against
        }
        std::vector<std::string> names;
        while (!rest.empty()) {
            const std::size_t end = rest.find_first_of("\\/");
            std::string name(rest.substr(0, end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (name == "..") {
                if (!names.empty())
                    names.pop_back();
                continue;
            }
            while (!name.empty() && name != "." && (name.back() == '.' || name.back() == ' '))
                name.pop_back();
            if (!name.empty() && name != ".")
                names.push_back(std::move(name));
        }
        return Resolve(root, names, 0);
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
            return IsShortNameForm(name) ? TPathState::Unknown : TPathState::Absent;
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

bool IsShortNameForm(const std::string& name) {
    const std::size_t dot = name.find('.');
    const std::string_view base = std::string_view(name).substr(0, dot);
    const std::string_view ext =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    // Letters, not bytes: a short name may hold letters of the system's code page.
    const auto letters = [](std::string_view part) {
        return g_utf8_strlen(part.data(), static_cast<gssize>(part.size()));
    };
    if (letters(base) < 3 || letters(base) > 8 || letters(ext) > 3 ||
        ext.find('.') != std::string::npos)
        return false;
    const std::size_t tilde = base.rfind('~');
    if (tilde == std::string::npos || tilde == 0 || tilde + 1 == base.size())
        return false;
    // Windows numbers them (PROGRA~1); Wine makes them from a hash (PROGR~3T).
    for (std::size_t i = tilde + 1; i < base.size(); ++i)
        if (!g_ascii_isalnum(base[i]))
            return false;
    return true;
}

std::unique_ptr<IFileProbes> CreateMappedProbes(const TDriveRoots& roots) {
    return std::make_unique<MappedProbes>(roots);
}
