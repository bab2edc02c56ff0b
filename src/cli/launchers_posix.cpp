// Wine's launchers found where winemenubuilder writes them, judged with the prefix they start,
// reported, and on request moved to the trash with what belongs to them alone.
#include "cli/launcher_sweep.h"

#include "base/posix_path.h"
#include "base/text.h"
#include "base/windows_path.h"
#include "cli/console.h"
#include "cli/drive_map.h"
#include "cli/launchers.h"
#include "cli/output.h"
#include "cli/target_probes.h"
#include "cli/trash.h"
#include "cli/windows_env.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A launcher is a few hundred bytes; anything much larger is not one Wine wrote.
constexpr off_t kMaxLauncherBytes = 64 * 1024;

// An association's launcher is applications/wine-extension-EXT.desktop, its MIME type's
// package mime/packages/x-wine-extension-EXT.xml.
constexpr std::string_view kAssociationStem = "wine-extension-";

void Complain(const std::string& message) { std::cerr << "shortcut-sweeper: " << message << '\n'; }

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// An XDG base folder: the variable when it holds an absolute path, else HOME/fallback.
std::string BaseFolder(const char* variable, const std::string& home, const char* fallback) {
    const std::string value = Env(variable);
    return !value.empty() && value[0] == '/' ? value : home + "/" + fallback;
}

// XDG_DESKTOP_DIR of user-dirs.dirs ("$HOME/Desktop" as xdg-user-dirs writes it), else
// HOME/Desktop.
std::string DesktopFolder(const std::string& configHome, const std::string& home) {
    std::ifstream dirs(configHome + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        if (line.rfind("XDG_DESKTOP_DIR=\"", 0) != 0 || line.back() != '"')
            continue;
        std::string value = line.substr(17, line.size() - 18);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return home + "/Desktop";
}

// Reads the launcher's bytes; false with the reason when it is no launcher's text.
bool ReadLauncher(const std::string& path, std::string& text, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok)
        reason = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        ok = false, reason = "not a regular file";
    else if (st.st_size > kMaxLauncherBytes)
        ok = false, reason = "too large for a launcher (" + std::to_string(st.st_size) + " bytes)";
    text.clear();
    char buffer[8192];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false, reason = std::strerror(errno);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > static_cast<std::size_t>(kMaxLauncherBytes))
            ok = false, reason = "too large for a launcher";
    }
    ::close(fd);
    if (ok && !(reason = TextProblem(text)).empty())
        ok = false;
    return ok;
}

// A whole file, read at once (a prefix's registry is megabytes).
bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    text.assign(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
    return size >= 0 && in.seekg(0) && in.read(text.data(), size);
}

// The result of a stat: there, gone (no such file or a file where a folder should be), or
// an error that leaves the question open (a link loop, access denied).
enum class TFound { There, Gone, Error };
TFound Find(const std::string& path, std::string& reason) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return TFound::There;
    if (errno == ENOENT || errno == ENOTDIR)
        return TFound::Gone;
    reason = std::strerror(errno);
    return TFound::Error;
}

// The file a path names as Wine finds it: each name that is not there as written matched in
// its folder without regard to case, as Wine's file system does. The path as given when a
// folder on the way cannot be listed or holds no such name.
std::string AsWineFinds(const std::string& path) {
    std::string found, reason;
    if (Find(path, reason) != TFound::Gone)
        return path;
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t end = path.find('/', at + 1);
        if (end == std::string::npos)
            end = path.size();
        std::string next = found + path.substr(at, end - at);
        at = end;
        if (Find(next, reason) != TFound::Gone || next.size() <= found.size() + 1) {
            found = std::move(next);
            continue;
        }
        const std::string name = next.substr(found.size() + 1);
        DIR* dir = ::opendir(found.empty() ? "/" : found.c_str());
        if (dir == nullptr)
            return path;
        std::string match;
        while (const dirent* entry = ::readdir(dir))
            if (winpath::SameName(entry->d_name, name)) {
                match = entry->d_name;
                break;
            }
        ::closedir(dir);
        if (match.empty())
            return path;
        found += "/" + match;
    }
    return found;
}

