// Moving a shortcut file to the trash, never deleting it for good.
#pragma once

#include <string>
#include <vector>

// Moves the file (the program's path form) to the platform's trash: the freedesktop trash
// on Linux, through GIO (which uses the trash of the file's own file system when it is not
// the home one), the recycle bin on Windows. True when it went; false with the reason when
// it stays where it is. A file that cannot be moved to a trash is kept, never deleted.
bool MoveToTrash(const std::string& path, std::string& reason);

// Moves the files to the trash as MoveToTrash does, in one call of the platform's where it has
// one; for each, "" when it went, else the reason it stays.
std::vector<std::string> MoveAllToTrash(const std::vector<std::string>& paths);
