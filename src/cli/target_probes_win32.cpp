#include "cli/target_probes.h"

const bool kTargetsNeedDriveMapping = false;

// Windows (and Wine) judge their own paths.
std::unique_ptr<IFileProbes> CreateTargetProbes(const TCliOptions&, const std::vector<std::string>&,
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
    };
    return std::make_unique<SystemProbes>();
}
