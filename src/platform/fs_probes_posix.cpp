// POSIX probes. Paths use '\' as the separator throughout the program, so it is turned
// into '/' before the path reaches the file system. A host has no drive letters: a target on
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
        return !path.empty() && ::stat(ToPosixPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }
    TPathState ProbePath(const std::string& path) override {
        if (path.empty())
            return TPathState::Absent;
        struct stat st {};
        if (::stat(ToPosixPath(path).c_str(), &st) == 0)
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
