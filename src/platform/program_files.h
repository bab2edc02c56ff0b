// What the settings code needs from the platform: where the program lives, reading a file
// the way the settings file is read, and the system's upper-casing of byte strings.
// One Win32 and one POSIX implementation.
#pragma once

#include <string>
#include <string_view>

// The full path of the running executable, with '\' separators.
std::string GetExecutablePath();

// The whole content of the file. It is opened for reading only; while it is open others
// may read it but not write it (Windows; POSIX has no such sharing modes). Throws
// EFOpenError when it cannot be opened and EReadError when reading fails.
std::string ReadSharedFile(const std::string& path);

// Upper-casing in the system's ANSI code page, non-ASCII letters included. Windows:
// CharUpperBuffA. POSIX: the Windows-1252 rules (Windows1252UpperCase).
std::string AnsiUpperCase(std::string_view text);
