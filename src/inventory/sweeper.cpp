#include "inventory/sweeper.h"

#include "inventory/scan_settings.h"
#include "inventory/shortcut_item.h"

#include <algorithm>
#include <exception>
#include <string>
#include <unordered_set>

const char* const kPickerTitle = "Select the folder you want to search: ";
const char* const kDeleteQuestion =
    "Move selected shortcuts to trash? You may restore inadvertently deleted shortcuts from "
    "recycle bin.";

namespace {

constexpr std::uint32_t kPickerFlags = 0x41; // return only file-system folders, new style
constexpr int kKeyEscape = 27;
constexpr unsigned kYesNoQuestion = 36; // MB_YESNO | MB_ICONQUESTION
constexpr int kAnswerYes = 6;           // IDYES
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

} // namespace

TShortcutSweeper::TShortcutSweeper(IMainView& view, IReportList& rows, IShellServices& shell,
                                   ILinkReader& reader, IFileProbes& probes,
                                   IDirListing& listing)
    : view_(view), rows_(rows), shell_(shell), reader_(reader), probes_(probes),
      inventory_(rows), finder_(listing) {
    finder_.SetOnProgress([this](TDICustomFileFinder& sender) { DIWildFileFinderProgress(sender); });
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
        if (!shell_.BrowseForFolder(view_.Handle(), folder, kPickerTitle, kPickerFlags, ""))
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

void TShortcutSweeper::FormKeyDown(int key, unsigned) {
    if (key == kKeyEscape)
        finder_.SetAborted(true);
}

// --- The commands --------------------------------------------------------------------------

void TShortcutSweeper::ActionSelectInvalidExecute() {
    for (int i = 0; i < rows_.Count(); ++i) {
        const TShortcutItem* record = rows_.Data(i);
        rows_.SetChecked(i, record != nullptr && record->Invalid);
    }
}

void TShortcutSweeper::ActionSelectnoneExecute() {
    for (int i = 0; i < rows_.Count(); ++i)
        rows_.SetChecked(i, false);
}

void TShortcutSweeper::ActionDeleteExecute() {
    if (rows_.Count() == 0)
        return;
    RunPumping([this] {
        if (view_.MessageBox(kDeleteQuestion, view_.Title(), kYesNoQuestion) != kAnswerYes)
            return;
        DeleteCheckedRows();
    });
}

int TShortcutSweeper::FindRow(const TShortcutItem* record) const {
    for (int i = rows_.Count() - 1; i >= 0; --i)
        if (rows_.Data(i) == record)
            return i;
    return -1;
}

bool TShortcutSweeper::InMaster(const TShortcutItem* record) const {
    const TShortcutList& master = inventory_.Master();
    for (int i = master.Count() - 1; i >= 0; --i)
        if (master.Items(i) == record)
            return true;
    return false;
}

// Visits the rows from the last to the first and moves each checked row's file to the
// recycle bin. The rows and records whose files went are removed together when the visit
// ends, each list in one pass, so deleting thousands of rows stays linear.
// A move may process messages, and what runs then may rebuild, shrink or empty the rows and
// the master list. When the master list was emptied (a new scan), the visit stops. When the
// rows changed, their indices no longer hold: what was moved so far and is still listed is
// removed at once, and the visit goes on below the row of the record just moved, found
// again. A record that went meanwhile (possibly with a new record at the same address,
// which is then checked to be the same shortcut) is left alone.
void TShortcutSweeper::DeleteCheckedRows() {
    const std::uint64_t generation = inventory_.Generation();
    std::uint64_t version = inventory_.RowsVersion();
    std::vector<int> goneRows; // descending, as visited
    std::unordered_set<const TShortcutItem*> goneRecords;
    const auto removeGone = [&] {
        std::reverse(goneRows.begin(), goneRows.end());
        if (!goneRows.empty())
            inventory_.RemoveRecords(goneRows, goneRecords);
        goneRows.clear();
        goneRecords.clear();
    };

    int row = rows_.Count() - 1;
    for (;;) {
        while (row >= 0 && !(rows_.Checked(row) && rows_.Data(row) != nullptr))
            --row;
        if (row < 0)
            break;
        const TShortcutItem* record = rows_.Data(row);
        const std::string shortcut = record->Shortcut;
        const bool moved = shell_.MoveToRecycleBin(view_.Handle(), shortcut, false);
        if (inventory_.Generation() != generation)
            return; // a new scan threw the records away
        if (inventory_.RowsVersion() == version) {
            if (moved) {
                goneRows.push_back(row);
                goneRecords.insert(record);
            }
            --row;
            continue;
        }
        // The rows changed under the visit: find everything again by record.
        if (moved && InMaster(record) && record->Shortcut == shortcut)
            goneRecords.insert(record);
        std::unordered_set<const TShortcutItem*> listed;
        for (int i = 0; i < inventory_.Master().Count(); ++i)
            if (goneRecords.count(inventory_.Master().Items(i)))
                listed.insert(inventory_.Master().Items(i));
        const int now = FindRow(record);
        int removedBelow = 0;
        goneRows.clear();
        for (int i = rows_.Count() - 1; i >= 0; --i)
            if (listed.count(rows_.Data(i))) {
                goneRows.push_back(i);
                removedBelow += i < now ? 1 : 0;
            }
        goneRecords = std::move(listed);
        removeGone();
        row = now >= 0 ? now - removedBelow - 1 : std::min(row, rows_.Count()) - 1;
        version = inventory_.RowsVersion();
    }
    removeGone();
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
    view_.SetInfoText("Location: " + record->Location + kCr + "Shortcut: " + record->Shortcut +
                      kCr + "Target: " + record->Target + kCr + sentence);
}

// --- Status --------------------------------------------------------------------------------

// The idle pass runs this once per command button, and the rows rarely change in between:
// the counts are taken again only when the rows changed since the last count.
void TShortcutSweeper::UpdateStatus() {
    if (!counted_ || rows_.Changes() != countedAt_) {
        counts_ = {};
        counts_.total = rows_.Count();
        for (int i = 0; i < counts_.total; ++i) {
            if (rows_.Checked(i))
                ++counts_.checked;
            const TShortcutItem* record = rows_.Data(i);
            if (record && record->Invalid)
                ++counts_.invalid;
        }
        counted_ = true;
        countedAt_ = rows_.Changes();
    }
    const int total = counts_.total, checked = counts_.checked, invalid = counts_.invalid;
    view_.SetActionEnabled(TActionId::ScanShortcuts, true);
    view_.SetActionEnabled(TActionId::Properties, rows_.SelectedCount() > 0);
    view_.SetActionEnabled(TActionId::SelectInvalid, invalid > 0);
    view_.SetActionEnabled(TActionId::Selectnone, checked > 0);
    view_.SetActionEnabled(TActionId::Delete, checked > 0);
    view_.SetCounters(total, invalid, checked);
}

bool TShortcutSweeper::ActionEnabled(TActionId action) const {
    return view_.ActionEnabled(action);
}

bool TShortcutSweeper::Execute(TActionId action) {
    UpdateStatus();
    if (!ActionEnabled(action))
        return false;
    switch (action) {
    case TActionId::ScanShortcuts:
        ActionScanShortcutsExecute();
        break;
    case TActionId::Properties:
        ActionPropertiesExecute();
        break;
    case TActionId::SelectInvalid:
        ActionSelectInvalidExecute();
        break;
    case TActionId::Selectnone:
        ActionSelectnoneExecute();
        break;
    case TActionId::Delete:
        ActionDeleteExecute();
        break;
    }
    return true;
}

// --- Closing -------------------------------------------------------------------------------

bool TShortcutSweeper::RequestClose() {
    if (pumping_ == 0)
        return true;
    closePending_ = true;
    finder_.SetAborted(true);
    return false;
}
