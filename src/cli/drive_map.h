// Windows targets judged on Linux: where each drive letter lives, found in a Wine prefix or
// given by the user, and probes that find a Windows path below those folders the way
// Windows would, without regard to case.
#pragma once

#include "cli/windows_env.h"
#include "lnk/link_reader.h"
#include "platform/fs_probes.h"
#include "platform/search_fs.h"

#include <array>
#include <memory>
#include <string>

// A local folder (POSIX path) per letter 'A'..'Z'; "" where the letter is not mapped.
using TDriveRoots = std::array<std::string, 26>;

// The Wine prefix that holds `folder` (an absolute POSIX path): the nearest folder at or
// above it with both "dosdevices" and "drive_c" in it, looked for along the path as given
// (so a folder reached through a dosdevices link counts) and then along its real path.
// "" when there is none.
std::string FindWinePrefix(const std::string& folder);

// Adds the letters of the prefix's "dosdevices" links ("c:" -> "../drive_c", "z:" -> "/"),
// relative links resolved against the dosdevices folder. A letter the prefix's registry
// marks as a network drive is left unmapped, so a target on it is not probed, as under Wine.
// False with a reason when the prefix has no dosdevices folder.
bool ReadWinePrefixDrives(const std::string& prefix, TDriveRoots& roots, std::string& reason);

// Probes over the mapping:
//   FileExists  a plain stat of the local path ('\' read as '/'), for the shortcut files;
//   DriveKind   Local for a mapped letter whose folder is there, NoVolume otherwise (so a
//               target on it is valid unprobed);
//   ProbePath   "X:\a\b" below the letter's folder: each name matched without regard to
//               case (an exact match first); "." and ".." are applied, empty names skipped,
//               trailing dots and blanks dropped as Windows drops them. Absent only when a
//               folder on the way was listed and holds no such name, or is a file; Unknown
//               when a folder cannot be listed (access denied), and for a path on no mapped
//               letter. Each folder is listed at most once per object.
//   ShortNameMiss  a target with a short 8.3 name is not judged: Linux keeps no short names,
//               and in a Wine prefix (`winePrefix`) the ones there are Wine's own.
std::unique_ptr<IFileProbes> CreateMappedProbes(const TDriveRoots& roots, bool winePrefix = false);

// What the program's own reader sees of the mapped Windows: the shortcut files, read from
// Linux; each file's Windows path (the letter whose folder holds it, the deepest such folder
// winning: "C:\users\bob\Desktop\x.lnk" for a file below a prefix's drive_c, its Z: path
// elsewhere); the variables and known folders of `environment`; ANSI text in its code page.
std::unique_ptr<IShortcutFiles> CreateMappedShortcutFiles(const TDriveRoots& roots,
                                                          TWindowsEnvironment environment);

// The search for moved targets over the mapping: each letter's folder listed from Linux (a
// link to a folder entered as the folder it leads to), sizes and times from stat (the creation
// time where the file system keeps one), a volume per mapped letter with the serial number and
// label Wine keeps at its root (.windows-serial, .windows-label), or none. A letter mapped to
// the Linux root ("/", Wine's Z:) is not searched from its root.
std::unique_ptr<ISearchFileSystem> CreateMappedSearchFileSystem(const TDriveRoots& roots);
