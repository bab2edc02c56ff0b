// Reading the target path out of the bytes of a shell link (.lnk) file, without the shell.
//
// The answer is the path the shell link object's GetPath with SLGP_UNCPRIORITY reports for
// the same file, as UTF-8, at most kMaxTargetBytes bytes (cut at a character boundary), or
// "" when the bytes are not a readable shortcut or name nothing in the file system.
//
// Which source wins, first match:
//   1. Environment target: with the HasExpString flag and an environment-variable block
//      whose target is not empty, that target with %NAME% references expanded (the Unicode
//      target preferred over the ANSI one). Unknown names stay as written, percent signs
//      included.
//   2. Network path: LinkInfo (unless ForceNoLinkInfo) with a common network relative link
//      gives its net name, a '\', and the common path suffix (the suffix and its '\' left
//      out when empty). SLGP_UNCPRIORITY puts this before the ID list.
//   3. ID list: a target ID list rooted at My Computer (drive item, then file-system folder
//      and file items) or at the network root (server and share items, then file-system
//      items) gives the joined path; a file-system item's long name from its extension
//      block is preferred over its primary (short) name. An ID list that leads elsewhere
//      (control panel, a known folder root, anything not a file-system item) gives nothing
//      here, and the next rule decides.
//   4. Local path: LinkInfo's local base path joined with the common path suffix.
//   5. Otherwise "".
// Advertised (Darwin) shortcuts follow the same rules: the shell reports the stored ID list
// or LinkInfo path for them (usually an icon file in the installer's cache), and "" when
// neither is present. The relative path, working folder, arguments and icon strings are
// never a target.
// Within LinkInfo and the extra data, Unicode strings are preferred to their ANSI twins;
// ANSI text is decoded as Windows-1252.
//
// Validity: a wrong header size or class id, or a header, ID list, LinkInfo or string that
// runs past the end of the bytes, makes the file unreadable (""), as a failed load does. The
// extra data is read leniently: a missing terminal block ends it, and a block that does not
// fit is ignored. Every size and offset is checked against the bytes it points into before
// use, so no input reads out of bounds or allocates more than a small multiple of its size.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lnk {

// The most bytes of a shortcut file worth reading: the largest ID list, LinkInfo and the
// five strings fit with room to spare. Readers read at most this prefix of a file.
constexpr std::size_t kMaxShortcutBytes = 1u << 20;

// The most bytes of a reported target (MAX_PATH less the terminating zero).
constexpr std::size_t kMaxTargetBytes = 259;

// Looks up an environment variable by name (names compare without regard to ASCII case on
// Windows); returns false when it is not set.
using EnvLookup = std::function<bool(std::string_view name, std::string& value)>;

// The target of the shortcut held in data[0, size); see the rules above. `env` may be empty,
// in which case no reference is expanded.
std::string ReadShortcutTarget(const unsigned char* data, std::size_t size,
                               const EnvLookup& env = {});

// Expands %NAME% references as ExpandEnvironmentStrings does: a known name is replaced by
// its value, an unknown one (or a lone '%') is kept as written.
std::string ExpandEnvironmentReferences(std::string_view text, const EnvLookup& env);

} // namespace lnk
