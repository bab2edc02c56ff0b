// Reading the target path out of the bytes of a shell link (.lnk) file, without the shell.
//
// The answer is the path the shell link object's GetPath reports for the same file, as UTF-8,
// whole (never cut: a target longer than kMaxTargetBytes gives ""), or "" when the bytes are not
// a readable shortcut or name nothing in the file system. It is always a full path (a drive
// root, a network share, or a root folder) or "": a source that would give anything else
// gives nothing, and the next rule decides.
//
// Which source names the target, first match, as the shell's GetPath reports it (the shell
// loads the environment string or else the ID list as the link's target, and reports that
// item's path; LinkInfo is where the target was, kept to find it again):
//   1. Environment string: with the HasExpString flag, the environment block's target (the
//      Unicode one preferred) with its %NAME% references expanded. A reference to a variable
//      that cannot be known is never guessed: the next sources decide, and with none the
//      target is unknown (TargetGap::UnknownVariable).
//   2. Known folder: a KnownFolderDataBlock or SpecialFolderDataBlock (unless
//      DisableKnownFolderTracking) names the folder the ID list starts in; the folder's place
//      on this system (the context's lookup) joined with the names of the ID list's items
//      below it. The folder moves with its user. A folder this system cannot place lets the
//      next sources decide.
//   3. ID list: rooted at My Computer (a drive, then file-system items), at the network root
//      (a server and share, then file-system items), or at a shell folder with a place (the
//      user's files, Documents, ...: its place, then file-system items); a file-system item's
//      long name from its extension block is preferred over its primary (short) name, and
//      LinkInfo's local path over an ID list path that still holds a short 8.3 name where
//      LinkInfo spells the same path without one. An ID list that names a virtual item
//      (Control Panel, a library, the Recycle Bin), or a shell folder this system cannot
//      place, has no target (TargetGap::ShellFolder, TargetGap::UnknownFolder), and nothing
//      after it counts. Items this reader does not know leave the decision to LinkInfo.
//   4. Local path: LinkInfo's local base path joined with the common path suffix.
//   5. Network share: LinkInfo (unless ForceNoLinkInfo) with a share: the share's name, a
//      '\', and the common path suffix.
//   6. Relative path: only without an ID list, the stored relative path joined to the folder
//      of the shortcut file itself, as Windows names it (the context's linkPath), "." and ".."
//      collapsed and ".." held at the drive's root (base/windows_path.h). Without the
//      shortcut's Windows path, unknown (TargetGap::NoPlace).
// A link whose LinkInfo holds a share and no local path was made to a mapped network drive:
// whichever path names its target, the source is TargetSource::NetworkShare (its ID list
// spells the letter the share had where it was made, which may be a local disk here).
// A target rooted at "\" alone takes the drive of the shortcut's own path.
// Advertised (Darwin) shortcuts follow the same rules: the shell reports the stored ID list
// or LinkInfo path for them (usually an icon file in the installer's cache), and "" when
// neither is present. The working folder, arguments and icon strings are never a target.
// Within LinkInfo and the extra data, Unicode strings are preferred to their ANSI twins;
// ANSI text is in the system's default code page, as the file format defines it: the caller
// says how to decode it (Windows-1252 when it does not).
//
// The structures and their fields are named in lnk/lnk_layout.h.
//
// Validity: a wrong header size or class id, or a header, ID list, LinkInfo or string that
// runs past the end of the bytes, makes the file unreadable (""), as a failed load does. The
// extra data is read leniently: a missing terminal block ends it, and a block that does not
// fit is ignored. Every size and offset is checked against the bytes it points into before
// use, so no input reads out of bounds or allocates more than a small multiple of its size.
#pragma once

#include "lnk/known_folders.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lnk {

// The most bytes of a shortcut file worth reading: the largest ID list, LinkInfo and the
// five strings fit with room to spare. Readers read at most this prefix of a file.
constexpr std::size_t kMaxShortcutBytes = 1u << 20;

// The most bytes of a reported target: the longest path the system opens (32,767 UTF-16
// units) in UTF-8.
constexpr std::size_t kMaxTargetBytes = 3 * 32767;

// Looks up an environment variable by name (names compare without regard to ASCII case on
// Windows); returns false when it is not set.
using EnvLookup = std::function<bool(std::string_view name, std::string& value)>;

// Decodes text in the system's default ANSI code page (never plain ASCII) into UTF-8;
// returns false to leave it to the Windows-1252 decoding.
using AnsiDecoder = std::function<bool(std::string_view bytes, std::string& utf8)>;