// The sections of a registry file that hold the open commands of its classes
// ("[Software\\Classes\\PROGID\\shell\\open\\command]" and its values), by their key as
// written there in lower case.
using TCommandSections = std::unordered_map<std::string, std::string_view>;
constexpr std::string_view kClassesKey = R"(Software\\Classes\\)";
constexpr std::string_view kOpenCommandKey = R"(\\shell\\open\\command)";
TCommandSections OpenCommandSections(std::string_view reg) {
    TCommandSections sections;
    std::string_view* section = nullptr;
    for (std::size_t at = 0; at < reg.size();) {
        std::size_t end = reg.find('\n', at);
        end = end == std::string_view::npos ? reg.size() : end + 1;
        if (reg[at] == '[') {
            const std::size_t close = reg.find(']', at);
            const std::string_view key = reg.substr(at + 1, std::min(close, end) - at - 1);
            section = key.size() > kClassesKey.size() + kOpenCommandKey.size() &&
                              winpath::SameName(key.substr(0, kClassesKey.size()), kClassesKey) &&
                              winpath::SameName(key.substr(key.size() - kOpenCommandKey.size()),
                                                kOpenCommandKey)
                          ? &(sections[AsciiLowerCase(key)] = reg.substr(at, 0))
                          : nullptr;
        }
        if (section != nullptr)
            *section = std::string_view(section->data(), end - (section->data() - reg.data()));
        at = end;
    }
    return sections;
}

// The values of a section; its command (the key's default value, written "@=") named "@"
// so that RegistryValues reads it.
std::map<std::string, std::string> SectionValues(std::string_view section, const std::string& key) {
    std::string text;
    for (std::size_t at = 0; at < section.size();) {
        std::size_t end = section.find('\n', at);
        end = end == std::string_view::npos ? section.size() : end + 1;
        std::string_view line = section.substr(at, end - at);
        at = end;
        if (line.starts_with("@=")) {
            text += "\"@\"";
            line.remove_prefix(1);
        }
        text += line;
    }
    return RegistryValues(text, key);
}

// %NAME% replaced by the variable's value in the prefix's environment, where it is known.
std::string Expanded(std::string text, const TWindowsEnvironment& environment) {
    for (std::size_t at = text.find('%'); at != std::string::npos;) {
        const std::size_t end = text.find('%', at + 1);
        std::string value;
        if (end == std::string::npos ||
            !environment.Lookup(text.substr(at + 1, end - at - 1), "", value))
            break;
        text.replace(at, end - at + 1, value);
        at = text.find('%', at + value.size());
    }
    return text;
}

} // namespace

// What a prefix's launchers are judged with, made once per prefix.
struct TPrefix {
    std::string problem; // why it cannot be read; "" when it can
    TDriveRoots roots;
    TTargetSystem targets;
    // The open commands of the user's classes, then the machine's, read with the first
    // association, and the environment they are expanded in, made with the first that names
    // a variable.
    bool registryRead = false;
    std::string registryProblem; // why the registry cannot be read; "" when it can
    std::string userReg, systemReg;
    TCommandSections userCommands, machineCommands; // into the texts
    std::optional<TWindowsEnvironment> environment;

    // The command the prefix opens a ProgID's files with; false when it has none (or its
    // registry cannot be read: registryProblem).
    bool OpenCommand(const std::string& prefix, const std::string& progId, std::string& command) {
        if (!registryRead) {
            registryRead = true;
            if (!ReadText(prefix + "/system.reg", systemReg))
                registryProblem =
                    "Wine prefix's registry cannot be read (" + prefix + "/system.reg)";
            ReadText(prefix + "/user.reg", userReg); // none before the user's first start
            userCommands = OpenCommandSections(userReg);
            machineCommands = OpenCommandSections(systemReg);
        }
        // The key as the file writes it, its backslashes doubled; a ProgID the file writes
        // otherwise (with escapes for other letters) is looked for in every section.
        std::string written = "software\\\\classes\\\\";
        bool plain = true;
        for (const char c : AsciiLowerCase(progId)) {
            written += c == '\\' ? std::string("\\\\") : std::string(1, c);
            plain = plain && c >= ' ' && c <= '~' && c != '"';
        }
        written += "\\\\shell\\\\open\\\\command";
        const std::string key = "Software\\Classes\\" + progId + "\\shell\\open\\command";
        for (const TCommandSections* commands : {&userCommands, &machineCommands}) {
            std::map<std::string, std::string> values;
            if (const auto it = commands->find(written); it != commands->end())
                values = SectionValues(it->second, key);
            for (auto it = commands->begin(); !plain && values.empty() && it != commands->end();
                 ++it)
                values = SectionValues(it->second, key);
            if (const auto it = values.find("@"); it != values.end() && !it->second.empty()) {
                command = it->second;
                if (command.find('%') != std::string::npos) {
                    if (!environment)
                        environment = TWindowsEnvironment::FromWineRegistry(systemReg, userReg);
                    command = Expanded(command, *environment);
                }
                return true;
            }
        }
        return false;
    }
};

