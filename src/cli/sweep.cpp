#include "cli/sweep.h"

#include "inventory/scan_settings.h"

#include <cstring>

TFindHandle TSweep::CountingListing::FindFirst(const std::string& pattern, TFindData& data,
                                               std::uint32_t wanted) {
    ++counts_.folders;
    TFindHandle handle = inner_.FindFirst(pattern, data, wanted);
    // Every readable folder lists at least "." (a drive's root lists its entries, or
    // nothing only when it is empty).
    if (handle == nullptr)
        ++counts_.skipped;
    else
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
}

bool TSweep::StopNow() {
    if (!stopped_ && StopRequested && StopRequested())
        stopped_ = true;
    return stopped_;
}

void TSweep::Walk(const std::string& folder) {
    if (StopNow())
        return;
    SetUpShortcutScan(finder_, folder);
    // Next clears Aborted when it starts, so a stop is also asked for between results.
    while (!StopNow() && finder_.Next() && !finder_.Aborted()) {
        const std::string path = finder_.FileName();
        std::unique_ptr<TShortcutItem> record = ProcessShortcutFile(path, reader_, rule_);
        // A stop that came while the file was being read may have cut the reading short.
        if (StopNow())
            break;
        if (record) {
            ++counts_.shortcuts;
            if (record->Invalid)
                ++counts_.invalid;
            if (OnRecord)
                OnRecord(*record);
        }
    }
    finder_.CloseHandles();
}
