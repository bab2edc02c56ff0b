// The file finder: walks a folder tree depth-first and hands out one accepted path per call
// of Next. Three layers decide what is a result: TDICustomFileFinder (files and/or folders),
// TDICustomAttributeFileFinder (attribute bits), TDIWildFileFinder (exclude and include
// wildcard patterns matched against the full path).
//
// Paths are byte strings with '\' separators; SearchFolder ends in '\' unless it is empty,
// in which case the current folder is walked and the results are relative paths.
//
// Between two results the finder keeps one open listing per level of the walk, so a walk can
// be suspended at any entry and resumed. OnProgress fires once per examined entry that does
// not end the call (never for the entry Next returns); the handler may run host code
// re-entrantly:
//   - SetAborted(true) there makes the running Next return false; the next call resumes with
//     the following entry. Next clears Aborted on entry, so a request between calls is lost.
//   - SetSearchFolder there closes every listing; the running Next returns false as soon as
//     the handler returns, and the finder is idle on the new folder.
//   - An exception from the handler leaves Next with the walk intact and resumable.
//
// Links to folders (symbolic links, junctions) are reported like folders but never entered,
// so a cycle of links cannot make the walk endless; memory and open handles grow with the
// depth of the tree only. With TrackFolders, where the listing tells folders apart, each
// folder is walked once however many paths lead to it (a second walk, of a folder inside the
// first, adds nothing); FollowLinks then enters links to folders too, still each folder once,
// so a cycle of links ends where it closes.
//
// A folder whose listing fails with an error is reported to OnFolderError with the system's
// reason, and the walk goes on.
#pragma once

#include "finder/dir_listing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

using TDIAnsiStringVector = std::vector<std::string>;

enum TDIAttributeFilter : std::uint8_t {
    afIgnore = 0,  // attribute not tested
    afInclude = 1, // the attribute bit must be set
    afExclude = 2, // the attribute bit must be clear
};

class TDICustomFileFinder;
using TDIFileFinderProgress = std::function<void(TDICustomFileFinder& Sender)>;

