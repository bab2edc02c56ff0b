// What the file system says about a path, and what stands behind a drive letter. No probe
// raises. A probe tells "not there" apart from "cannot tell": only the file system answering
// that an entry is absent, on a volume that is present, counts as absent.
#pragma once

#include <string>

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
};

// The platform's probes (process-wide, stateless).
IFileProbes& SystemFileProbes();
