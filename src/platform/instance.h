// Single-instance rule: one running copy per executable file name.
#pragma once

#include <string>
#include <string_view>

// The lock's name: the file-name part of the executable's path, extension included, with
// the ASCII letters raised (C:\Tools\finder.exe -> FINDER.EXE). The folder plays no part.
std::string InstanceMutexName(std::string_view exePath);

// The title used before the settings are read: the file name up to its first dot, the first
// character as it is and the others lower-cased (ASCII only): FINDER.EXE -> Finder.
std::string DefaultTitle(std::string_view exePath);

// Takes the system-wide lock of that name and holds it until the process ends. False when
// another process holds it. A lock that cannot be made counts as not held elsewhere.
bool AcquireInstanceLock(const std::string& name);
