// --suggest and --repair: where each invalid shortcut's target went, looked for as it is found
// (one search object for the whole run, so each folder is read once), and the re-pointing of
// those found with exact or strong evidence at the end.
#pragma once

#include "cli/record_writer.h"
#include "cli/target_probes.h"
#include "inventory/moved_target.h"

#include <functional>
#include <string>
#include <vector>

class TShortcutItem;

struct TRepaired {
    std::size_t repaired = 0, kept = 0;
    bool interrupted = false;
};

class TMovedTargets {
public:
    explicit TMovedTargets(TTargetSystem& targets);

    // Where the invalid shortcut's target went; kept for Repair when the evidence is exact or
    // strong. "" fields for a valid shortcut or nothing found.
    TSuggestion Suggest(const TShortcutItem& record);
    std::size_t Repairable() const { return found_.size(); }

    // How many shortcuts are re-pointed at once: more than the window's batch, as nothing
    // waits on the terminal between two, and each batch costs one flush of the disk.
    static constexpr std::size_t kBatch = 1000;

    // Re-points the kept shortcuts a batch at a time, each named on `log` when its batch is
    // done; after asking once when `ask`. `stop` is asked before each batch.
    TRepaired Repair(bool ask, std::ostream& log, const std::function<bool()>& stop);

    // Asked before each folder is read.
    void SetStop(std::function<bool()> stop) { search_.StopRequested = std::move(stop); }

private:
    struct Found {
        std::string shortcut; // the program's path
        lnk::NewTarget target;
    };
    TTargetSystem& targets_;
    TMoveSearch search_;
    std::vector<Found> found_;
    std::vector<unsigned char> buffer_;
};
