#include "inventory/sweeper.h"

#include "inventory/scan_settings.h"
#include "inventory/shortcut_item.h"
#include "inventory/shortcut_repair.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>

const char* const kPickerTitle = "Select the folder you want to search: ";
const char* const kDeleteQuestion =
    "Move selected shortcuts to trash? You may restore inadvertently deleted shortcuts from "
    "recycle bin.";

namespace {

// Files handed to one shell call: the shell's warning before it destroys a file it cannot
// recycle covers the call ("Yes to all"), and the window is painted again between calls.
constexpr std::size_t kFilesPerMove = 200;
// Kept files named in the message at the end of a Delete.
constexpr std::size_t kNamedKept = 5;
constexpr char kCr = '\r';

// Counts a running scan for as long as the object lives.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    ~DepthGuard() { --depth_; }

private:
    int& depth_;
};

// The part of a path that names its volume: "X:" or "\\server\share".
std::string_view VolumeOf(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    if (path.starts_with("\\\\")) {
        const std::size_t share = path.find('\\', 2);
        const std::size_t end =
            share == std::string_view::npos ? share : path.find('\\', share + 1);
        return path.substr(0, end);
    }
    return {};
}

} // namespace

TShortcutSweeper::TShortcutSweeper(IMainView& view, TReportList& rows, IShellServices& shell,
                                   ILinkReader& reader, IFileProbes& probes, IDirListing& listing)
    : view_(view), rows_(rows), shell_(shell), reader_(reader), probes_(probes), inventory_(rows),
      finder_(listing) {
    finder_.SetOnProgress(
        [this](TDICustomFileFinder& sender) { DIWildFileFinderProgress(sender); });
    ActionList.SetOnUpdate([this] { ActionListUpdate(); });
    for (const TCommand& command : kCommands)
        ActionList[command.id].SetOnExecute([this, &command] { (this->*command.execute)(); });
}

template <class Body> void TShortcutSweeper::RunPumping(Body&& body) {
    ++pumping_;
    std::exception_ptr error;
    try {
        body();
    } catch (...) {
        error = std::current_exception();
    }
    --pumping_;
    if (pumping_ == 0 && closePending_ && !closeDelivered_) {
        closeDelivered_ = true;
        // The callback may destroy this object: nothing of it is touched afterwards.
        std::function<void()> callback = onDeferredClose_;
        if (callback)
            callback();
    }
    if (error)
        std::rethrow_exception(error);
}

// --- The scan ----------------------------------------------------------------------------

void TShortcutSweeper::ScanShortcuts() {
    if (closePending_)
        return;
    RunPumping([this] {
        std::string folder = "C:\\"; // fresh on every scan: the picker never remembers
        if (!shell_.PickFolder(view_.Handle(), folder, kPickerTitle))
            return;
        if (closePending_) // the window was closed while the picker was open
            return;
        inventory_.Clear();
        SearchShortcuts(folder);
    });
}

void TShortcutSweeper::SearchShortcuts(const std::string& folder) {
    RunPumping([this, &folder] {
        DepthGuard scanning(scanDepth_);
        Search(folder);
    });
}

void TShortcutSweeper::Search(const std::string& folder) {
    SetUpShortcutScan(finder_, folder);
    // Links to folders entered where the window says so (each folder once), else reported
    // and left.
    finder_.ForgetFolders();
    finder_.SetTrackFolders(followFolderLinks_);
    finder_.SetFollowLinks(followFolderLinks_);

    const std::string searching =
        "Searching shortcuts, please wait... - Press ESC to cancel (" + folder + ")";
    view_.SetInfoText(searching);
    view_.SetStatusText(searching);

    TValidityRule rule(probes_); // drive kinds are asked once per scan
    while (finder_.Next() && !finder_.Aborted()) {
        // Copied: the record is built from the path before the finder is asked again.
        const std::string path = finder_.FileName();
        if (auto record = ProcessShortcutFile(path, reader_, rule))
            inventory_.AddShortcutItem(std::move(record));
    }

    // "founded" is the window's own wording.
    const std::string count = std::to_string(rows_.Count());
    view_.SetInfoText(count +
                      " shortcut files founded. Select one or more shortcuts for additional "
                      "information.");
    view_.SetStatusText(count + " shortcut files founded.");
}

void TShortcutSweeper::DIWildFileFinderProgress(TDICustomFileFinder&) { view_.ProcessMessages(); }

void TShortcutSweeper::FormKeyDown(TKey key) {
    if (key == TKey::Escape) {
        finder_.SetAborted(true);
        repairStop_ = true;
    }
}

// --- The commands --------------------------------------------------------------------------

void TShortcutSweeper::ActionSelectInvalidExecute() {
    for (int i = 0; i < rows_.Count(); ++i)
        rows_.SetChecked(i, rows_.Data(i)->Invalid);
}

void TShortcutSweeper::ActionSelectnoneExecute() {
    for (int i = 0; i < rows_.Count(); ++i)
        rows_.SetChecked(i, false);
}