// An open listing, closed when the object goes.
class TDIListingHandle {
public:
    TDIListingHandle() = default;
    TDIListingHandle(IDirListing* listing, TFindHandle handle)
        : listing_(listing), handle_(handle) {}
    TDIListingHandle(TDIListingHandle&& other) noexcept
        : listing_(other.listing_), handle_(std::exchange(other.handle_, nullptr)) {}
    TDIListingHandle& operator=(TDIListingHandle&& other) noexcept {
        if (this != &other) {
            Close();
            listing_ = other.listing_;
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    TDIListingHandle(const TDIListingHandle&) = delete;
    TDIListingHandle& operator=(const TDIListingHandle&) = delete;
    ~TDIListingHandle() { Close(); }

    bool IsOpen() const { return handle_ != nullptr; }
    TFindHandle Get() const { return handle_; }
    void Close() {
        if (handle_ != nullptr)
            listing_->FindClose(std::exchange(handle_, nullptr));
    }

private:
    IDirListing* listing_ = nullptr;
    TFindHandle handle_ = nullptr;
};

class TDICustomFileFinder {
public:
    explicit TDICustomFileFinder(IDirListing& listing = SystemDirListing());
    TDICustomFileFinder(const TDICustomFileFinder&) = delete;
    TDICustomFileFinder& operator=(const TDICustomFileFinder&) = delete;
    virtual ~TDICustomFileFinder();

    // Advances to the next accepted entry: true with its path in FileName; false when the
    // walk has ended (a further call walks the tree again) or was stopped.
    bool Next();
    // Closes every open listing; SearchFolder is left as it is.
    void CloseHandles();

    // Full path of the candidate tested last; the result after Next returned true.
    const std::string& FileName() const { return fileName_; }
    bool Aborted() const { return aborted_; }
    void SetAborted(bool value) { aborted_ = value; }

    // During a walk, the folder whose listing is being read.
    const std::string& SearchFolder() const { return searchFolder_; }
    // Closes every listing, stores the folder (adding a trailing '\' unless it is empty or
    // already has one) and makes the finder idle on it.
    void SetSearchFolder(std::string_view folder);
    bool Recurse() const { return recurse_; }
    void SetRecurse(bool value) { recurse_ = value; }
    bool FileFilter() const { return fileFilter_; }
    void SetFileFilter(bool value) { fileFilter_ = value; }
    bool FolderFilter() const { return folderFilter_; }
    void SetFolderFilter(bool value) { folderFilter_ = value; }
    const TDIFileFinderProgress& OnProgress() const { return onProgress_; }
    void SetOnProgress(TDIFileFinderProgress handler) { onProgress_ = std::move(handler); }
    // Called with a folder (the program's form, ending in '\') that could not be listed.
    using TFolderError = std::function<void(const std::string& folder, const std::string& reason)>;
    void SetOnFolderError(TFolderError handler) { onFolderError_ = std::move(handler); }
    // Each folder once, across walks, until ForgetFolders.
    void SetTrackFolders(bool value) { trackFolders_ = value; }
    void SetFollowLinks(bool value) { followLinks_ = value; }
    void ForgetFolders() { visited_.clear(); }
    // The folder the walk started in (SearchFolder as last set).
    const std::string& RootFolder() const { return rootFolder_; }

protected:
    // Whether the current candidate (path in FileName, entry in FindData) is a result.
    virtual bool AcceptEntry() = 0;
    // Attribute bits AcceptEntry tests (besides the directory bit).
    virtual std::uint32_t WantedAttributes() const { return 0; }
    // The entry read last.
    const TFindData& FindData() const { return findData_; }
    // Closes the current listing and resumes the parent's; false when there is none.
    bool PopFolder();

private:
    bool ObtainEntry();
    // Whether the folder at `path` (reached through a link or not) may be walked: always
    // unless tracked and seen before.
    bool FirstVisit(const std::string& path, bool link);

    struct FolderIdHash {
        std::size_t operator()(const TFolderId& id) const {
            return std::hash<std::uint64_t>()(id.inode * 31 + id.device);
        }
    };

    IDirListing* listing_;
    TDIListingHandle findHandle_;
    TFindData findData_;
    std::string searchFolder_;
    bool recurse_ = false;
    std::vector<std::pair<std::string, TDIListingHandle>> folderStack_;
    bool aborted_ = false;
    bool fileFilter_ = true;
    bool folderFilter_ = false;
    std::string fileName_;
    TDIFileFinderProgress onProgress_;
    // Counts writes of SearchFolder, so Next sees one made from inside OnProgress.
    std::uint64_t folderWrites_ = 0;
    std::string rootFolder_;
    TFolderError onFolderError_;
    bool trackFolders_ = false;
    bool followLinks_ = false;
    std::unordered_set<TFolderId, FolderIdHash> visited_;
};

class TDICustomAttributeFileFinder : public TDICustomFileFinder {
public:
    using TDICustomFileFinder::TDICustomFileFinder;

    TDIAttributeFilter ArchiveFilter() const { return archiveFilter_; }
    void SetArchiveFilter(TDIAttributeFilter value) { archiveFilter_ = value; }
    TDIAttributeFilter CompressedFilter() const { return compressedFilter_; }
    void SetCompressedFilter(TDIAttributeFilter value) { compressedFilter_ = value; }
    TDIAttributeFilter HiddenFilter() const { return hiddenFilter_; }
    void SetHiddenFilter(TDIAttributeFilter value) { hiddenFilter_ = value; }
    TDIAttributeFilter ReadOnlyFilter() const { return readOnlyFilter_; }
    void SetReadOnlyFilter(TDIAttributeFilter value) { readOnlyFilter_ = value; }
    TDIAttributeFilter SystemFilter() const { return systemFilter_; }
    void SetSystemFilter(TDIAttributeFilter value) { systemFilter_ = value; }

protected:
    // The attribute test: the first failing filter, in the order above, rejects.
    bool AcceptEntry() override;
    std::uint32_t WantedAttributes() const override;

private:
    TDIAttributeFilter archiveFilter_ = afIgnore;
    TDIAttributeFilter compressedFilter_ = afIgnore;
    TDIAttributeFilter hiddenFilter_ = afIgnore;
    TDIAttributeFilter readOnlyFilter_ = afIgnore;
    TDIAttributeFilter systemFilter_ = afIgnore;
};

class TDIWildFileFinder : public TDICustomAttributeFileFinder {
public:
    explicit TDIWildFileFinder(IDirListing& listing = SystemDirListing());
    ~TDIWildFileFinder() override;

    char WildChar() const { return wildChar_; }
    void SetWildChar(char value) { wildChar_ = value; }
    char MaskChar() const { return maskChar_; }
    void SetMaskChar(char value) { maskChar_ = value; }
    // The finder's own lists, in order; the host may change them in place.
    TDIAnsiStringVector& IncludeFilters() { return includeFilters_; }
    const TDIAnsiStringVector& IncludeFilters() const { return includeFilters_; }
    void SetIncludeFilters(const TDIAnsiStringVector& patterns) { includeFilters_ = patterns; }
    TDIAnsiStringVector& ExcludeFilters() { return excludeFilters_; }
    const TDIAnsiStringVector& ExcludeFilters() const { return excludeFilters_; }
    void SetExcludeFilters(const TDIAnsiStringVector& patterns) { excludeFilters_ = patterns; }
    // Exclude patterns matched against the part of FileName below RootFolder, so the names of
    // the folder the user chose (and its parents) exclude nothing.
    void SetExcludeBelowRoot(bool value) { excludeBelowRoot_ = value; }

protected:
    // Attribute test, then no exclude pattern may match, then (unless the include list is
    // empty) an include pattern must match; patterns are matched against FileName.
    bool AcceptEntry() override;

private:
    char wildChar_ = '*';
    char maskChar_ = '?';
    TDIAnsiStringVector includeFilters_;
    TDIAnsiStringVector excludeFilters_;
    bool excludeBelowRoot_ = false;
};
