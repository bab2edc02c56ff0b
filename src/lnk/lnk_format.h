// Reading the target path out of the bytes of a shell link (.lnk) file, without the shell.
//
// The answer is the path the shell link object's GetPath reports for the same file, as UTF-8,
// whole (never cut: a target longer than kMaxTargetBytes gives ""), or "" when the bytes are not
// a readable shortcut or name nothing in the file system. It is always a full path (a drive
// root, a network share, or a root folder) or "": a source that would give anything else
// gives nothing, and the next rule decides.
//
// Which source wins, first match:
//   1. Environment target: with the HasExpString flag and an environment-variable block
//      whose target is not empty, that target with %NAME% references expanded (the Unicode
//      target preferred over the ANSI one). Unknown names stay as written, percent signs
//      included.
//   2. ID list: a target ID list rooted at My Computer (drive item, then file-system folder
//      and file items) or at the network root (server and share items, then file-system
//      items) gives the joined path; a file-system item's long name from its extension
//      block is preferred over its primary (short) name. An ID list that leads elsewhere
//      (control panel, a known folder root, anything not a file-system item) gives nothing
//      here, and the next rule decides.
//   3. Local path: LinkInfo's local base path joined with the common path suffix.
//   4. Network path: LinkInfo (unless ForceNoLinkInfo) with a common network relative link
//      gives its net name, a '\', and the common path suffix (the suffix and its '\' left
//      out when empty).
//   5. Relative path: the stored relative path joined to the folder of the shortcut file
//      itself (the folder the shell loads it from), "." and ".." collapsed as Windows
//      canonicalises a full path; ".." at the root stays at the root (lnk/target_path.h).
//      Without the shortcut's own path (or with one that is not a full path) this gives
//      nothing.
//   6. Otherwise "".
// GetPath is called with SLGP_UNCPRIORITY, which Microsoft documents as unsupported: the flag
// changes nothing, so the ID list and the local path (the target as the link names it, a
// mapped drive included) come before the network path, which LinkInfo keeps to find a
// target that has moved.
// Advertised (Darwin) shortcuts follow the same rules: the shell reports the stored ID list
// or LinkInfo path for them (usually an icon file in the installer's cache), and "" when
// neither is present. The working folder, arguments and icon strings are never a target.
// Known-folder and special-folder blocks are passed over: the ID list is read as stored.
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

// What a reading needs besides the bytes; every part may be left empty.
struct ReadContext {
    std::string_view linkPath; // the shortcut file's own full path, '\' separated
    EnvLookup environment;     // empty: no reference is expanded
    AnsiDecoder ansi;          // empty: Windows-1252
};

// The target of the shortcut held in data[0, size); see the rules above.
std::string ReadShortcutTarget(const unsigned char* data, std::size_t size,
                               const ReadContext& context = {});

// What a shortcut stores besides its target: the fields the shell's Properties sheet shows.
// Strings are UTF-8 (ANSI ones decoded as the context says), as stored: never expanded,
// resolved or cut.
struct ShortcutFields {
    bool readable = false; // false: the bytes are not a readable shortcut, every field empty
    std::string target;    // ReadShortcutTarget's answer for the same bytes
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

// Expands %NAME% references as ExpandEnvironmentStrings does: a known name is replaced by
// its value, an unknown one (or a lone '%') is kept as written.
std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env);

} // namespace lnk