TLauncherJudge::TLauncherJudge(std::string home) : home_(std::move(home)) {}
TLauncherJudge::~TLauncherJudge() = default;

bool TLauncherJudge::Judge(const TWineLauncher& l, TLauncherReport& r, std::string& error) {
    r.prefix = l.prefix.empty() ? home_ + "/.wine" : l.prefix;
    std::string reason;
    switch (Find(r.prefix, reason)) {
    case TFound::Gone:
        r.dead = true;
        r.reason = kPrefixGone;
        return true;
    case TFound::Error:
        error = "Wine prefix " + r.prefix + ": " + reason;
        return false;
    case TFound::There:
        break;
    }
    std::unique_ptr<TPrefix>& prefix = prefixes_[r.prefix];
    if (!prefix) {
        prefix = std::make_unique<TPrefix>();
        TCliOptions options;
        options.winePrefix = r.prefix;
        if (!ReadWinePrefixDrives(r.prefix, prefix->roots, prefix->problem) ||
            !CreateTargetSystem(options, {}, prefix->targets, prefix->problem))
            prefix->problem = "Wine prefix cannot be read (" + prefix->problem + ")";
    }
    if (!prefix->problem.empty()) {
        r.reason = prefix->problem;
        return true;
    }
    IFileProbes& probes = *prefix->targets.probes;
    if (l.form == TLauncherForm::Association) {
        std::string command;
        if (!prefix->OpenCommand(r.prefix, l.path, command)) {
            r.reason = prefix->registryProblem;
            r.dead = r.reason.empty();
            if (r.dead)
                r.reason = kAssociationGone;
            return true;
        }
        r.target = CommandProgram(command);
        if (winpath::DriveLetter(r.target) == 0) { // a name Windows looks for along its PATH
            r.reason = "program not judged (no full path)";
            return true;
        }
    }
    if (l.form == TLauncherForm::Program || l.form == TLauncherForm::Association) {
        if (l.form == TLauncherForm::Program)
            r.target = l.path;
        TValidityRule rule(probes);
        const TVerdict verdict = rule.Judge(r.target);
        r.dead = verdict.invalid;
        r.reason = verdict.reason;
        return true;
    }
    if (l.form == TLauncherForm::UnixShortcut) {
        r.shortcut = AsWineFinds(l.path);
    } else {
        const char letter = winpath::DriveLetter(l.path);
        const std::string& root = prefix->roots[static_cast<std::size_t>(letter - 'A')];
        if (root.empty() || l.path.size() < 3) {
            r.shortcut = l.path;
            r.reason = std::string("drive ") + letter + ": has no volume";
            return true;
        }
        r.shortcut = AsWineFinds(
            fs::path(root + "/" + ToPosixPath(l.path.substr(3))).lexically_normal().string());
    }
    switch (Find(r.shortcut, reason)) {
    case TFound::Gone:
        r.dead = true;
        r.reason = kShortcutGone;
        return true;
    case TFound::Error:
        error = "shortcut " + r.shortcut + ": " + reason;
        return false;
    case TFound::There:
        break;
    }
    const std::unique_ptr<TShortcutItem> record =
        ProcessShortcutFile(r.shortcut, *prefix->targets.reader, probes);
    if (!record) {
        r.reason = "shortcut could not be read";
        return true;
    }
    r.target = record->Target;
    r.dead = record->Invalid;
    r.reason = record->Reason;
    return true;
}

TLauncherPlaces TLauncherPlaces::FromEnvironment() {
    TLauncherPlaces p;
    p.home = Env("HOME");
    p.dataHome = BaseFolder("XDG_DATA_HOME", p.home, ".local/share");
    p.configHome = BaseFolder("XDG_CONFIG_HOME", p.home, ".config");
    p.desktop = DesktopFolder(p.configHome, p.home);
    return p;
}

