#include "cli/target_probes.h"

const bool kTargetsNeedDriveMapping = false;

// Windows (and Wine) judge their own paths.
bool CreateTargetSystem(const TCliOptions&, const std::vector<std::string>&, TTargetSystem& system,
                        std::string&) {
    class SystemProbes final : public IFileProbes {
    public:
        bool FileExists(const std::string& path) override {
            return SystemFileProbes().FileExists(path);
        }
        TPathState ProbePath(const std::string& path) override {
            return SystemFileProbes().ProbePath(path);
        }
        TDriveKind DriveKind(char letter) override { return SystemFileProbes().DriveKind(letter); }
        std::string_view ShortNameMiss() override { return SystemFileProbes().ShortNameMiss(); }
    };
    system.probes = std::make_unique<SystemProbes>();
    system.reader = CreateSystemLinkReader();
    system.files = CreateSystemShortcutFiles();
    system.search = CreateSystemSearchFileSystem();
    return true;
}
