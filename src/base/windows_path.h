// Windows paths in one place: drive letters, shares and device forms, the root a path starts
// at, joining and resolving a relative path with ".." held at the root, names compared as
// Windows compares them, 8.3 short names and the " (x86)" retry. Byte strings (UTF-8 on the
// host and under the program's manifest), '\' separated; '/' is read as '\' where Windows
// reads it so.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace winpath {

constexpr bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The drive letter ('A'..'Z', upper case) a path starts with: "x:..." or the device forms
// "\\?\x:..." and "\\.\x:..."; 0 for any other path.
char DriveLetter(std::string_view path);

// A path on a share or a device that is not a drive: it starts with two separators and names
// no drive letter ("\\server\share", "\\?\UNC\server\share", "\\.\pipe\x"). Never probed.
bool IsSharePath(std::string_view path);

// How long the root a path starts at is: "X:\" (3), "\\server\share\" (the share's last '\'
// implied when nothing follows it), the device forms "\\?\X:\" and "\\?\UNC\server\share\",
// or a lone "\" (1); 0 for a path with no root ("name", "X:name", "\\server").
std::size_t RootLength(std::string_view path);

// A full path as a shortcut can name one: a drive root, a share, or a root folder ("\x").
bool IsFullPath(std::string_view path);

// The part of a path that names its volume: "X:" (as written) or "\\server\share"; "" for
// any other path.
std::string_view VolumeOf(std::string_view path);

// `first` and `second` joined with exactly the '\' the first one lacks; `first` alone when
// `second` is empty.
std::string Join(std::string first, std::string_view second);

// The names of `text` (separated by '\' or '/'), as Windows canonicalises a path: empty and
// "." names skipped, ".." taking back the name before it and never climbing above the start.
std::vector<std::string_view> Names(std::string_view text);

// `relative` joined to the folder of the file at `linkPath`, canonicalised as Names does; the
// root of `linkPath` (a drive "X:\", a share, or a lone "\") is never climbed above. A
// `relative` that is itself a full path keeps its own root; one rooted at "\" takes the root
// of `linkPath`. "" when `linkPath` has no root, or `relative` names a drive without a root
// ("X:name"), a server without a share, or nothing at all.
std::string ResolveRelative(std::string_view linkPath, std::string_view relative);

// Two names (or paths) equal as Windows compares them: ASCII letters without regard to case,
// every other byte as it is.
bool SameName(std::string_view a, std::string_view b);

// `path` lies in `folder` or is `folder` itself (compared as SameName does, on a whole
// name): "C:\Users\Bob\x" lies in "c:\users\bob" and in "C:\Users\Bob\", not in "C:\Users\Bo".
bool IsInFolder(std::string_view path, std::string_view folder);

// The 8.3 short form of a name as Windows (PROGRA~1) and Wine (PROGR~3T) make them: a base of
// 3 to 8 letters with a '~' followed by letters or digits at its end, and an extension of up
// to 3 letters.
bool IsShortName(std::string_view name);
// Some name of the path (after its root) has the short form.
bool HasShortName(std::string_view path);

// The retry for a target installed in the 32-bit program folder: whether it holds " (x86)"
// (blank included, in these letters' case) ...
bool HasX86(std::string_view path);
// ... and the path with every " (x86)" removed, in any letter case.
std::string WithoutX86(std::string_view path);

} // namespace winpath
