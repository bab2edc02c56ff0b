// Re-pointing a shortcut file where it lies, restorably: the new file is written beside the
// old one and read back before anything else happens, the original goes to the recycle bin
// (the trash on Linux: restoring it there brings back the exact old file), and only then the
// new file takes its name. A step that fails leaves the original where it was (once the
// original is in the bin, the new file stays beside its old name and the user is told).
// Many shortcuts are re-pointed a batch at a time, each step for the whole batch: the new
// files are made durable together and the originals go to the bin in one call, where one
// flush or one shell call for each file would cost far more than the writing itself.
#pragma once

#include "lnk/lnk_repoint.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The file operations of a repair, each on one path of the program's form.
class IRepairFiles {
public:
    virtual ~IRepairFiles() = default;
    // The whole file; false when it cannot be read.
    virtual bool Read(const std::string& path, std::vector<unsigned char>& bytes) = 0;
    // Creates the file (never over an existing one) holding `bytes`; false with the reason.
    virtual bool Create(const std::string& path, const std::vector<unsigned char>& bytes,
                        std::string& reason) = 0;
    // Makes the files Create wrote durable, all at once; false with the reason. Where Create
    // itself writes through, there is nothing left to do.
    virtual bool Flush(const std::vector<std::string>& paths, std::string& reason) {
        (void)paths;
        (void)reason;
        return true;
    }
    // Moves the files to the recycle bin (the trash); for each, "" when it went, else why it
    // was kept.
    virtual std::vector<std::string> Recycle(const std::vector<std::string>& paths) = 0;
    // Gives `from` the name `to` (where no file is); false with the reason.
    virtual bool Rename(const std::string& from, const std::string& to, std::string& reason) = 0;
    // Removes a file this repair created.
    virtual void Remove(const std::string& path) = 0;
    // The platform's own reading of the new file names `target` (the shell link object where
    // it is trusted); true where there is no second reader.
    virtual bool Confirm(const std::string& path, const std::string& target) {
        (void)path;
        (void)target;
        return true;
    }
};

struct TRepairResult {
    bool repaired = false;
    std::string reason; // why not, for the user
};

// The name the new file has while it is checked: beside the shortcut, never a "*.lnk".
std::string RepairScratchPath(const std::string& shortcut);

// One shortcut to re-point: its path, where it is to point, its reading context.
struct TRepairJob {
    std::string shortcut;
    lnk::NewTarget target;
    lnk::ReadContext context;
};

// How many shortcuts the window hands over at once: large enough that the batch's flush and
// recycle bin call cost little per file, small enough to show progress and answer between.
constexpr std::size_t kRepairBatch = 250;

// Re-points each job's shortcut; a result for each job, in order.
std::vector<TRepairResult> RepairShortcutFiles(IRepairFiles& files,
                                               const std::vector<TRepairJob>& jobs);

// Re-points the shortcut at `shortcut` to `target`; `context` is its reading context.
TRepairResult RepairShortcutFile(IRepairFiles& files, const std::string& shortcut,
                                 const lnk::NewTarget& target, const lnk::ReadContext& context);

// Moves the files to the recycle bin (the trash); for each, "" when it went, else why not.
using TRecycleFiles = std::function<std::vector<std::string>(const std::vector<std::string>&)>;

// The Windows file operations of a repair (Windows builds only), the original recycled by
// `recycle`: the window's recycle bin call or the command line's trash. Before the original
// goes, the shell link object must read the new file as the program does (not under Wine,
// whose link object the program does not trust).
std::unique_ptr<IRepairFiles> CreateSystemRepairFiles(TRecycleFiles recycle);
