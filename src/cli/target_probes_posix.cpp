#include "cli/target_probes.h"

#include "base/posix_path.h"
#include "cli/drive_map.h"

const bool kTargetsNeedDriveMapping = true;

std::unique_ptr<IFileProbes> CreateTargetProbes(const TCliOptions& options,
                                                const std::vector<std::string>& folders,
                                                std::string& error) {
    std::string prefix = options.winePrefix;
    if (prefix.empty()) {
        for (const std::string& folder : folders) {
            const std::string found = FindWinePrefix(ToPosixPath(folder));
            if (found.empty())
                continue;
            if (!prefix.empty() && found != prefix) {
                error = "the folders lie in two Wine prefixes (" + prefix + ", " + found +
                        "): name the one whose drives to use with --wine-prefix";
                return nullptr;
            }
            prefix = found;
        }
    }
    TDriveRoots roots;
    if (!prefix.empty() && !ReadWinePrefixDrives(prefix, roots, error)) {
        error = "--wine-prefix " + prefix + ": no Wine prefix (" + error + ")";
        return nullptr;
    }
    for (const TDriveMapping& drive : options.drives)
        roots[static_cast<std::size_t>(drive.letter - 'A')] = drive.folder;
    return CreateMappedProbes(roots);
}
