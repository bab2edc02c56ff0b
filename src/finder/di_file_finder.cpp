#include "finder/di_file_finder.h"

#include "finder/di_utils.h"

#include <cstring>

namespace {

bool IsDotEntry(const char* name) {
    return (name[0] == '.' && name[1] == '\0') ||
           (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}

} // namespace

// ---- TDICustomFileFinder ------------------------------------------------------------------

TDICustomFileFinder::TDICustomFileFinder(IDirListing& listing) : listing_(&listing) {}

TDICustomFileFinder::~TDICustomFileFinder() { CloseHandles(); }

void TDICustomFileFinder::CloseHandles() {
    findHandle_.Close();
    folderStack_.clear(); // each pair's handle closes with it
}

void TDICustomFileFinder::SetSearchFolder(std::string_view folder) {
    CloseHandles();
    searchFolder_.assign(folder);
    if (!searchFolder_.empty() && searchFolder_.back() != '\\')
        searchFolder_.push_back('\\');
    rootFolder_ = searchFolder_;
    ++folderWrites_;
}

bool TDICustomFileFinder::PopFolder() {
    findHandle_.Close();
    if (folderStack_.empty())
        return false;
    auto& top = folderStack_.back();
    searchFolder_ = std::move(top.first);
    findHandle_ = std::move(top.second);
    folderStack_.pop_back();
    return true;
}

// Reads the next entry into findData_: the first of SearchFolder when no listing is open,
// else the next of the open one. False when there is none.
bool TDICustomFileFinder::ObtainEntry() {
    if (!findHandle_.IsOpen()) {
        if (folderStack_.empty() && !FirstVisit(searchFolder_, false))
            return false; // the whole walk lies in a folder walked before
        const std::string pattern = searchFolder_ + '*';
        TFindHandle handle = listing_->FindFirst(pattern, findData_, WantedAttributes());
        if (handle == nullptr) {
            if (onFolderError_)
                if (const std::string reason = listing_->FailureReason(); !reason.empty())
                    onFolderError_(searchFolder_, reason);
            return false;
        }
        findHandle_ = TDIListingHandle(listing_, handle);
        return true;
    }
    return listing_->FindNext(findHandle_.Get(), findData_);
}

bool TDICustomFileFinder::FirstVisit(const std::string& path, bool link) {
    if (!trackFolders_)
        return true;
    TFolderId id;
    if (!listing_->FolderIdentity(path, id))
        return !link; // a link to a folder that cannot be told apart is never followed
    return visited_.insert(id).second;
}

bool TDICustomFileFinder::Next() {
    aborted_ = false;
    for (;;) {
        if (!ObtainEntry()) {
            if (!PopFolder())
                return false;
            continue;
        }

        const char* name = findData_.cFileName;
        if ((findData_.dwFileAttributes & kAttrDirectory) == 0) {
            if (fileFilter_) {
                fileName_.assign(searchFolder_).append(name);
                if (AcceptEntry())
                    return true;
            }
        } else if (IsDotEntry(name)) {
            // the folder itself and its parent: nothing to do
        } else if (recurse_ && (followLinks_ || !IsLinkEntry(findData_)) &&
                   FirstVisit(searchFolder_ + name + '\\', IsLinkEntry(findData_))) {
            // Enter the folder; it is then reported (if it is a result) before its contents.
            std::string parent = searchFolder_;
            searchFolder_.append(name).push_back('\\');
            folderStack_.emplace_back(std::move(parent), std::move(findHandle_));
            if (folderFilter_) {
                fileName_ = searchFolder_;
                if (AcceptEntry())
                    return true;
            }
        } else {
            // Not entered: Recurse is off, the folder is a link (a cycle of links would
            // otherwise never end; a junction or symbolic link is reported but not followed),
            // or it was walked before.
            if (folderFilter_) {
                fileName_.assign(searchFolder_).append(name).push_back('\\');
                if (AcceptEntry())
                    return true;
            }
        }

        if (onProgress_) {
            const std::uint64_t writes = folderWrites_;
            // A copy, so the handler may replace OnProgress while it runs.
            const TDIFileFinderProgress handler = onProgress_;
            handler(*this);
            if (aborted_ || folderWrites_ != writes)
                return false;
        }
    }
}

// ---- TDICustomAttributeFileFinder ---------------------------------------------------------

namespace {

bool FilterFails(TDIAttributeFilter filter, std::uint32_t attributes, std::uint32_t bit) {
    switch (filter) {
    case afInclude:
        return (attributes & bit) == 0;
    case afExclude:
        return (attributes & bit) != 0;
    default:
        return false;
    }
}

std::uint32_t Wanted(TDIAttributeFilter filter, std::uint32_t bit) {
    return filter == afInclude || filter == afExclude ? bit : 0;
}

} // namespace

bool TDICustomAttributeFileFinder::AcceptEntry() {
    const std::uint32_t a = FindData().dwFileAttributes;
    return !FilterFails(archiveFilter_, a, kAttrArchive) &&
           !FilterFails(compressedFilter_, a, kAttrCompressed) &&
           !FilterFails(hiddenFilter_, a, kAttrHidden) &&
           !FilterFails(readOnlyFilter_, a, kAttrReadOnly) &&
           !FilterFails(systemFilter_, a, kAttrSystem);
}

std::uint32_t TDICustomAttributeFileFinder::WantedAttributes() const {
    return Wanted(archiveFilter_, kAttrArchive) | Wanted(compressedFilter_, kAttrCompressed) |
           Wanted(hiddenFilter_, kAttrHidden) | Wanted(readOnlyFilter_, kAttrReadOnly) |
           Wanted(systemFilter_, kAttrSystem);
}

// ---- TDIWildFileFinder --------------------------------------------------------------------

TDIWildFileFinder::TDIWildFileFinder(IDirListing& listing)
    : TDICustomAttributeFileFinder(listing) {}

TDIWildFileFinder::~TDIWildFileFinder() = default;

bool TDIWildFileFinder::AcceptEntry() {
    if (!TDICustomAttributeFileFinder::AcceptEntry())
        return false;
    const std::string& path = FileName();
    std::string_view below(path);
    if (excludeBelowRoot_ && below.starts_with(RootFolder()))
        below.remove_prefix(RootFolder().size());
    for (const std::string& pattern : excludeFilters_)
        if (WildcardMatch(below, pattern, wildChar_, maskChar_))
            return false;
    if (includeFilters_.empty())
        return true;
    for (const std::string& pattern : includeFilters_)
        if (WildcardMatch(path, pattern, wildChar_, maskChar_))
            return true;
    return false;
}
