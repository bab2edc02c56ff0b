// String rules for paths and names: byte strings, backslash separators, ASCII-only casing
// (base/text.h).
#pragma once

#include <string>
#include <string_view>

// The part after the last '\' or ':' (the whole text when there is neither).
std::string_view ExtractFileName(std::string_view path);
// The part up to and including the last '\' or ':' (empty when there is neither).
std::string_view ExtractFilePath(std::string_view path);
// The extension of the file-name part, from its last '.' (dot included); empty without one.
std::string_view ExtractFileExt(std::string_view path);

// The text without the extension of its file-name part: Mail.lnk -> Mail, a.b.lnk -> a.b,
// C:\a.b\c unchanged.
std::string RemoveExtension(std::string_view text);
// The path with a '\' appended unless it already ends in one. An empty path gives "\".
std::string AddTrailingBackslash(std::string_view path);
// True when the extension (dot included) is ".lnk" after lower-casing A-Z.
bool IsShortcutExtension(std::string_view extension);
