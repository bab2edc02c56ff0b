#include "cli/windows_env.h"

#include "base/text.h"
#include "base/windows_path.h"
#include "lnk/lnk_format.h"

#include <cctype>
#include <cstdlib>
#include <vector>

namespace {

// The deepest a value's references are followed (a variable naming itself stops there).
constexpr int kMaxDepth = 8;

// Windows' own values on a system installed on C:.
const std::map<std::string, std::string> kWindowsDefaults = {
    {"SYSTEMDRIVE", "C:"},
    {"SYSTEMROOT", "C:\\Windows"},
    {"WINDIR", "C:\\Windows"},
    {"COMSPEC", "C:\\Windows\\system32\\cmd.exe"},
    {"PROGRAMFILES", "C:\\Program Files"},
    {"PROGRAMFILES(X86)", "C:\\Program Files (x86)"},
    {"PROGRAMW6432", "C:\\Program Files"},
    {"COMMONPROGRAMFILES", "C:\\Program Files\\Common Files"},
    {"COMMONPROGRAMFILES(X86)", "C:\\Program Files (x86)\\Common Files"},
    {"COMMONPROGRAMW6432", "C:\\Program Files\\Common Files"},
    {"PROGRAMDATA", "C:\\ProgramData"},
    {"ALLUSERSPROFILE", "C:\\ProgramData"},
    {"PUBLIC", "C:\\Users\\Public"},
    {"OS", "Windows_NT"},
};

// Where a Wine prefix keeps what Wine derives its environment from.
constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kProfileList =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::string_view kSystemEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::string_view kCodePage = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The value names of "Shell Folders" for the known folders that Windows names there by an
// older name than their GUID.
constexpr struct {
    std::string_view folder; // lnk::KnownFolder::name
    std::string_view value;
} kShellFolderNames[] = {
    {"Desktop", "Desktop"},       {"Documents", "Personal"},
    {"Music", "My Music"},        {"Pictures", "My Pictures"},
    {"Videos", "My Videos"},      {"Favorites", "Favorites"},
    {"Start Menu", "Start Menu"}, {"Programs", "Programs"},
    {"Startup", "StartUp"},       {"SendTo", "SendTo"},
    {"Recent", "Recent"},         {"Templates", "Templates"},
    {"AppData", "AppData"},       {"Local AppData", "Local AppData"},
    {"Fonts", "Fonts"},
};

// Profiles that belong to no user.
constexpr std::string_view kNoUser[] = {"Public",    "Default",      "Default User",
                                        "All Users", "LocalService", "NetworkService"};

// The user's own values for a shortcut that lies in a user's profile; false elsewhere.
bool ProfileValue(const std::string& name, std::string_view linkPath, std::string& value) {
    const std::size_t root = winpath::RootLength(linkPath);
    if (winpath::DriveLetter(linkPath) == 0)
        return false;
    const std::vector<std::string_view> names = winpath::Names(linkPath.substr(root));
    if (names.size() < 3)
        return false;
    const bool vista = winpath::SameName(names[0], "Users");
    const bool xp = winpath::SameName(names[0], "Documents and Settings");
    if (!vista && !xp)
        return false;
    for (const std::string_view none : kNoUser)
        if (winpath::SameName(names[1], none))
            return false;
    const std::string drive(linkPath.substr(0, 2));
    const std::string home = "\\" + std::string(names[0]) + "\\" + std::string(names[1]);
    const std::string profile = drive + home;
    const std::string local =
        vista ? profile + "\\AppData\\Local" : profile + "\\Local Settings\\Application Data";
    const std::map<std::string, std::string> user = {
        {"USERNAME", std::string(names[1])},
        {"USERPROFILE", profile},
        {"HOMEDRIVE", drive},
        {"HOMEPATH", home},
        {"APPDATA", vista ? profile + "\\AppData\\Roaming" : profile + "\\Application Data"},
        {"LOCALAPPDATA", local},
        {"TEMP", vista ? local + "\\Temp" : profile + "\\Local Settings\\Temp"},
        {"TMP", vista ? local + "\\Temp" : profile + "\\Local Settings\\Temp"},
    };
    const auto it = user.find(name);
    if (it == user.end())
        return false;
    value = it->second;
    return true;
}

// Windows XP, whose profiles lie in "Documents and Settings", keeps what its users share in
// the profile "All Users" and has no ProgramData or Public: for a shortcut in it, the value
// of one of those three, true; false for any other variable or place.
bool XpSharedValue(const std::string& name, std::string_view linkPath, bool& known,
                   std::string& value) {
    const std::vector<std::string_view> names =
        winpath::Names(linkPath.substr(winpath::RootLength(linkPath)));
    if (winpath::DriveLetter(linkPath) == 0 || names.empty() ||
        !winpath::SameName(names[0], "Documents and Settings"))
        return false;
    if (name == "ALLUSERSPROFILE") {
        value = std::string(linkPath.substr(0, 2)) + "\\" + std::string(names[0]) + "\\All Users";
        known = true;
        return true;
    }
    known = false;
    return name == "PROGRAMDATA" || name == "PUBLIC";
}

// One registry string with Wine's escapes undone: \\ \" \n \r \t, and \xHHHH for a UTF-16
// unit outside ASCII.
std::string Unescape(std::string_view text) {
    std::string out;
    std::u16string pending; // UTF-16 units from \x escapes, kept together for surrogate pairs
    const auto flush = [&] {
        if (pending.empty())
            return;
        std::vector<unsigned char> bytes;
        for (const char16_t unit : pending) {
            bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
            bytes.push_back(static_cast<unsigned char>(unit >> 8));
        }
        AppendUtf16LeAsUtf8(out, bytes.data(), pending.size());
        pending.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            flush();
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x') {
            std::size_t j = i + 1;
            unsigned unit = 0;
            while (j < text.size() && j < i + 5 &&
                   std::isxdigit(static_cast<unsigned char>(text[j]))) {
                const char h = text[j];
                unit =
                    unit * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
                ++j;
            }
            pending += static_cast<char16_t>(unit);
            i = j - 1;
            continue;
        }
        flush();
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    flush();
    return out;
}

// The end of a quoted registry string that starts after `open`, its escapes skipped.
std::size_t ClosingQuote(std::string_view line, std::size_t open) {
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '"')
            return i;
    }
    return std::string_view::npos;
}

