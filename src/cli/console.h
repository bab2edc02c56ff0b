// What the command-line program needs of the console and the platform, beside the core's
// seams: terminals, Ctrl+C, the paths a user types and reads.
#pragma once

#include "platform/fs_probes.h"

#include <memory>
#include <string>

namespace console {

// Once at start: the console speaks UTF-8, standard output writes bytes as given, COM is
// entered (Windows); a write to a pipe whose reader has gone fails with EPIPE instead of
// ending the process at once, so the program can stop cleanly (Linux).
void Init();

enum class TStream { In, Out, Err };
bool IsTerminal(TStream stream);
// Columns of the terminal on standard output; 0 when it is none.
int Width();

// Ctrl+C (and, on Linux, SIGTERM) from now on only sets a flag, which Interrupted reads. A
// signal that was ignored when the program started (a background job's Ctrl+C) stays so.
void CatchInterrupt();
bool Interrupted();
// The exit status of the interruption: 128 + the signal's number as a shell shows it (130
// for Ctrl+C, 143 for SIGTERM); 130 on Windows.
int InterruptedStatus();
// What main returns for `status`. On Linux a status that stands for a signal (an
// interruption's, or 128 + SIGPIPE when standard output's reader went away) ends the
// process by that signal instead, unless it was ignored at start, so the caller learns that
// the command was stopped (a shell's loop stops with it at Ctrl+C). Elsewhere `status`.
int ExitStatus(int status);

// A folder as the user typed it, in the program's path form ('\' separators), made absolute.
std::string ProgramPath(const std::string& typed);
// A path of the program's form as the user reads and types paths on this platform.
std::string UserPath(const std::string& programPath);
// A file's name of the program's form as the user reads it on this platform.
std::string UserName(const std::string& name);

// One line typed on the terminal (without its line end); false at its end or on an error.
bool ReadLine(std::string& line);
// Writes the question and " [y/N] " on standard error and reads the answer: true for y or yes
// (any case), false for anything else, end of input or an interruption.
bool AskYes(const std::string& question);

} // namespace console
