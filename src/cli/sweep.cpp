#include "cli/sweep.h"

#include "base/path_rules.h"
#include "finder/di_utils.h"
#include "inventory/scan_settings.h"

#include <algorithm>
#include <cstring>

namespace {

// The names of a pattern (split at '\' and '/') or of a path of the program's form (split at
// '\' only: on POSIX a '/' there stands for a '\' within a name); empty names dropped.
std::vector<std::string> Names(std::string_view path, bool pattern) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\' || (pattern && path[i] == '/')) {
            if (i > start)
                names.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    return names;
}

} // namespace

TFindHandle TSweep::CountingListing::FindFirst(const std::string& pattern, TFindData& data,
                                               std::uint32_t wanted) {
    // The pattern is the folder, its '\' and "*".
    const std::string_view folder = std::string_view(pattern).substr(0, pattern.size() - 1);
    if (folder.size() >= sweep_.root_.size() &&
        sweep_.FolderLeftOut(folder.substr(sweep_.root_.size()))) {
        data = TFindData{};
        data.dwFileAttributes = kAttrDirectory;
        data.cFileName[0] = '.';
        return &leftOut_;
    }
    TSweepCounts& counts = sweep_.counts_;
    ++counts.folders;
    TFindHandle handle = inner_.FindFirst(pattern, data, wanted);
    if (handle != nullptr)
        Count(data);
    return handle;
}

bool TSweep::CountingListing::FindNext(TFindHandle handle, TFindData& data) {
    if (handle == &leftOut_ || !inner_.FindNext(handle, data))
        return false;
    Count(data);
    return true;
}

void TSweep::CountingListing::FindClose(TFindHandle handle) {
    if (handle != &leftOut_)
        inner_.FindClose(handle);
}

void TSweep::CountingListing::Count(const TFindData& data) {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
        ++sweep_.counts_.entries;
}

TSweep::TSweep(IDirListing& listing, ILinkReader& reader, IFileProbes& probes,
               const TWalkLimits& limits)
    : maxDepth_(limits.maxDepth), listing_(listing, *this), reader_(reader), rule_(probes),
      finder_(listing_) {
    for (const std::string& pattern : limits.excludes)
        if (std::vector<std::string> names = Names(pattern, true); !names.empty())
            excludes_.push_back(std::move(names));
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

bool TSweep::LeftOut(std::string_view below) const {
    if (excludes_.empty())
        return false;
    const std::vector<std::string> names = Names(below, false);
    if (names.empty())
        return false; // the walked folder itself
    const auto matches = [&](const std::vector<std::string>& pattern) {
        if (pattern.size() == 1)
            return WildcardMatch(names.back(), pattern[0], '*', '?');
        return pattern.size() == names.size() &&
               std::equal(names.begin(), names.end(), pattern.begin(),
                          [](const std::string& name, const std::string& p) {
                              return WildcardMatch(name, p, '*', '?');
                          });
    };
    return std::any_of(excludes_.begin(), excludes_.end(), matches);
}

bool TSweep::FolderLeftOut(std::string_view below) const {
    if (maxDepth_ >= 0 &&
        std::count(below.begin(), below.end(), '\\') >= static_cast<std::ptrdiff_t>(maxDepth_))
        return true;
    return LeftOut(below);
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
    root_ = finder_.SearchFolder();
    // Next clears Aborted when it starts, so a stop is also asked for between results.
    while (!StopNow() && finder_.Next() && !finder_.Aborted()) {
        const std::string path = finder_.FileName();
        if (LeftOut(std::string_view(path).substr(root_.size())) || (Ignore && Ignore(path)))
            continue;
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