std::string Upper(std::string_view name) { return AsciiUpperCase(name); }

} // namespace

std::map<std::string, std::string> RegistryValues(std::string_view file, std::string_view key) {
    std::map<std::string, std::string> values;
    bool inKey = false;
    std::size_t at = 0;
    while (at < file.size()) {
        std::size_t end = file.find('\n', at);
        if (end == std::string_view::npos)
            end = file.size();
        std::string_view line = file.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with("[")) {
            const std::size_t close = line.find(']');
            inKey = close != std::string_view::npos &&
                    winpath::SameName(Unescape(line.substr(1, close - 1)), key);
            continue;
        }
        if (!inKey || !line.starts_with("\""))
            continue;
        const std::size_t nameEnd = ClosingQuote(line, 0);
        if (nameEnd == std::string_view::npos || nameEnd + 1 >= line.size() ||
            line[nameEnd + 1] != '=')
            continue;
        std::string_view data = line.substr(nameEnd + 2);
        if (data.starts_with("str(2):"))
            data.remove_prefix(7);
        if (!data.starts_with("\""))
            continue; // a number, binary data, a list: no text a path is made of
        const std::size_t dataEnd = ClosingQuote(data, 0);
        if (dataEnd == std::string_view::npos)
            continue;
        values[Unescape(line.substr(1, nameEnd - 1))] = Unescape(data.substr(1, dataEnd - 1));
    }
    return values;
}

