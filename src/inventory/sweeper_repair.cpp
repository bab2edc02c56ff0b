// Repair: the search for where the checked invalid rows' targets went, the one question, and
// the re-pointing. Like Delete it processes window messages throughout (the search between
// the folders it lists, the recycle bin call for each batch of originals), so it finds its
// entries again after each of them and ends when a new scan threw them away.
#include "inventory/shortcut_repair.h"
#include "inventory/sweeper.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace {

std::string CountText(std::size_t n) { return std::to_string(n); }

} // namespace

void TShortcutSweeper::RepairCheckedRows() {
    const std::uint64_t generation = inventory_.Generation();
    const auto thrownAway = [&] { return inventory_.Generation() != generation || closePending_; };
    struct TPending {
        TShortcutEntry* entry;
        std::string shortcut;
        bool seen; // a candidate was on show before this Repair: the user checked it again
    };
    std::vector<TPending> pending;
    for (int row = 0; row < rows_.Count(); ++row)
        if (rows_.Checked(row) && rows_.Data(row)->Invalid) {
            TShortcutEntry& entry = rows_.Entry(row);
            pending.push_back({&entry, entry.record->Shortcut,
                               entry.moved && entry.moved->strength != TMoveStrength::None});
        }
    // Whether the entry is still the master list's and still this shortcut's (what ran while
    // messages were handled may have removed it).
    std::unordered_set<const TShortcutEntry*> listed;
    std::uint64_t listedAt = ~std::uint64_t{0};
    const auto alive = [&](const TPending& p) {
        if (listedAt != inventory_.RowsVersion()) {
            listed.clear();
            for (int i = 0; i < inventory_.Master().Count(); ++i)
                listed.insert(&inventory_.Master().Entry(i));
            listedAt = inventory_.RowsVersion();
        }
        return listed.count(p.entry) && p.entry->record->Shortcut == p.shortcut;
    };

    // The search: nothing changes on disk.
    repairStop_ = false;
    TMoveSearch search(*repair_.search);
    search.StopRequested = [&] {
        view_.ProcessMessages();
        return repairStop_ || thrownAway();
    };
    std::vector<unsigned char> buffer;
    const std::string searching = "Searching where the targets went, please wait... - Press ESC "
                                  "to cancel (";
    for (std::size_t i = 0; i < pending.size(); ++i) {
        TPending& p = pending[i];
        view_.SetStatusText(searching + CountText(i + 1) + " of " + CountText(pending.size()) +
                            ")");
        if (p.seen || !alive(p))
            continue;
        auto finding = std::make_unique<TMoveFinding>(FindShortcutTarget(
            search, *repair_.files, p.shortcut, p.entry->record->Target, buffer));
        if (thrownAway())
            return;
        if (search.Stopped()) { // a search cut short proves nothing: the rows stay as they were
            view_.SetStatusText("Repair cancelled: nothing was re-pointed.");
            rows_.EntriesChanged();
            return;
        }
        if (alive(p))
            p.entry->moved = std::move(finding);
    }

    std::vector<const TPending*> repoint;
    std::size_t byNameOnly = 0, notFound = 0;
    for (const TPending& p : pending) {
        if (!alive(p) || !p.entry->moved || !p.entry->mark) // unchecked while it searched
            continue;
        const TMoveStrength strength = p.entry->moved->strength;
        if (strength == TMoveStrength::None)
            ++notFound;
        else if (strength >= TMoveStrength::Strong || p.seen)
            repoint.push_back(&p);
        else {
            ++byNameOnly;
            p.entry->mark = false; // for the user to check after seeing it
        }
    }
    rows_.EntriesChanged();
    const std::string summary = CountText(repoint.size()) + " to re-point, " +
                                CountText(byNameOnly) + " found only by name, " +
                                CountText(notFound) + " not found.";
    view_.SetStatusText(summary);
    if (repoint.empty()) {
        view_.SetInfoText("Nothing to re-point: " + summary +
                          (byNameOnly > 0 ? " Check the rows whose \"Moved to\" is right and "
                                            "choose Repair again."
                                          : ""));
        return;
    }
    if (!view_.AskYesNo(RepairQuestionText(repoint.size(), byNameOnly))) {
        view_.SetStatusText("Nothing was re-pointed.");
        return;
    }
    if (thrownAway())
        return;

    TValidityRule rule(probes_);
    std::vector<std::string> kept;
    std::size_t repaired = 0;
    // A batch at a time: the recycle bin call for a batch processes messages, and between
    // batches the status line tells how far it got.
    for (std::size_t from = 0; from < repoint.size(); from += kRepairBatch) {
        std::vector<const TPending*> batch;
        std::vector<TRepairJob> jobs;
        for (std::size_t i = from; i < std::min(repoint.size(), from + kRepairBatch); ++i) {
            const TPending& p = *repoint[i];
            if (!alive(p))
                continue;
            const std::string windowsPath = repair_.files->WindowsPath(p.shortcut);
            batch.push_back(&p);
            jobs.push_back(
                {p.shortcut, p.entry->moved->target, ShortcutContext(*repair_.files, windowsPath)});
        }
        const std::vector<TRepairResult> results = RepairShortcutFiles(*repair_.repair, jobs);
        if (thrownAway())
            return;
        for (std::size_t k = 0; k < batch.size(); ++k) {
            const TPending& p = *batch[k];
            if (!results[k].repaired) {
                kept.push_back(p.shortcut + " (" + results[k].reason + ")");
                continue;
            }
            ++repaired;
            if (alive(p)) {
                const TShortcutItem& old = *p.entry->record;
                const std::string& target = jobs[k].target.path;
                const TVerdict verdict = rule.Judge(target);
                p.entry->record = std::make_unique<TShortcutItem>(
                    old.Name, target, old.Location, old.Shortcut, verdict.invalid, verdict.reason);
                p.entry->mark = false;
                p.entry->moved.reset();
            }
        }
        rows_.EntriesChanged();
        view_.SetStatusText("Re-pointing shortcuts... " +
                            CountText(std::min(repoint.size(), from + kRepairBatch)) + " of " +
                            CountText(repoint.size()));
        view_.ProcessMessages();
        if (thrownAway())
            return;
    }
    // The info panel too: it may still hold what an earlier Repair said.
    const std::string done = CountText(repaired) + (repaired == 1 ? " shortcut" : " shortcuts") +
                             " re-pointed; the originals are in the recycle bin.";
    view_.SetStatusText(done);
    view_.SetInfoText(done);
    if (!kept.empty())
        view_.Warn(NotRepairedText(kept));
}
