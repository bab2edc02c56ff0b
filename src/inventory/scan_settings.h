// The settings of a shortcut scan, shared by every front end: one place says what a scan
// walks and which entries it hands to the reader.
#pragma once

#include "finder/di_file_finder.h"

#include <string_view>

// Makes `finder` idle on `folder` and sets it up for a shortcut scan: files and folders as
// candidates, recursion on, no attribute filters, include pattern "*.lnk", exclude pattern
// "*$*" and those of the Linux desktop trash (".local\share\Trash", ".Trash-UID"), matched
// below the chosen folder. OnProgress and Aborted are left to the caller.
void SetUpShortcutScan(TDIWildFileFinder& finder, std::string_view folder);
