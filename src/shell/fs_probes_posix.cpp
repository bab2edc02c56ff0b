// POSIX probes. Paths use '\' as the separator throughout the program, so it is turned
// into '/' before the path reaches the file system.
#include "shell/fs_probes.h"
#include "shell/posix_path.h"

#include <sys/stat.h>

namespace {

class PosixFileProbes final : public IFileProbes {
public:
    bool FileExists(const std::string& path) override {
        struct stat st{};
        return !path.empty() && ::stat(ToPosixPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }
    bool FolderExists(const std::string& path) override {
        struct stat st{};
        return !path.empty() && ::stat(ToPosixPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
};

} // namespace

IFileProbes& SystemFileProbes() {
    static PosixFileProbes probes;
    return probes;
}
