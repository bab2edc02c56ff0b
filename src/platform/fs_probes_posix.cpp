// POSIX probes. Paths are in the program's form ('\' separators) and become POSIX paths
// (base/posix_path.h) of any length at the file system. A host has no drive letters: a target on
// one cannot be judged here.
#include "base/posix_path.h"
#include "platform/fs_probes.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

class PosixFileProbes final : public IFileProbes {
public:
    bool FileExists(const std::string& path) override {
        struct stat st {};
        return !path.empty() && StatAnyLength(ToPosixPath(path), st) == 0 && !S_ISDIR(st.st_mode);
    }
    TPathState ProbePath(const std::string& path) override {
        if (path.empty())
            return TPathState::Absent;
        struct stat st {};
        if (StatAnyLength(ToPosixPath(path), st) == 0)
            return TPathState::Exists;
        return errno == ENOENT || errno == ENOTDIR ? TPathState::Absent : TPathState::Unknown;
    }
    TDriveKind DriveKind(char) override { return TDriveKind::NoVolume; }
};

} // namespace

IFileProbes& SystemFileProbes() {
    static PosixFileProbes probes;
    return probes;
}
