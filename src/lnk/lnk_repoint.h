// What a shortcut keeps to find its target again after the target moved, and the writer that
// re-points a shortcut at a new target.
//
// The traces are the header's record of the target (attributes, size, creation and write
// times), the volume LinkInfo names (drive type, serial number, label) and the link-tracking
// object ID of the TrackerDataBlock.
//
// Re-pointing rewrites only the structures that name the target and copies every other byte
// as it stands:
//   - the header: the target's attributes, size and times become the new target's; the flags
//     of the structures below follow them; every other field (icon index, show command, hot
//     key, reserved fields) is copied;
//   - the ID list: My Computer, the drive and one item per name of the new path (each with its
//     long name in a file entry extension block);
//   - LinkInfo: the volume (the old VolumeID copied when the new target is on the drive the old
//     one named, else the new volume's), the local path; a share part no longer applies;
//   - the relative path: from the shortcut's own folder to the new target on the same drive,
//     else left out;
//   - the environment string: kept when it expands to the new target; re-expressed through its
//     leading %NAME% when that variable's value holds the new target; else left out;
//   - the working folder and the icon location, only when they name the old target or its
//     folder (they move with it);
//   - the known folder, special folder and Vista ID list blocks, which name the old target's
//     place in the ID list: left out.
// Every other string (the comment, the arguments), every other extra data block (console,
// tracker, property store, shim, Darwin, icon environment) and whatever follows the last
// block is copied byte for byte.
//
// The writer reads its own result back (ReadTarget with the same context) and refuses unless it
// names the new target.
#pragma once

#include "lnk/lnk_format.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lnk {

struct TargetTraces {
    bool readable = false;
    // The header's record of the target.
    std::uint32_t attributes = 0, size = 0;
    std::uint64_t created = 0, written = 0;
    // LinkInfo's VolumeID: the volume the target was on.
    bool hasVolume = false;
    std::uint32_t driveType = 0, volumeSerial = 0;
    std::string volumeLabel;
    // The TrackerDataBlock: the volume's and the file's object IDs (GUIDs as stored).
    bool hasTracker = false;
    std::array<unsigned char, 16> volumeId{}, objectId{};
};

TargetTraces ReadTargetTraces(const unsigned char* data, std::size_t size,
                              const ReadContext& context = {});

// The new target as the file system describes it.
struct NewTarget {
    std::string path; // a full path on a drive ("X:\..."), UTF-8
    bool folder = false;
    std::uint32_t attributes = 0; // FILE_ATTRIBUTE_*; 0: those of `folder` alone
    std::uint64_t size = 0;
    std::uint64_t created = 0, accessed = 0, written = 0; // FILETIME values, 0 unknown
    // The volume it lies on, for LinkInfo when the drive changed.
    std::uint32_t driveType = 3; // DRIVE_FIXED
    std::uint32_t volumeSerial = 0;
    std::string volumeLabel;
};

struct Repointed {
    std::vector<unsigned char> bytes; // the new file; empty when refused
    std::string refusal;              // why not, for the user
};

// The shortcut data[0, size) pointing at `target`; `context` is the reading's (the shortcut's
// own Windows path and its Windows' environment).
Repointed RepointShortcut(const unsigned char* data, std::size_t size, const NewTarget& target,
                          const ReadContext& context);

} // namespace lnk
