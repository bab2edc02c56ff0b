// The Windows whose shortcuts a run judges on Linux, as a reading of a shortcut needs it: the
// environment its targets name (%SystemRoot%, %ProgramFiles%, %USERPROFILE%, ...), the places
// of its known folders, and its ANSI code page. Read from a Wine prefix's registry, or
// Windows' own defaults for a partition mapped with --drive; never the Linux process's own
// environment.
#pragma once

#include "lnk/known_folders.h"

#include <map>
#include <string>
#include <string_view>

class TWindowsEnvironment {
public:
    // Windows' defaults, as on a partition mapped with --drive: the system on C:, and each
    // user's own values (USERNAME, USERPROFILE, APPDATA, LOCALAPPDATA, TEMP, HOMEPATH, ...)
    // taken from the profile the shortcut lies in, "X:\Users\NAME\" (or Windows XP's
    // "X:\Documents and Settings\NAME\"). Elsewhere those are not known.
    TWindowsEnvironment() = default;

    // A Wine prefix's: Wine's own values (C:\windows, its program folders and profile list)
    // from the texts of its registry files system.reg and user.reg, then the registry's
    // environment keys, the system's, the user's and the volatile ones, in that order; the
    // user's folders from the user's "Shell Folders".
    static TWindowsEnvironment FromWineRegistry(std::string_view systemReg,
                                                std::string_view userReg);

    // The value of a variable (any letter case) for a shortcut at `linkPath` (its Windows
    // path), its own references expanded; false when it cannot be known.
    bool Lookup(std::string_view name, std::string_view linkPath, std::string& value) const;

    // The place of a known folder for a shortcut at `linkPath`; false when it has none or it
    // cannot be known.
    bool FolderPlace(const lnk::KnownFolder& folder, std::string_view linkPath,
                     std::string& place) const;

    // The ANSI code page shortcut texts are written in (1252 unless the registry says so).
    int AnsiCodePage() const { return codePage_; }

private:
    bool Expand(std::string_view name, std::string_view linkPath, int depth,
                std::string& value) const;

    bool wine_ = false;
    std::map<std::string, std::string> values_;       // by upper-case name, unexpanded
    std::map<std::string, std::string> shellFolders_; // by upper-case value name
    int codePage_ = 1252;
};

// The values of one key of a registry file as Wine writes it (REGEDIT4 text: "[Key\\Sub]",
// then "name"="text" or "name"=str(2):"text" lines), by name as written; other value types
// are passed over. `key` is compared without regard to ASCII case, '\' single.
std::map<std::string, std::string> RegistryValues(std::string_view file, std::string_view key);
