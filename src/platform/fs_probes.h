// What the file system says about a path, and what stands behind a drive letter. No probe
// raises. A probe tells "not there" apart from "cannot tell": only the file system answering
// that an entry is absent, on a volume that is present, counts as absent.
#pragma once

#include <string>
#include <string_view>

enum class TPathState {
    Exists,  // an entry (file or folder) is at the path
    Absent,  // the file system answered that nothing is there
    Unknown, // no answer to trust: access denied, no media, a device or network error
};

enum class TDriveKind {
    Local,    // a volume of this machine is mounted at the letter (fixed, removable, ...)
    Network,  // a network drive: never probed, as a "\\" path is not
    NoVolume, // nothing at the letter (unplugged, unmapped) or a kind the system cannot tell
};

class IFileProbes {
public:
    virtual ~IFileProbes() = default;
    // An entry exists at exactly this path and it is not a folder.
    virtual bool FileExists(const std::string& path) = 0;
    // Whether anything is at this full path (of any length).
    virtual TPathState ProbePath(const std::string& path) = 0;
    // The kind of drive at the letter 'A'..'Z' (upper case).
    virtual TDriveKind DriveKind(char letter) = 0;
    // Where the short 8.3 names are not the ones Windows made (Wine makes its own, Linux
    // keeps none), the reason a target with such a name that was not found is not judged;
    // "" where they are Windows' own.
    virtual std::string_view ShortNameMiss() { return {}; }
};

// The platform's probes (process-wide, stateless).
IFileProbes& SystemFileProbes();
