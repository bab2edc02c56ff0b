// The main window's operations without the window: the scan, the commands on the rows, the
// row click, the status counters and command states, and closing while a scan runs.
//
// Every handler runs on the user-interface thread and may run re-entrantly: the scan's
// progress event and the shell calls of Delete and Properties process window messages, so
// any handler (a filter change, a Show change, a row click, the check commands, Delete, a
// second scan) can run from inside another. No handler keeps a row index across a call that
// can process messages; it finds its row again by its record.
//
// Closing the window (for the window's code):
//   - On WM_CLOSE call RequestClose(). When it returns true nothing is running and the
//     window may be destroyed at once. When it returns false an operation that processes
//     messages is still on the stack (a scan, or a shell call of Delete or Properties): the
//     running scan has been told to stop, as Escape does, and the window must NOT be
//     destroyed now.
//   - The callback given to SetOnDeferredClose() is then called exactly once, when the
//     outermost such operation has returned and nothing of this object is used any more; it
//     may destroy the window and this object with it (DestroyWindow is the usual choice).
//   - Once a close is pending, a Scan command does nothing, and a folder picked in a picker
//     that was open at that moment is not scanned.
#pragma once

#include "finder/di_file_finder.h"
#include "inventory/commands.h"
#include "inventory/inventory.h"
#include "inventory/main_view.h"
#include "platform/shell_services.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IFileProbes;
class ILinkReader;
class IRepairFiles;
class ISearchFileSystem;
class IShortcutFiles;

// Texts the scan and the commands show.
extern const char* const kPickerTitle;
extern const char* const kDeleteQuestion;
// The message at the end of a Delete that left files where they were: how many, and the
// first few of them.
std::string KeptFilesText(const std::vector<std::string>& kept);
// The message of Properties for a shortcut file that is no longer there.
std::string GoneFileText(const std::string& shortcut);
// Repair's one question: how many shortcuts it will re-point, and how many more it found only
// by name (left unchecked for the user to look at).
std::string RepairQuestionText(std::size_t repoint, std::size_t byNameOnly);
// The message at the end of a Repair that left shortcuts as they were: how many, and the
// first few of them with the reason.
std::string NotRepairedText(const std::vector<std::string>& kept);

// What Repair needs of the platform; none of it owned. Repair does nothing until all are set.
struct TRepairSystem {
    IShortcutFiles* files = nullptr;     // the shortcuts' bytes and the Windows they belong to
    ISearchFileSystem* search = nullptr; // the folders and volumes searched
    IRepairFiles* repair = nullptr;      // the re-pointing's file steps
};

class TShortcutSweeper {
public:
    // Every reference must outlive the object. The finder lists folders through `listing`.
    TShortcutSweeper(IMainView& view, TReportList& rows, IShellServices& shell, ILinkReader& reader,
                     IFileProbes& probes, IDirListing& listing = SystemDirListing());
    TShortcutSweeper(const TShortcutSweeper&) = delete;
    TShortcutSweeper& operator=(const TShortcutSweeper&) = delete;

    TInventory& Inventory() { return inventory_; }
    TDIWildFileFinder& DIWildFileFinder() { return finder_; }

    // The scan: the picker at "C:\" (cancel changes nothing), then the results are thrown
    // away and the chosen folder is walked, one record and row per shortcut as found.
    void ActionScanShortcutsExecute() { ScanShortcuts(); }
    void ScanShortcuts();
    void SearchShortcuts(const std::string& folder);
    // Whether a scan enters links to folders, each folder once (where the listing tells
    // folders apart): under Wine, whose user folders are links into the Linux home that its
    // Explorer shows as folders. Off by default: links are reported and left.
    void SetFollowFolderLinks(bool follow) { followFolderLinks_ = follow; }
    // The finder's progress event: processes the pending window messages.
    void DIWildFileFinderProgress(TDICustomFileFinder& Sender);
    // Escape, whatever the shift state, stops a running scan; every other key passes on.
    enum class TKey { Escape, Other };
    void FormKeyDown(TKey key);

    // The views (the filter box and the Show box).
    void EditFilterChange(const std::string& text) { inventory_.EditFilterChange(text); }
    void ComboBoxShowChange(int position) { inventory_.ComboBoxShowChange(position); }

    // The commands. Each is safe with no rows; Delete asks first and moves the checked
    // rows' shortcut files to the recycle bin; a row and its record go exactly when the file
    // is no longer there afterwards, and the files that stay are named in one message.
    void ActionSelectInvalidExecute();
    void ActionSelectnoneExecute();
    void ActionDeleteExecute();
    // Repair: where the checked invalid rows' targets went, searched with the status line
    // saying how far (Escape stops it; searching changes nothing), shown in each row's Moved
    // to column; then one question, and the rows with an exact or strong candidate are
    // re-pointed, each original to the recycle bin. A candidate found only by name is
    // re-pointed only when its row is checked again after the user saw it (the next Repair);
    // the search leaves such rows unchecked. A repaired row shows its new target, judged
    // afresh, unchecked; the shortcuts left as they were are named in one message.
    void SetRepairSystem(TRepairSystem system) { repair_ = system; }
    void ActionRepairExecute();
    // Properties of the focused row's shortcut file, when a row is highlighted; a warning
    // instead when the file is no longer there. It is also
    // the list's double-click handler, which calls it directly, whatever the command's state.
    void ActionPropertiesExecute();
    // A mouse click on the list: the focused row's details in the info panel.
    void ListViewFilesClick();

    // The commands (kCommands), each run through its action: ActionList[id].Execute() runs
    // the update event first, and only an enabled command runs. The buttons bind to these
    // actions and follow their enabled state.
    TActionList ActionList;
    // Counters over the current rows and the enabled states of the commands (Scan is never
    // disabled); the action list's update event.
    void ActionListUpdate() { UpdateStatus(); }
    void UpdateStatus();
    bool ActionEnabled(TActionId action) const { return ActionList[action].Enabled(); }

    // Closing; see the notes at the top of this file.
    bool RequestClose();
    void SetOnDeferredClose(std::function<void()> callback) {
        onDeferredClose_ = std::move(callback);
    }
    bool ClosePending() const { return closePending_; }
    // Depth of running scans (a scan started from inside another counts twice).
    int Scanning() const { return scanDepth_; }

private:
    // The focused row's record while some row is selected; nullptr otherwise.
    const TShortcutItem* FocusedRecord() const;
    // Runs an operation that may process window messages, keeping count of them so a close
    // can be deferred until the outermost one has returned.
    template <class Body> void RunPumping(Body&& body);
    void Search(const std::string& folder);
    void DeleteCheckedRows();
    void RepairCheckedRows();

    IMainView& view_;
    TReportList& rows_;
    IShellServices& shell_;
    ILinkReader& reader_;
    IFileProbes& probes_;
    bool followFolderLinks_ = false;
    TInventory inventory_;
    TDIWildFileFinder finder_;
    TRepairSystem repair_;
    bool repairStop_ = false; // Escape during Repair's search
    struct TCounts {
        int total = 0, invalid = 0, checked = 0, checkedInvalid = 0;
    };
    TCounts counts_; // the last count over the rows ...
    bool counted_ = false;
    std::uint64_t countedAt_ = 0; // ... taken at this TReportList::Changes()
    int scanDepth_ = 0;
    int pumping_ = 0;
    bool closePending_ = false;
    bool closeDelivered_ = false;
    std::function<void()> onDeferredClose_;
};
