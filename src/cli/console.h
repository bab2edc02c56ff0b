// What the command-line program needs of the console and the platform, beside the core's
// seams: terminals, Ctrl+C, the paths a user types and reads.
#pragma once

#include "platform/fs_probes.h"

#include <memory>
#include <string>

namespace console {

// Once at start: the console speaks UTF-8, standard output writes bytes as given, COM is
// entered (Windows); nothing to do elsewhere.
void Init();

enum class TStream { In, Out, Err };
bool IsTerminal(TStream stream);
// Columns of the terminal on standard output; 0 when it is none.
int Width();

// Ctrl+C (and, on Linux, SIGTERM) from now on only sets a flag, which Interrupted reads.
void CatchInterrupt();
bool Interrupted();

// A folder as the user typed it, in the program's path form ('\' separators), made absolute.
std::string ProgramPath(const std::string& typed);
// A path of the program's form as the user reads and types paths on this platform.
std::string UserPath(const std::string& programPath);

// One line typed on the terminal (without its line end); false at its end or on an error.
bool ReadLine(std::string& line);

} // namespace console
