// The file system as the search for a moved target reads it: folder listings with sizes and
// times, the volumes present, and the link-tracking service's lookup by object ID. Paths are
// Windows paths ("X:\a\b") in the program's form; nothing here changes anything.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One entry of a folder listing.
struct TSearchEntry {
    std::string name;
    bool folder = false;
    // The size and times below are known (a listing that does not give them leaves them to
    // Details, asked only for the entries worth it).
    bool detailed = false;
    std::uint64_t size = 0;
    std::uint64_t created = 0, written = 0; // FILETIME values; 0 unknown
    std::uint32_t attributes = 0;           // FILE_ATTRIBUTE_*; 0 unknown
};

// A volume that is present.
struct TSearchVolume {
    char letter = 0; // 'A'..'Z'
    std::uint32_t serial = 0;
    std::string label;
    std::uint32_t driveType = 3; // DRIVE_FIXED; DRIVE_REMOVABLE is 2
    // A fixed drive whose root is searched (not Wine's Z:, the whole Linux tree).
    bool searchRoot = true;
};

class ISearchFileSystem {
public:
    virtual ~ISearchFileSystem() = default;
    // The entries of the folder ("." and ".." left out); false when it cannot be listed.
    virtual bool List(const std::string& folder, std::vector<TSearchEntry>& entries) = 0;
    // Fills in the size, times and attributes of the entry at `path`; false when unknown.
    virtual bool Details(const std::string& path, TSearchEntry& entry) {
        (void)path;
        (void)entry;
        return false;
    }
    // The volumes present, in letter order; network drives and empty drives are not.
    virtual std::vector<TSearchVolume> Volumes() = 0;
    // The path of the file or folder whose link-tracking object ID is `objectId` (a GUID as a
    // TrackerDataBlock stores it), on the volume of that object ID or any present one; false
    // where there is none or the platform cannot look it up (OpenFileById is an NTFS call,
    // and Wine does not have it).
    virtual bool FindByObjectId(const std::array<unsigned char, 16>& volumeId,
                                const std::array<unsigned char, 16>& objectId, std::string& path) {
        (void)volumeId;
        (void)objectId;
        (void)path;
        return false;
    }
};

// The platform's (Windows builds: FindFirstFileEx, GetVolumeInformation, OpenFileById).
std::unique_ptr<ISearchFileSystem> CreateSystemSearchFileSystem();