void TShortcutSweeper::ActionDeleteExecute() {
    if (rows_.Count() == 0)
        return;
    RunPumping([this] {
        if (!view_.AskYesNo(kDeleteQuestion))
            return;
        DeleteCheckedRows();
    });
}

// RepairCheckedRows is in sweeper_repair.cpp.
void TShortcutSweeper::ActionRepairExecute() {
    if (!repair_.files || !repair_.search || !repair_.repair || rows_.Count() == 0)
        return;
    RunPumping([this] { RepairCheckedRows(); });
}

// Moves the checked rows' shortcut files to the recycle bin, a group of files on one volume
// per shell call, and removes a row and its entry exactly when its file is no longer there
// afterwards, whatever the shell answered. Between the calls the window handles its messages
// and the status line says how far it is. The files still there when the Delete ends are
// named in one message. A No in the shell's own warning keeps that one file and the Delete
// goes on; a Cancel stops it and keeps the rest.
//
// The calls process messages, and what runs then may rebuild, shrink or empty the rows and
// the master list. Entries are looked for again whenever anything else changed them; a new
// scan (the records thrown away) ends the Delete; an entry that went meanwhile is left alone
// (one at the same address is taken only when it is the same shortcut).
void TShortcutSweeper::DeleteCheckedRows() {
    const std::uint64_t generation = inventory_.Generation();
    struct TPending {
        const TShortcutEntry* entry;
        std::string shortcut;
    };
    std::vector<TPending> pending;                    // from the last row to the first
    std::unordered_set<const TShortcutEntry*> listed; // the entries the master list holds
    for (int row = rows_.Count() - 1; row >= 0; --row)
        if (rows_.Checked(row)) {
            pending.push_back({&rows_.Entry(row), rows_.Data(row)->Shortcut});
            listed.insert(pending.back().entry);
        }
    std::uint64_t listedAt = inventory_.RowsVersion();
    const auto absent = [this](const std::string& path) {
        return probes_.ProbePath(path) == TPathState::Absent;
    };
    const auto thrownAway = [&] { return inventory_.Generation() != generation; };

    // The pending files [from, to) after the shell had its say: a file still there is kept,
    // the row and entry of one that is gone go.
    std::vector<std::string> kept;
    std::size_t moved = 0;
    const auto settle = [&](std::size_t from, std::size_t to) {
        if (inventory_.RowsVersion() != listedAt) { // something else changed the entries
            listed.clear();
            for (int i = 0; i < inventory_.Master().Count(); ++i)
                listed.insert(&inventory_.Master().Entry(i));
        }
        std::unordered_set<const TShortcutEntry*> gone;
        for (std::size_t i = from; i < to; ++i) {
            const TPending& p = pending[i];
            if (!absent(p.shortcut))
                kept.push_back(p.shortcut);
            else if (listed.count(p.entry) && p.entry->record->Shortcut == p.shortcut)
                gone.insert(p.entry);
        }
        if (!gone.empty())
            inventory_.RemoveEntries([&gone](const TShortcutEntry* e) { return gone.count(e); });
        for (const TShortcutEntry* entry : gone)
            listed.erase(entry);
        listedAt = inventory_.RowsVersion();
    };

    std::size_t done = 0;
    bool cancelled = false;
    while (done < pending.size() && !cancelled) {
        std::size_t end = done + 1;
        const std::string_view volume = VolumeOf(pending[done].shortcut);
        while (end < pending.size() && end - done < kFilesPerMove &&
               VolumeOf(pending[end].shortcut) == volume)
            ++end;
        std::vector<std::string> paths; // a file gone already is not handed to the shell
        for (std::size_t i = done; i < end; ++i)
            if (!absent(pending[i].shortcut))
                paths.push_back(pending[i].shortcut);
        // The shell may stop at a file it did not move (one the user kept, one it could not
        // move): that one stays, and the files after it get another call, so a group costs
        // one call plus one per such file.
        std::size_t stayed = 0;
        for (std::vector<std::string> left = paths; !left.empty();) {
            cancelled = !shell_.MoveToRecycleBin(view_.Handle(), left, false);
            if (thrownAway())
                return;
            std::vector<std::string> still;
            for (const std::string& path : left)
                if (!absent(path))
                    still.push_back(path);
            const std::size_t stop =
                cancelled ? still.size() : std::min<std::size_t>(still.size(), 1);
            stayed += stop;
            left.assign(still.begin() + static_cast<std::ptrdiff_t>(stop), still.end());
        }
        moved += paths.size() - stayed;
        settle(done, end);
        done = end;

        view_.SetStatusText("Moving shortcuts to the recycle bin... " + std::to_string(done) +
                            " of " + std::to_string(pending.size()));
        view_.ProcessMessages();
        if (thrownAway())
            return;
    }
    settle(done, pending.size()); // left by a cancel: those removed meanwhile go all the same

    view_.SetStatusText(std::to_string(moved) +
                        (moved == 1 ? " shortcut file" : " shortcut files") +
                        " moved to the recycle bin.");
    if (!kept.empty())
        view_.Warn(KeptFilesText(kept));
}

