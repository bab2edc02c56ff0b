// Windows targets judged on Linux: where each drive letter lives, found in a Wine prefix or
// given by the user, and probes that find a Windows path below those folders the way
// Windows would, without regard to case.
#pragma once

#include "platform/fs_probes.h"

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
//   ProbePath   "X:\a\b" below the letter's folder, "\a\b" below "/": each name matched
//               without regard to case (an exact match first); "." and ".." are applied,
//               empty names skipped, trailing dots and blanks dropped as Windows drops them.
//               Absent only when a folder on the way was listed and holds no such name, or
//               is a file; Unknown when a folder cannot be listed (access denied) or a name
//               of the short form NAME~N (8.3) matches nothing, since Linux keeps no short
//               names to compare with. Each folder is listed at most once per object.
std::unique_ptr<IFileProbes> CreateMappedProbes(const TDriveRoots& roots);

// The short 8.3 form of a name as Windows (PROGRA~1) and Wine (PROGR~3T) make them: a base of
// up to 8 characters ending in '~' and letters or digits, an optional extension of up to 3.
bool IsShortNameForm(const std::string& name);
