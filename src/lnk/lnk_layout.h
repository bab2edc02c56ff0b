// The on-disk layout of a shell link (.lnk) file as Microsoft's [MS-SHLLINK] names it, and of
// the shell items in its ID list as Wine's shell32 (pidl.h) and libyal's Windows Shell Item
// format documentation name them. Every value is little-endian. A constant ending in "At" is
// where the field of that name starts, counted from the start of its own structure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lnk::layout {

// A flags field as stored, asked one named flag at a time.
template <class Flag> class Flags {
public:
    constexpr Flags() = default;
    constexpr explicit Flags(std::uint32_t bits) : bits_(bits) {}
    constexpr bool Has(Flag flag) const { return (bits_ & static_cast<std::uint32_t>(flag)) != 0; }

private:
    std::uint32_t bits_ = 0;
};

// ShellLinkHeader: the fixed start of the file.
namespace header {
constexpr std::size_t kSize = 0x4C; // the only HeaderSize a shell link has
constexpr std::size_t kHeaderSizeAt = 0x00;
constexpr std::size_t kLinkClsidAt = 0x04; // 16 bytes
constexpr std::size_t kLinkFlagsAt = 0x14;
constexpr std::size_t kFileAttributesAt = 0x18;
constexpr std::size_t kCreationTimeAt = 0x1C; // FILETIME, 8 bytes
constexpr std::size_t kAccessTimeAt = 0x24;   // FILETIME
constexpr std::size_t kWriteTimeAt = 0x2C;    // FILETIME
constexpr std::size_t kFileSizeAt = 0x34;
constexpr std::size_t kIconIndexAt = 0x38; // signed
constexpr std::size_t kShowCommandAt = 0x3C;
constexpr std::size_t kHotKeyAt = 0x40; // 2 bytes; Reserved1..3 fill the rest
} // namespace header

// LinkCLSID, {00021401-0000-0000-C000-000000000046}, as stored.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// LinkFlags: which structures follow the header, and how the link behaves.
enum class LinkFlag : std::uint32_t {
    HasLinkTargetIDList = 1u << 0,
    HasLinkInfo = 1u << 1,
    HasName = 1u << 2,
    HasRelativePath = 1u << 3,
    HasWorkingDir = 1u << 4,
    HasArguments = 1u << 5,
    HasIconLocation = 1u << 6,
    IsUnicode = 1u << 7,
    ForceNoLinkInfo = 1u << 8,
    HasExpString = 1u << 9,
    RunInSeparateProcess = 1u << 10,
    HasDarwinID = 1u << 12,
    RunAsUser = 1u << 13,
    HasExpIcon = 1u << 14,
    NoPidlAlias = 1u << 15,
    RunWithShimLayer = 1u << 17,
    ForceNoLinkTrack = 1u << 18,
    EnableTargetMetadata = 1u << 19,
    DisableLinkPathTracking = 1u << 20,
    DisableKnownFolderTracking = 1u << 21,
    DisableKnownFolderAlias = 1u << 22,
    AllowLinkToLink = 1u << 23,
    UnaliasOnSave = 1u << 24,
    PreferEnvironmentPath = 1u << 25,
    KeepLocalIDListForUNCTarget = 1u << 26,
};

// FileAttributesFlags: the target's FILE_ATTRIBUTE_* values when the link was made.
enum class FileAttribute : std::uint32_t {
    ReadOnly = 0x0001,
    Hidden = 0x0002,
    System = 0x0004,
    Directory = 0x0010,
    Archive = 0x0020,
    Normal = 0x0080,
    Temporary = 0x0100,
    SparseFile = 0x0200,
    ReparsePoint = 0x0400,
    Compressed = 0x0800,
    Offline = 0x1000,
    NotContentIndexed = 0x2000,
    Encrypted = 0x4000,
};

// LinkTargetIDList: IDListSize, then the IDList of that many bytes.
namespace id_list {
constexpr std::size_t kIdListSizeAt = 0; // 2 bytes
constexpr std::size_t kIdListAt = 2;
} // namespace id_list

// ItemID: one shell item of an IDList; an ItemIDSize of 0 is the TerminalID that ends it.
namespace item_id {
constexpr std::size_t kItemIdSizeAt = 0; // 2 bytes, itself included
constexpr std::size_t kClassTypeAt = 2;  // the first byte of its Data: the kind of item
constexpr std::size_t kMinSize = 3;      // the size and the class type
} // namespace item_id

// The class type of a shell item: the root folder exactly, the others after kClassTypeMask
// (the remaining bits are the item's own flags).
constexpr std::uint8_t kRootFolderClassType = 0x1F; // PT_GUID
constexpr std::uint8_t kClassTypeMask = 0x70;
enum class ItemClass : std::uint8_t {
    Volume = 0x20,          // PT_DRIVE and its variants: a drive under My Computer
    FileEntry = 0x30,       // PT_FOLDER, PT_VALUE and their Unicode forms
    NetworkLocation = 0x40, // PT_COMP (a server), PT_SHARE, ...
};
constexpr bool IsClass(std::uint8_t classType, ItemClass itemClass) {
    return (classType & kClassTypeMask) == static_cast<std::uint8_t>(itemClass);
}

