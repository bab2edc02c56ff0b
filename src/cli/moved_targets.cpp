#include "cli/moved_targets.h"

#include "cli/console.h"
#include "cli/repair_files.h"
#include "inventory/shortcut_item.h"

#include <algorithm>
#include <ostream>

namespace {

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

} // namespace

TMovedTargets::TMovedTargets(TTargetSystem& targets)
    : targets_(targets), search_(*targets.search) {}

TSuggestion TMovedTargets::Suggest(const TShortcutItem& record) {
    if (!record.Invalid)
        return {};
    const TMoveFinding finding =
        FindShortcutTarget(search_, *targets_.files, record.Shortcut, record.Target, buffer_);
    if (finding.strength == TMoveStrength::None)
        return {};
    if (finding.strength >= TMoveStrength::Strong)
        found_.push_back({record.Shortcut, finding.target});
    return {finding.target.path, StrengthName(finding.strength), finding.evidence};
}

TRepaired TMovedTargets::Repair(bool ask, std::ostream& log, const std::function<bool()>& stop) {
    TRepaired r;
    if (found_.empty())
        return r;
    if (ask && !console::AskYes("Re-point " + Plural(found_.size(), "shortcut", "shortcuts") +
                                " to where the target went (the originals to the trash)?")) {
        r.interrupted = console::Interrupted();
        log << (r.interrupted ? "\n" : "") << "Nothing was re-pointed.\n";
        return r;
    }
    const std::unique_ptr<IRepairFiles> files = CreateRepairFiles();
    for (std::size_t from = 0; from < found_.size(); from += kBatch) {
        if (stop()) {
            r.interrupted = true;
            break;
        }
        const std::size_t to = std::min(found_.size(), from + kBatch);
        std::vector<TRepairJob> jobs;
        for (std::size_t i = from; i < to; ++i) {
            const std::string windowsPath = targets_.files->WindowsPath(found_[i].shortcut);
            jobs.push_back({found_[i].shortcut, found_[i].target,
                            ShortcutContext(*targets_.files, windowsPath)});
        }
        const std::vector<TRepairResult> results = RepairShortcutFiles(*files, jobs);
        for (std::size_t k = 0; k < jobs.size(); ++k) {
            const std::string shown = VisibleText(console::UserPath(jobs[k].shortcut));
            if (results[k].repaired) {
                ++r.repaired;
                log << "re-pointed: " << shown << " -> " << VisibleText(jobs[k].target.path)
                    << '\n';
            } else {
                ++r.kept;
                log << "kept: " << shown << " (" << results[k].reason << ")\n";
            }
        }
    }
    log.clear();
    log << (r.interrupted ? "Interrupted: " : "") << Plural(r.repaired, "shortcut", "shortcuts")
        << " re-pointed (the originals are in the trash), " << found_.size() - r.repaired
        << " not.\n";
    return r;
}