// The place of a known folder on this system (a full Windows path); false when it has none
// here or cannot be known.
using FolderLookup = std::function<bool(const KnownFolder& folder, std::string& path)>;

// What a reading needs besides the bytes; every part may be left empty.
struct ReadContext {
    std::string_view linkPath; // the shortcut file's own full Windows path; "" when unknown
    EnvLookup environment;     // empty: no reference is expanded
    AnsiDecoder ansi;          // empty: Windows-1252
    FolderLookup knownFolder;  // empty: the folder's default place, through `environment`
};

// Which structure of the file named the target.
enum class TargetSource {
    None,
    Environment,  // the environment block
    KnownFolder,  // a known or special folder block with the ID list below it
    LocalPath,    // LinkInfo's local path
    NetworkShare, // LinkInfo holds only a share: a mapped network drive, never probed
    IdList,       // the ID list
    RelativePath, // the relative path, against the shortcut's own folder
};

// Why a reading has no target to judge.
enum class TargetGap {
    None,            // the path is the target
    Unreadable,      // the bytes are not a readable shortcut
    NoTarget,        // nothing stored names a file-system target
    ShellFolder,     // the ID list names a virtual item (detail: the shell folder, if known)
    UnknownVariable, // only an environment string with a variable that cannot be known (detail)
    UnknownFolder,   // only a known folder this system cannot place (detail: its name)
    NoPlace,         // only a relative path, and the shortcut's own Windows path is unknown
    TooLong,         // longer than any path the system opens
};

// The reading of a shortcut's target: a full path (a drive, a share, or a root folder) with
// the structure it came from, or no path and why.
struct TargetReading {
    std::string path;
    TargetSource source = TargetSource::None;
    TargetGap gap = TargetGap::Unreadable;
    std::string detail;
};

// The target of the shortcut held in data[0, size); see the rules above.
TargetReading ReadTarget(const unsigned char* data, std::size_t size,
                         const ReadContext& context = {});
// Only its path ("" for every gap).
std::string ReadShortcutTarget(const unsigned char* data, std::size_t size,
                               const ReadContext& context = {});

// What a shortcut stores besides its target: the fields the shell's Properties sheet shows.
// Strings are UTF-8 (ANSI ones decoded as the context says), as stored: never expanded,
// resolved or cut.
struct ShortcutFields {
    bool readable = false; // false: the bytes are not a readable shortcut, every field empty
    std::string target;    // ReadShortcutTarget's answer for the same bytes
    TargetReading reading; // ReadTarget's answer for the same bytes
    // The string data, each "" when absent.
    std::string comment; // the name string, which the shell shows as the comment
    std::string relativePath;
    std::string workingDir;
    std::string arguments;
    // The icon's location: the string data's, else the icon environment block's (as written,
    // %NAME% references kept), with the header's icon index.
    std::string iconLocation;
    std::int32_t iconIndex = 0;
    // The header, as stored: the target's attributes, size and times (FILETIME values) when
    // the link was made, the window's show command (SW_*) and the hot key (the virtual key in
    // the low byte, HOTKEYF_* modifiers in the high byte; 0 for none).
    std::uint32_t fileAttributes = 0;
    std::uint32_t fileSize = 0;
    std::uint64_t creationTime = 0, accessTime = 0, writeTime = 0;
    std::uint32_t showCommand = 0;
    std::uint16_t hotKey = 0;
    // The target is a folder: the stored attributes say so, or the ID list that names the
    // target ends in a drive, a share or a folder item (writers that store no attributes).
    bool targetIsFolder = false;
};

// The fields of the shortcut held in data[0, size). The same validity rule as the target:
// bytes that give no readable shortcut give `readable` false and nothing else.
ShortcutFields ReadShortcutFields(const unsigned char* data, std::size_t size,
                                  const ReadContext& context = {});

// The folder's default place with its %NAME% references expanded through `env` (a profile
// under "Documents and Settings" keeps the older names of Windows XP); false for a virtual
// folder or one whose place names a variable `env` does not know.
bool DefaultFolderPlace(const KnownFolder& folder, const EnvLookup& env, std::string& place);

// Expands %NAME% references as ExpandEnvironmentStrings does: a known name is replaced by
// its value, an unknown one (or a lone '%') is kept as written.
// With `unknown`, the name of the first reference left as written.
std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env,
                                        std::string* unknown = nullptr);

} // namespace lnk