// Root folder shell item: a sort index, then the GUID of the shell folder.
namespace root_folder {
constexpr std::size_t kShellFolderIdAt = 4; // 16 bytes
} // namespace root_folder

// {20D04FE0-3AEA-1069-A2D8-08002B30309D}, My Computer, as stored.
constexpr unsigned char kMyComputerId[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                             0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
// {208D2C60-3AEA-1069-A2D7-08002B30309D}, the network root, as stored.
constexpr unsigned char kNetworkId[16] = {0x60, 0x2C, 0x8D, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                          0xA2, 0xD7, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// Volume shell item: the volume name ("X:\"), ANSI, zero-terminated.
namespace volume {
constexpr std::size_t kVolumeNameAt = 3;
} // namespace volume

// Network location shell item: an unknown byte, flags, then the location ("\\server" or
// "\\server\share"), ANSI, zero-terminated.
namespace network_location {
constexpr std::size_t kLocationAt = 5;
} // namespace network_location

// File entry shell item: file size (4), modification time (FAT, 4), attributes (2), then the
// primary name, zero-terminated, UTF-16 or ANSI by HasUnicodeStrings; extension blocks
// follow it at an even offset.
namespace file_entry {
constexpr std::size_t kPrimaryNameAt = 14;
} // namespace file_entry

// The flags in a file entry's class type.
enum class FileEntryFlag : std::uint8_t {
    IsDirectory = 0x01,
    IsFile = 0x02,
    HasUnicodeStrings = 0x04,
};

// An extension block of a file entry: its size, version and signature, then its data.
namespace extension_block {
constexpr std::size_t kExtensionSizeAt = 0; // 2 bytes, itself included
constexpr std::size_t kExtensionVersionAt = 2;
constexpr std::size_t kExtensionSignatureAt = 4;
constexpr std::size_t kHeaderSize = 8;
} // namespace extension_block

// File entry extension block (0xBEEF0004): the long name. Versions Windows writes: 3 (XP,
// 2003), 7 (Vista), 8 (7, 8.0), 9 (8.1, 10).
namespace file_entry_extension {
constexpr std::uint32_t kSignature = 0xBEEF0004;
constexpr std::uint16_t kVersionVista = 7;
constexpr std::uint16_t kVersion7 = 8;
constexpr std::uint16_t kVersion81 = 9;

// Where the long name (UTF-16, zero-terminated) starts: after the creation and last access
// times (FAT, 4 bytes each), an unknown 16-bit value and the long string size (2 bytes).
// From Vista on an unknown 16-bit value, the NTFS file reference (8 bytes) and 8 unknown bytes
// come before the long string size; from 7 on 4 unknown bytes follow it, from 8.1 on 4 more.
constexpr std::size_t LongNameAt(std::uint16_t version) {
    std::size_t at = extension_block::kHeaderSize + 4 + 4 + 2 + 2;
    if (version >= kVersionVista)
        at += 2 + 8 + 8;
    if (version >= kVersion7)
        at += 4;
    if (version >= kVersion81)
        at += 4;
    return at;
}
} // namespace file_entry_extension

// LinkInfo: where the target was found when the link was made, on a volume or a share.
namespace link_info {
constexpr std::size_t kLinkInfoSizeAt = 0x00;
constexpr std::size_t kLinkInfoHeaderSizeAt = 0x04;
constexpr std::size_t kLinkInfoFlagsAt = 0x08;
constexpr std::size_t kVolumeIdOffsetAt = 0x0C;
constexpr std::size_t kLocalBasePathOffsetAt = 0x10;
constexpr std::size_t kCommonNetworkRelativeLinkOffsetAt = 0x14;
constexpr std::size_t kCommonPathSuffixOffsetAt = 0x18;
constexpr std::size_t kLocalBasePathOffsetUnicodeAt = 0x1C;    // with the larger header only
constexpr std::size_t kCommonPathSuffixOffsetUnicodeAt = 0x20; // with the larger header only
constexpr std::size_t kMinSize = 4;                            // LinkInfoSize itself
constexpr std::size_t kHeaderSizeAnsi = 0x1C;
constexpr std::size_t kHeaderSizeUnicode = 0x24; // or more: the Unicode offsets are there
} // namespace link_info

// VolumeID, where LinkInfo's VolumeIDOffset points: the volume the target was on.
namespace volume_id {
constexpr std::size_t kVolumeIdSizeAt = 0x00;
constexpr std::size_t kDriveTypeAt = 0x04; // DRIVE_* of GetDriveType
constexpr std::size_t kDriveSerialNumberAt = 0x08;
constexpr std::size_t kVolumeLabelOffsetAt = 0x0C;
constexpr std::size_t kVolumeLabelOffsetUnicodeAt = 0x10; // when VolumeLabelOffset is 0x14
constexpr std::size_t kSizeAnsi = 0x10;                   // the fields before an ANSI label
constexpr std::size_t kUnicodeLabelMark = 0x14; // VolumeLabelOffset saying "Unicode label"
} // namespace volume_id

// LinkInfoFlags.
enum class LinkInfoFlag : std::uint32_t {
    VolumeIDAndLocalBasePath = 0x1,
    CommonNetworkRelativeLinkAndPathSuffix = 0x2,
};

// CommonNetworkRelativeLink: the share the target was on.
namespace common_network_relative_link {
constexpr std::size_t kCommonNetworkRelativeLinkSizeAt = 0x00;
constexpr std::size_t kCommonNetworkRelativeLinkFlagsAt = 0x04;
constexpr std::size_t kNetNameOffsetAt = 0x08;
constexpr std::size_t kDeviceNameOffsetAt = 0x0C;
constexpr std::size_t kNetworkProviderTypeAt = 0x10;
constexpr std::size_t kNetNameOffsetUnicodeAt = 0x14; // when NetNameOffset > kSizeAnsi
constexpr std::size_t kDeviceNameOffsetUnicodeAt = 0x18;
constexpr std::size_t kSizeAnsi = 0x14; // without the Unicode offsets: the least it can be
} // namespace common_network_relative_link

// StringData: each string CountCharacters (2 bytes), then that many characters, UTF-16 with
// IsUnicode and ANSI without; no terminating zero.
namespace string_data {
constexpr std::size_t kCountCharactersAt = 0;
constexpr std::size_t kStringAt = 2;
} // namespace string_data

// ExtraData: blocks of BlockSize (itself included) and BlockSignature, until the TerminalBlock
// (a BlockSize below 4).
namespace extra_data {
constexpr std::size_t kBlockSizeAt = 0;
constexpr std::size_t kBlockSignatureAt = 4;
constexpr std::size_t kBlockHeaderSize = 8;
} // namespace extra_data

// BlockSignature of each ExtraData block.
enum class BlockSignature : std::uint32_t {
    EnvironmentVariableDataBlock = 0xA0000001,
    ConsoleDataBlock = 0xA0000002,
    TrackerDataBlock = 0xA0000003,
    ConsoleFEDataBlock = 0xA0000004,
    SpecialFolderDataBlock = 0xA0000005,
    DarwinDataBlock = 0xA0000006,
    IconEnvironmentDataBlock = 0xA0000007,
    ShimDataBlock = 0xA0000008,
    PropertyStoreDataBlock = 0xA0000009,
    KnownFolderDataBlock = 0xA000000B,
    VistaAndAboveIDListDataBlock = 0xA000000C,
};

// EnvironmentVariableDataBlock, and IconEnvironmentDataBlock with the same layout: the
// target path with %NAME% references, in two fixed-size zero-padded fields.
namespace environment_block {
constexpr std::size_t kBlockSize = 0x314;
constexpr std::size_t kTargetAnsiAt = 0x008;    // 260 bytes
constexpr std::size_t kTargetUnicodeAt = 0x10C; // 260 UTF-16 units
constexpr std::size_t kTargetCharacters = 260;
} // namespace environment_block

// TrackerDataBlock: the link-tracking service's IDs of the target (the Droid: the volume's
// object ID, then the file's), with the machine it was on.
namespace tracker_block {
constexpr std::size_t kBlockSize = 0x60;
constexpr std::size_t kMachineIdAt = 0x10;     // 16 bytes, ANSI, zero-padded
constexpr std::size_t kDroidVolumeIdAt = 0x20; // 16 bytes, a GUID as stored
constexpr std::size_t kDroidFileIdAt = 0x30;   // 16 bytes
} // namespace tracker_block

// KnownFolderDataBlock: the known folder the ID list starts in, and where in the ID list the
// first item below that folder is (items before it name the folder itself).
namespace known_folder_block {
constexpr std::size_t kBlockSize = 0x1C;
constexpr std::size_t kKnownFolderIdAt = 0x08; // 16 bytes, a GUID as stored
constexpr std::size_t kOffsetAt = 0x18;
} // namespace known_folder_block

// SpecialFolderDataBlock: the same by the folder's CSIDL.
namespace special_folder_block {
constexpr std::size_t kBlockSize = 0x10;
constexpr std::size_t kSpecialFolderIdAt = 0x08;
constexpr std::size_t kOffsetAt = 0x0C;
} // namespace special_folder_block

} // namespace lnk::layout