void FindWineLaunchers(const TLauncherPlaces& places, const TLauncherVisit& visit,
                       const std::function<void(const std::string&, const std::string&)>& fail) {
    // Wine writes associations only as applications/wine-extension-EXT.desktop, launchers
    // for shortcuts only in its menu folder and on the Desktop.
    const auto examine = [&](const fs::path& file, bool associations) {
        if (file.extension() != ".desktop")
            return;
        std::string text, reason;
        if (!ReadLauncher(file.string(), text, reason)) {
            fail(file.string(), reason);
            return;
        }
        if (const std::optional<TWineLauncher> launcher = ParseWineLauncher(text))
            if ((launcher->form == TLauncherForm::Association) == associations)
                visit(file.string(), *launcher);
    };
    std::error_code ec;
    const fs::path applications = fs::path(places.dataHome) / "applications";
    if (fs::is_directory(applications, ec)) {
        fs::directory_iterator it(applications, ec), end;
        if (ec)
            fail(applications.string(), ec.message());
        for (; !ec && it != end; it.increment(ec))
            if (it->path().filename().string().starts_with(kAssociationStem) &&
                !it->is_directory(ec))
                examine(it->path(), true);
        ec.clear();
    }
    const fs::path menu = applications / "wine";
    if (fs::is_directory(menu, ec)) {
        fs::recursive_directory_iterator it(menu, ec), end;
        if (ec)
            fail(menu.string(), ec.message());
        for (; !ec && it != end; it.increment(ec)) {
            if (!it->is_directory(ec))
                examine(it->path(), false);
            ec.clear();
        }
        if (ec)
            fail(menu.string(), ec.message());
    }
    if (fs::is_directory(places.desktop, ec)) {
        fs::directory_iterator it(places.desktop, ec), end;
        if (ec)
            fail(places.desktop, ec.message());
        for (; !ec && it != end; it.increment(ec))
            if (!it->is_directory(ec))
                examine(it->path(), false);
    }
}

namespace {

struct TFoundLauncher {
    TWineLauncher launcher;
    TLauncherReport report;
};

// Moves the files that belong only to dead launchers to the trash: the launcher, its menu
// entry (the menu file, or the entry's line of a menu file that names others too, after a
// copy of the file's old text went to the trash), its icons when no other launcher uses them,
// and the folder entry of a menu folder it leaves empty. For an association: its MIME type's
// package when no live association opens that type; the desktop's MIME and launcher
// databases are then rebuilt as Wine rebuilds them, so that they stop naming what went.
class TLauncherRecycler {
public:
    TLauncherRecycler(const TLauncherPlaces& places, const std::vector<TFoundLauncher>& found)
        : places_(places) {
        for (const TFoundLauncher& f : found) {
            if (f.report.dead)
                continue;
            if (!f.launcher.icon.empty())
                keptIcons_.insert(f.launcher.icon);
            keptTypes_.insert(f.launcher.mimeTypes.begin(), f.launcher.mimeTypes.end());
        }
    }

    void Recycle(const TFoundLauncher& f) {
        if (!Move(f.report.launcher))
            return;
        const fs::path applications = fs::path(places_.dataHome) / "applications";
        const fs::path file(f.report.launcher);
        if (f.launcher.form == TLauncherForm::Association) {
            associationsMoved_ = true;
            RecycleMimeType(file.stem().string().substr(kAssociationStem.size()));
        } else if (const std::string below = file.lexically_relative(applications).generic_string();
                   !below.empty() && below.rfind("..", 0) != 0) {
            RemoveMenuEntry(Id(below));
            LeftEmpty(file.parent_path(), applications);
        }
        RecycleIcon(f.launcher.icon);
    }

    // The databases that list what was moved, where there are any, rebuilt by the desktop's
    // own tools.
    void UpdateDatabases() {
        const fs::path data(places_.dataHome);
        std::error_code ec;
        if (typesMoved_ && fs::exists(data / "mime" / "mime.cache", ec))
            Rebuild("update-mime-database", data / "mime");
        if (associationsMoved_ && fs::exists(data / "applications" / "mimeinfo.cache", ec))
            Rebuild("update-desktop-database", data / "applications");
    }

    std::size_t moved = 0, kept = 0;

private:
    // mime/packages/x-wine-extension-EXT.xml, unless its type is one a live association
    // opens or its text names no type, and the type's icon, which Wine names after the type
    // ("application-x-wine-extension-EXT").
    void RecycleMimeType(const std::string& extension) {
        const fs::path package = fs::path(places_.dataHome) / "mime" / "packages" /
                                 ("x-" + std::string(kAssociationStem) + extension + ".xml");
        std::string text;
        if (!ReadText(package.string(), text))
            return;
        constexpr std::string_view kType = "<mime-type type=\"";
        const std::size_t at = text.find(kType);
        const std::size_t start = at + kType.size();
        const std::size_t end = at == std::string::npos ? at : text.find('"', start);
        if (end == std::string::npos || keptTypes_.count(text.substr(start, end - start)) != 0)
            return;
        if (!Move(package.string()))
            return;
        typesMoved_ = true;
        std::string icon = text.substr(start, end - start);
        std::replace(icon.begin(), icon.end(), '/', '-');
        RecycleIcon(icon);
    }