std::string GoneFileText(const std::string& shortcut) {
    return "The shortcut file is no longer there:\r\n" + shortcut;
}

namespace {

// A count's sentence, then the first few of the files, one a line.
std::string NamedFilesText(std::string text, const std::vector<std::string>& kept) {
    const std::size_t named = std::min(kept.size(), kNamedKept);
    for (std::size_t i = 0; i < named; ++i)
        text += "\r\n" + kept[i];
    if (kept.size() > named)
        text += "\r\n... and " + std::to_string(kept.size() - named) + " more.";
    return text;
}

} // namespace

std::string KeptFilesText(const std::vector<std::string>& kept) {
    return NamedFilesText(std::to_string(kept.size()) +
                              (kept.size() == 1 ? " shortcut file was not moved to the recycle "
                                                  "bin and stays where it is:"
                                                : " shortcut files were not moved to the recycle "
                                                  "bin and stay where they are:"),
                          kept);
}

std::string NotRepairedText(const std::vector<std::string>& kept) {
    return NamedFilesText(std::to_string(kept.size()) +
                              (kept.size() == 1
                                   ? " shortcut was not re-pointed and stays as it was:"
                                   : " shortcuts were not re-pointed and stay as "
                                     "they were:"),
                          kept);
}

std::string RepairQuestionText(std::size_t repoint, std::size_t byNameOnly) {
    std::string text = "Re-point " + std::to_string(repoint) +
                       (repoint == 1 ? " shortcut" : " shortcuts") +
                       " to where the target went? The originals go to the recycle bin, from "
                       "where you may restore them.";
    if (byNameOnly > 0)
        text += "\r\n" + std::to_string(byNameOnly) +
                (byNameOnly == 1 ? " more was" : " more were") +
                " found only by name and left unchecked: check those whose \"Moved to\" is "
                "right and choose Repair again.";
    return text;
}

const TShortcutItem* TShortcutSweeper::FocusedRecord() const {
    if (rows_.SelectedCount() <= 0)
        return nullptr;
    const int focused = rows_.FocusedRow();
    if (focused < 0 || focused >= rows_.Count())
        return nullptr;
    return rows_.Data(focused);
}

void TShortcutSweeper::ActionPropertiesExecute() {
    const TShortcutItem* record = FocusedRecord();
    if (!record)
        return;
    const std::string shortcut = record->Shortcut; // the sheet may process messages
    // A file removed since the scan has no sheet to show: the user is told, and nothing opens.
    if (probes_.ProbePath(shortcut) == TPathState::Absent) {
        view_.Warn(GoneFileText(shortcut));
        return;
    }
    RunPumping([this, &shortcut] { shell_.ShowFileProperties(shortcut); });
}

void TShortcutSweeper::ListViewFilesClick() {
    const TShortcutItem* record = FocusedRecord();
    if (!record)
        return;
    std::string sentence;
    if (record->Invalid) {
        view_.ShowInfoIcon(TInfoIcon::Error);
        sentence = "The shortcut points to an invalid target.";
    } else {
        view_.ShowInfoIcon(TInfoIcon::Good);
        sentence = "The shortcut points to a valid target.";
    }
    std::string info = "Location: " + record->Location + kCr + "Shortcut: " + record->Shortcut +
                       kCr + "Target: " + record->Target + kCr + sentence;
    if (!record->Reason.empty()) // why, after the texts above
        info += kCr + ("Reason: " + record->Reason);
    if (const TMoveFinding* moved = rows_.Entry(rows_.FocusedRow()).moved.get())
        info += kCr + ("Moved to: " + MovedToText(*moved));
    view_.SetInfoText(info);
}

// --- Status --------------------------------------------------------------------------------

// Every idle pass runs this once, and the rows rarely change between passes: the counts are
// taken again only when the rows changed since the last count.
void TShortcutSweeper::UpdateStatus() {
    if (!counted_ || rows_.Changes() != countedAt_) {
        counts_ = {};
        counts_.total = rows_.Count();
        for (int i = 0; i < counts_.total; ++i) {
            const bool invalid = rows_.Data(i)->Invalid;
            if (rows_.Checked(i)) {
                ++counts_.checked;
                counts_.checkedInvalid += invalid ? 1 : 0;
            }
            if (invalid)
                ++counts_.invalid;
        }
        counted_ = true;
        countedAt_ = rows_.Changes();
    }
    const TCommandStatus status{counts_.total, counts_.invalid, counts_.checked,
                                rows_.SelectedCount(), counts_.checkedInvalid};
    for (const TCommand& command : kCommands)
        ActionList[command.id].SetEnabled(command.enabled(status)); // its buttons follow
    view_.SetCounters(status.total, status.invalid, status.checked);
}

// --- Closing -------------------------------------------------------------------------------

bool TShortcutSweeper::RequestClose() {
    if (pumping_ == 0)
        return true;
    closePending_ = true;
    finder_.SetAborted(true);
    repairStop_ = true;
    return false;
}