TWindowsEnvironment TWindowsEnvironment::FromWineRegistry(std::string_view systemReg,
                                                          std::string_view userReg) {
    TWindowsEnvironment env;
    env.wine_ = true;
    env.values_ = {
        {"SYSTEMDRIVE", "C:"}, {"SYSTEMROOT", "C:\\windows"}, {"WINDIR", "%SystemRoot%"}};
    // Wine's own derivations, as its processes start with them.
    const auto version = RegistryValues(systemReg, kCurrentVersion);
    const auto profiles = RegistryValues(systemReg, kProfileList);
    const struct {
        const char* variable;
        const std::map<std::string, std::string>& from;
        const char* value;
    } derived[] = {
        {"PROGRAMFILES", version, "ProgramFilesDir"},
        {"PROGRAMFILES(X86)", version, "ProgramFilesDir (x86)"},
        {"PROGRAMW6432", version, "ProgramFilesDir"},
        {"COMMONPROGRAMFILES", version, "CommonFilesDir"},
        {"COMMONPROGRAMFILES(X86)", version, "CommonFilesDir (x86)"},
        {"COMMONPROGRAMW6432", version, "CommonFilesDir"},
        {"PROGRAMDATA", profiles, "ProgramData"},
        {"ALLUSERSPROFILE", profiles, "ProgramData"},
        {"PUBLIC", profiles, "Public"},
    };
    for (const auto& d : derived)
        if (const auto it = d.from.find(d.value); it != d.from.end())
            env.values_[d.variable] = it->second;
    for (const auto& [file, key] : {std::pair{systemReg, kSystemEnvironment},
                                    std::pair{userReg, std::string_view("Environment")},
                                    std::pair{userReg, std::string_view("Volatile Environment")}})
        for (const auto& [name, value] : RegistryValues(file, key))
            env.values_[Upper(name)] = value;
    for (const auto& [name, value] : RegistryValues(userReg, kShellFolders))
        env.shellFolders_[Upper(name)] = value;
    const auto codePage = RegistryValues(systemReg, kCodePage);
    if (const auto it = codePage.find("ACP"); it != codePage.end())
        if (const int acp = std::atoi(it->second.c_str()); acp > 0)
            env.codePage_ = acp;
    return env;
}

bool TWindowsEnvironment::Lookup(std::string_view name, std::string_view linkPath,
                                 std::string& value) const {
    return Expand(name, linkPath, 0, value);
}

bool TWindowsEnvironment::Expand(std::string_view name, std::string_view linkPath, int depth,
                                 std::string& value) const {
    if (depth > kMaxDepth)
        return false;
    const std::string key = Upper(name);
    std::string raw;
    if (wine_) {
        const auto it = values_.find(key);
        if (it == values_.end())
            return false;
        raw = it->second;
    } else if (bool known = false; XpSharedValue(key, linkPath, known, raw)) {
        if (!known)
            return false;
    } else if (!ProfileValue(key, linkPath, raw)) {
        const auto it = kWindowsDefaults.find(key);
        if (it == kWindowsDefaults.end())
            return false;
        raw = it->second;
    }
    std::string unknown;
    value = lnk::ExpandEnvironmentReferences(
        raw,
        [&](std::string_view inner, std::string& innerValue) {
            return Expand(inner, linkPath, depth + 1, innerValue);
        },
        &unknown);
    return unknown.empty();
}

bool TWindowsEnvironment::FolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                                      std::string& place) const {
    if (wine_) {
        std::string key = Upper(folder.id);
        for (const auto& named : kShellFolderNames)
            if (named.folder == folder.name)
                key = Upper(named.value);
        if (const auto it = shellFolders_.find(key); it != shellFolders_.end()) {
            place = it->second;
            return winpath::IsFullPath(place);
        }
    }
    return lnk::DefaultFolderPlace(
        folder,
        [this, linkPath](std::string_view name, std::string& value) {
            return Lookup(name, linkPath, value);
        },
        place);
}
