// The directory listing the file finder reads: a seam over the platform's listing calls.
#pragma once

#include <cstdint>
#include <string>

// Attribute bits, with the values the Windows listing reports.
constexpr std::uint32_t kAttrReadOnly = 0x1;
constexpr std::uint32_t kAttrHidden = 0x2;
constexpr std::uint32_t kAttrSystem = 0x4;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrReparsePoint = 0x400;
constexpr std::uint32_t kAttrCompressed = 0x800;

// Reparse tags (in TFindData::dwReserved0 when kAttrReparsePoint is set).
constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003u; // junction
constexpr std::uint32_t kReparseTagSymlink = 0xA000000Cu;
// A tag with this bit names another file or folder (a link) rather than holding data.
constexpr std::uint32_t kReparseTagNameSurrogate = 0x20000000u;

// One entry of a listing.
struct TFindData {
    std::uint32_t dwFileAttributes = 0;
    std::uint32_t dwReserved0 = 0; // reparse tag when kAttrReparsePoint is set, else 0
    char cFileName[1024] = {};     // NUL-terminated entry name (255 UTF-16 units as UTF-8)
};

// Tags that Microsoft assigns carry this bit.
constexpr std::uint32_t kReparseTagMicrosoft = 0x80000000u;

// True for an entry that is a link to another place (symbolic link, junction): following
// it can lead back into a folder already being walked. A reparse point whose tag is not
// one of Microsoft's is taken for a link too: Wine reports a Unix symbolic link as a reparse
// point with the tag 1, and an unknown kind is safer left unentered. Microsoft's data tags
// (cloud files, deduplication) name no other place and are entered.
inline bool IsLinkEntry(const TFindData& data) {
    return (data.dwFileAttributes & kAttrReparsePoint) != 0 &&
           ((data.dwReserved0 & kReparseTagNameSurrogate) != 0 ||
            (data.dwReserved0 & kReparseTagMicrosoft) == 0);
}

// Opaque listing handle; nullptr is "no listing".
using TFindHandle = void*;

// What makes a folder itself, whatever path reaches it (a device and an inode on POSIX).
struct TFolderId {
    std::uint64_t device = 0, inode = 0;
    bool operator==(const TFolderId&) const = default;
};

class IDirListing {
public:
    virtual ~IDirListing() = default;
    // Starts a listing of `pattern`, a folder path in the program's form ('\' separators)
    // followed by "*"; "*" alone lists the current folder. On success returns the handle
    // and the first entry in `data`; on failure (missing, not a folder, access denied, path
    // too long) returns nullptr. Every entry is listed, hidden ones included; the directory
    // bit is always exact. `wanted` holds the other attribute bits the caller will test, so
    // a listing that has to work for them may skip that work when they are not wanted.
    virtual TFindHandle FindFirst(const std::string& pattern, TFindData& data,
                                  std::uint32_t wanted) = 0;
    // The listing's next entry; false at the end or on an error (not told apart).
    virtual bool FindNext(TFindHandle handle, TFindData& data) = 0;
    // Releases a handle FindFirst returned.
    virtual void FindClose(TFindHandle handle) = 0;
    // Why the last FindFirst failed, in the system's words ("Permission denied"); "" when
    // it found nothing to list without an error (an empty drive root) or cannot tell.
    virtual std::string FailureReason() const { return {}; }
    // The identity of a folder (the program's path form); false where the platform has none
    // to give.
    virtual bool FolderIdentity(const std::string& folder, TFolderId& id) {
        (void)folder;
        (void)id;
        return false;
    }
};

// The platform's listing (process-wide, stateless).
IDirListing& SystemDirListing();
