// Turning a failed system call into the program's error. Windows build only.
//
//   if (!::LoadImageA(...)) RaiseLastOSError("Cannot load the picture");
//
// Every Win32 failure the program reports goes through here, so all of them read the same:
// what was being done, a full stop, then the system's own text.
#pragma once

#include "base/errors.h"

#include <string>

// The system's text for an error code, trimmed of its line break; "System error code N."
// when the system has no text for it.
std::string SystemErrorText(unsigned long code);

// The system's text for the calling thread's last error.
std::string LastSystemErrorText();

// Throws EOSError with "<what>. <system text of the last error>".
[[noreturn]] void RaiseLastOSError(const std::string& what);

// Throws EFOpenError ("Cannot open file ...") unless the file can be opened for reading.
void RequireReadableFile(const std::string& path);
