#include "cli/sweep.h"

#include "base/path_rules.h"
#include "inventory/scan_settings.h"

#include <cstring>

TFindHandle TSweep::CountingListing::FindFirst(const std::string& pattern, TFindData& data,
                                               std::uint32_t wanted) {
    ++counts_.folders;
    TFindHandle handle = inner_.FindFirst(pattern, data, wanted);
    if (handle != nullptr)
        Count(data);
    return handle;
}

bool TSweep::CountingListing::FindNext(TFindHandle handle, TFindData& data) {
    if (!inner_.FindNext(handle, data))
        return false;
    Count(data);
    return true;
}

void TSweep::CountingListing::Count(const TFindData& data) {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
        ++counts_.entries;
}

TSweep::TSweep(IDirListing& listing, ILinkReader& reader, IFileProbes& probes)
    : listing_(listing, counts_), reader_(reader), rule_(probes), finder_(listing_) {
    finder_.SetOnProgress([this](TDICustomFileFinder& sender) {
        if (OnProgress)
            OnProgress(counts_);
        if (StopNow())
            sender.SetAborted(true);
    });
    finder_.SetOnFolderError([this](const std::string& folder, const std::string& reason) {
        ++counts_.skipped;
        if (folder == finder_.RootFolder())
            rootFailed_ = true;
        if (OnFolderError)
            OnFolderError(folder, reason);
    });
}

// The listing seam's answer, counted.
bool TSweep::CountingListing::FolderIdentity(const std::string& folder, TFolderId& id) {
    return inner_.FolderIdentity(folder, id);
}

bool TSweep::StopNow() {
    if (!stopped_ && StopRequested && StopRequested())
        stopped_ = true;
    return stopped_;
}

bool TSweep::Walk(const std::string& folder) {
    if (StopNow())
        return true;
    SetUpShortcutScan(finder_, folder);
    finder_.SetTrackFolders(true); // set up anew for each folder, the folders seen kept
    rootFailed_ = false;
    walked_.push_back(finder_.RootFolder());
    // Next clears Aborted when it starts, so a stop is also asked for between results.
    while (!StopNow() && finder_.Next() && !finder_.Aborted()) {
        const std::string path = finder_.FileName();
        std::unique_ptr<TShortcutItem> record = ProcessShortcutFile(path, reader_, rule_);
        // A stop that came while the file was being read may have cut the reading short.
        if (StopNow())
            break;
        Report(std::move(record));
    }
    finder_.CloseHandles();
    return !rootFailed_;
}

void TSweep::Judge(const std::string& shortcut) {
    if (StopNow())
        return;
    const std::string_view folder = ExtractFilePath(shortcut);
    for (const std::string& walked : walked_)
        if (walked == shortcut || folder.starts_with(walked))
            return; // judged already, or listed by that walk
    walked_.push_back(shortcut);
    Report(ProcessShortcutFile(shortcut, reader_, rule_));
}

void TSweep::Report(std::unique_ptr<TShortcutItem> record) {
    if (!record)
        return;
    ++counts_.shortcuts;
    if (record->Invalid)
        ++counts_.invalid;
    if (OnRecord)
        OnRecord(*record);
}
