// The path rules of a shortcut's target, as Windows applies them to a full path: which text
// is one, how two stored parts join, and how a stored relative path resolves against the
// folder of the shortcut file. Byte strings (UTF-8 here), '\' separated.
#pragma once

#include <string>
#include <string_view>

namespace lnk {

// True for a path that starts at a root: "X:\" (or "X:/"), or a '\' or '/' (a share, or the
// root folder).
bool IsFullPath(std::string_view path);

// `first` and `second` joined with exactly the '\' the first one lacks; `first` alone when
// `second` is empty.
std::string JoinPath(std::string first, std::string_view second);

// `relative` joined to the folder of the file at `linkPath`, with empty, "." and ".."
// segments collapsed and '/' read as '\'. The root of `linkPath` (a drive "X:\", a share
// "\\server\share\", or a lone "\") is never climbed above. A `relative` that is itself a full
// path keeps its own root; one rooted at "\" takes the root of `linkPath`. "" when `linkPath`
// has no such root, or `relative` names a drive without a root ("X:name") or nothing at all.
std::string ResolveRelativePath(std::string_view linkPath, std::string_view relative);

} // namespace lnk
