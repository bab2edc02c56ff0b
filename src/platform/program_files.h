// What the settings code needs from the platform: where the program lives, and reading a
// file the way the settings file is read. One Win32 and one POSIX implementation.
#pragma once

#include <string>

// The full path of the running executable, with '\' separators.
std::string GetExecutablePath();

// The whole content of the file. It is opened for reading only; while it is open others
// may read it but not write it (Windows; POSIX has no such sharing modes). Throws
// EFOpenError when it cannot be opened and EReadError when reading fails.
std::string ReadSharedFile(const std::string& path);
