#include "cli/target_probes.h"

#include "base/posix_path.h"
#include "cli/drive_map.h"
#include "cli/windows_env.h"

#include <fstream>
#include <sstream>

const bool kTargetsNeedDriveMapping = true;

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

bool CreateTargetSystem(const TCliOptions& options, const std::vector<std::string>& folders,
                        TTargetSystem& system, std::string& error) {
    std::string prefix = options.winePrefix;
    if (prefix.empty()) {
        for (const std::string& folder : folders) {
            const std::string found = FindWinePrefix(ToPosixPath(folder));
            if (found.empty())
                continue;
            if (!prefix.empty() && found != prefix) {
                error = "the folders lie in two Wine prefixes (" + prefix + ", " + found +
                        "): name the one whose drives to use with --wine-prefix";
                return false;
            }
            prefix = found;
        }
    }
    TDriveRoots roots;
    TWindowsEnvironment environment;
    if (!prefix.empty()) {
        if (!ReadWinePrefixDrives(prefix, roots, error)) {
            error = "--wine-prefix " + prefix + ": no Wine prefix (" + error + ")";
            return false;
        }
        environment = TWindowsEnvironment::FromWineRegistry(FileText(prefix + "/system.reg"),
                                                            FileText(prefix + "/user.reg"));
    }
    for (const TDriveMapping& drive : options.drives)
        roots[static_cast<std::size_t>(drive.letter - 'A')] = drive.folder;
    system.probes = CreateMappedProbes(roots, !prefix.empty());
    system.files = CreateMappedShortcutFiles(roots, environment);
    system.reader = CreateShortcutFileReader(CreateMappedShortcutFiles(roots, environment));
    system.search = CreateMappedSearchFileSystem(roots);
    return true;
}
