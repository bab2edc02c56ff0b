#include "inventory/shortcut_repair.h"

#include "base/windows_path.h"

std::string RepairScratchPath(const std::string& shortcut) { return shortcut + ".repair"; }

namespace {

// Writes the job's new file beside its shortcut and reads it back; "" when it is there and
// right, else why not (and nothing is left behind).
std::string WriteScratch(IRepairFiles& files, const TRepairJob& job) {
    std::vector<unsigned char> original;
    if (!files.Read(job.shortcut, original))
        return "the shortcut could not be read";
    if (original.size() >= lnk::kMaxShortcutBytes)
        return "the shortcut is larger than any shortcut Windows writes";
    const lnk::Repointed repointed =
        lnk::RepointShortcut(original.data(), original.size(), job.target, job.context);
    if (repointed.bytes.empty())
        return repointed.refusal;

    const std::string scratch = RepairScratchPath(job.shortcut);
    std::string reason;
    if (!files.Create(scratch, repointed.bytes, reason))
        return "the new shortcut could not be written beside it (" + reason + ")";
    std::vector<unsigned char> written;
    const bool same =
        files.Read(scratch, written) && written == repointed.bytes &&
        winpath::SameName(lnk::ReadShortcutTarget(written.data(), written.size(), job.context),
                          job.target.path) &&
        files.Confirm(scratch, job.target.path);
    if (!same) {
        files.Remove(scratch);
        return "the new shortcut did not read back as written";
    }
    return {};
}

} // namespace

std::vector<TRepairResult> RepairShortcutFiles(IRepairFiles& files,
                                               const std::vector<TRepairJob>& jobs) {
    std::vector<TRepairResult> results(jobs.size());
    // Each step for the whole batch; `going` holds the jobs no step has failed yet.
    std::vector<std::size_t> going;
    std::vector<std::string> scratches;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        results[i].reason = WriteScratch(files, jobs[i]);
        if (results[i].reason.empty()) {
            going.push_back(i);
            scratches.push_back(RepairScratchPath(jobs[i].shortcut));
        }
    }
    if (going.empty())
        return results;

    std::string reason;
    if (!files.Flush(scratches, reason)) {
        for (std::size_t k = 0; k < going.size(); ++k) {
            files.Remove(scratches[k]);
            results[going[k]].reason =
                "the new shortcut could not be written to the disk (" + reason + ")";
        }
        return results;
    }

    std::vector<std::string> originals;
    for (const std::size_t i : going)
        originals.push_back(jobs[i].shortcut);
    std::vector<std::string> refusals = files.Recycle(originals);
    refusals.resize(originals.size(), "the recycle bin gave no answer");
    for (std::size_t k = 0; k < going.size(); ++k) {
        TRepairResult& result = results[going[k]];
        if (!refusals[k].empty()) {
            files.Remove(scratches[k]);
            result.reason =
                "the shortcut could not be moved to the recycle bin (" + refusals[k] + ")";
            continue;
        }
        if (!files.Rename(scratches[k], originals[k], reason)) {
            result.reason = "the original is in the recycle bin, and the new shortcut could not "
                            "take its name: it is " +
                            scratches[k] + " (" + reason + ")";
            continue;
        }
        result.repaired = true;
    }
    return results;
}

TRepairResult RepairShortcutFile(IRepairFiles& files, const std::string& shortcut,
                                 const lnk::NewTarget& target, const lnk::ReadContext& context) {
    return RepairShortcutFiles(files, {{shortcut, target, context}}).front();
}