    // Runs the tool on the folder, its output dropped, and says whether the database is new.
    static void Rebuild(const char* tool, const fs::path& folder) {
        const std::string where = folder.string();
        char* argv[] = {const_cast<char*>(tool), const_cast<char*>(where.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        int status = -1;
        const int error = posix_spawnp(&child, tool, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error == 0)
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        if (error == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            std::cerr << "updated: " << VisibleText(where) << " (" << tool << ")\n";
        else
            std::cerr << "not updated: " << VisibleText(where) << " ("
                      << (error != 0
                              ? std::string(tool) + " could not be run: " + std::strerror(error)
                              : std::string(tool) + " failed")
                      << "); the desktop lists what was moved until it is run\n";
    }

    // The desktop-file id of a file below applications/: "wine-Programs-X.desktop".
    static std::string Id(std::string below) {
        for (char& c : below)
            if (c == '/')
                c = '-';
        return below;
    }

    bool Move(const std::string& path) {
        std::string reason;
        if (MoveToTrash(path, reason)) {
            ++moved;
            std::cerr << "moved: " << VisibleText(path) << '\n';
            return true;
        }
        ++kept;
        std::cerr << "kept: " << VisibleText(path) << " (" << reason << ")\n";
        return false;
    }

    void RemoveMenuEntry(const std::string& id) {
        const fs::path merged = fs::path(places_.configHome) / "menus" / "applications-merged";
        const std::string entry = "<Filename>" + id + "</Filename>";
        std::error_code ec;
        for (fs::directory_iterator it(merged, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("wine-", 0) != 0 || it->path().extension() != ".menu")
                continue;
            std::string text;
            if (!ReadText(it->path().string(), text) || text.find(entry) == std::string::npos)
                continue;
            std::size_t entries = 0;
            for (std::size_t at = text.find("<Filename>"); at != std::string::npos;
                 at = text.find("<Filename>", at + 1))
                ++entries;
            if (entries == 1) {
                Move(it->path().string());
                continue;
            }
            EditMenu(it->path(), text, entry);
        }
    }

    // The menu file without the entry's line; its old text goes to the trash first, as a
    // file beside it (the same file system, so the same trash).
    void EditMenu(const fs::path& menu, const std::string& text, const std::string& entry) {
        const fs::path old = menu.string() + ".before-edit";
        const fs::path next = menu.string() + ".edited";
        std::ofstream(old, std::ios::binary) << text;
        if (!Move(old.string())) {
            std::error_code ec;
            fs::remove(old, ec);
            return;
        }
        std::string edited = text;
        const std::size_t at = edited.find(entry);
        std::size_t start = edited.rfind('\n', at);
        start = start == std::string::npos ? 0 : start + 1;
        std::size_t end = edited.find('\n', at);
        end = end == std::string::npos ? edited.size() : end + 1;
        edited.erase(start, end - start);
        std::ofstream(next, std::ios::binary) << edited;
        std::string check;
        std::error_code ec;
        if (ReadText(next.string(), check) && check == edited) {
            fs::rename(next, menu, ec);
            if (!ec) {
                std::cerr << "edited: " << VisibleText(menu.string()) << '\n';
                return;
            }
        }
        fs::remove(next, ec);
        std::cerr << "kept: " << VisibleText(menu.string()) << " (could not be rewritten)\n";
    }

    // Whether nothing but folders is left below the folder (Wine leaves empty ones behind).
    static bool HoldsNoFile(const fs::path& folder) {
        std::error_code ec;
        fs::recursive_directory_iterator it(folder, ec), end;
        for (; !ec && it != end; it.increment(ec))
            if (!it->is_directory(ec))
                return false;
        return !ec;
    }

    // The folder entry of each menu folder from the launcher's up to applications/wine that
    // holds no file now. Wine's own menu folder is entered as "wine-wine".
    void LeftEmpty(fs::path folder, const fs::path& applications) {
        std::error_code ec;
        while (folder != applications && HoldsNoFile(folder)) {
            const std::string below = folder.lexically_relative(applications).generic_string();
            if (below != "wine" && below.rfind("wine/", 0) != 0)
                return;
            const std::string id = below == "wine" ? "wine-wine" : Id(below);
            const fs::path entry =
                fs::path(places_.dataHome) / "desktop-directories" / (id + ".directory");
            if (fs::exists(entry, ec))
                Move(entry.string());
            folder = folder.parent_path();
        }
    }

    void RecycleIcon(const std::string& icon) {
        if (icon.empty() || keptIcons_.count(icon) != 0 || !recycledIcons_.insert(icon).second)
            return;
        const fs::path hicolor = fs::path(places_.dataHome) / "icons" / "hicolor";
        std::error_code ec;
        for (fs::directory_iterator size(hicolor, ec), end; !ec && size != end; size.increment(ec))
            for (const char* extension : {".png", ".xpm", ".svg"}) {
                const fs::path file = size->path() / "apps" / (icon + extension);
                std::error_code missing;
                if (fs::is_regular_file(file, missing))
                    Move(file.string());
            }
    }

    const TLauncherPlaces& places_;
    std::set<std::string> keptIcons_, recycledIcons_, keptTypes_;
    bool associationsMoved_ = false, typesMoved_ = false;
};

bool Confirmed(std::size_t count) {
    return console::AskYes("Move " + std::to_string(count) +
                           (count == 1 ? " dead launcher" : " dead launchers") +
                           " and what belongs only to them to the trash?");
}

} // namespace

int SweepWineLaunchers(const TCliOptions& options) {
    if (options.recycle && !options.yes && !console::IsTerminal(console::TStream::In)) {
        Complain("--recycle asks before it moves anything, and standard input is no terminal: "
                 "add --yes to move the dead launchers without asking");
        return kExitUsage;
    }
    std::string error;
    std::unique_ptr<TOutput> output = TOutput::Open(options.output, error);
    if (!output) {
        Complain(error);
        return kExitUsage;
    }
    std::unique_ptr<ILauncherWriter> writer;
    if (!options.quiet)
        writer =
            CreateLauncherWriter(options.format.value_or(TOutputFormat::Table), options.print0,
                                 output->Stream(), output->IsTerminal() ? console::Width() : 0);

    const TLauncherPlaces places = TLauncherPlaces::FromEnvironment();
    TLauncherJudge judge(places.home);
    std::vector<TFoundLauncher> found;
    std::size_t dead = 0, problems = 0;
    console::CatchInterrupt();
    const auto fail = [&](const std::string& path, const std::string& reason) {
        ++problems;
        Complain(VisibleText(path) + ": " + reason + "; left alone");
    };
    FindWineLaunchers(
        places,
        [&](const std::string& file, const TWineLauncher& launcher) {
            if (console::Interrupted() || output->Failed() || (options.quiet && dead != 0))
                return;
            TFoundLauncher f{launcher, {}};
            f.report.launcher = file;
            std::string why;
            if (!judge.Judge(launcher, f.report, why)) {
                fail(file, why);
                f.report = {};
                f.report.launcher = file;
                f.report.reason = why;
            }
            dead += f.report.dead ? 1 : 0;
            if (writer && (f.report.dead || options.all))
                writer->Write(f.report);
            found.push_back(std::move(f));
        },
        fail);
    if (writer)
        writer->Finish();
    output->Stream().flush();
    if (output->Failed()) {
        if (output->ReaderGone())
            return kExitReaderGone;
        Complain(output->Error());
        return kExitUsage;
    }
    std::cerr.clear();
    if (console::Interrupted())
        return console::InterruptedStatus();
    if (options.stats)
        std::cerr << "stats: launchers=" << found.size() << " dead=" << dead
                  << " unreadable=" << problems << '\n';
    if (options.recycle && dead != 0) {
        if (!options.yes && !Confirmed(dead)) {
            std::cerr << "Nothing was moved.\n";
        } else {
            TLauncherRecycler recycler(places, found);
            for (const TFoundLauncher& f : found)
                if (f.report.dead && !console::Interrupted())
                    recycler.Recycle(f);
            recycler.UpdateDatabases();
            std::cerr << recycler.moved << (recycler.moved == 1 ? " file" : " files")
                      << " moved to the trash, " << recycler.kept << " kept.\n";
        }
        if (console::Interrupted())
            return console::InterruptedStatus();
    }
    return dead == 0 ? kExitNoneInvalid : kExitSomeInvalid;
}
