// The command line of shortcut-sweeper.
#pragma once

#include "cli/record_writer.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Exit statuses, as grep and diff have them.
constexpr int kExitNoneInvalid = 0;
constexpr int kExitSomeInvalid = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130; // 128 + SIGINT, as a shell reports a stopped command

struct TDriveMapping {
    char letter = 0;    // 'A'..'Z'
    std::string folder; // as given
};

struct TCliOptions {
    std::vector<std::string> folders;
    bool all = false;
    std::optional<TOutputFormat> format; // none given: a table
    std::string output;                  // "" = standard output
    bool recycle = false;
    bool yes = false;
    std::vector<TDriveMapping> drives;
    std::string winePrefix;
    bool noFollow = false; // walk real folders only, never a link to one
};

// Parses the arguments. Returns the options, or nothing with `exitCode` set: 0 after --help
// or --version (written to `out`), kExitUsage after a usage error (its message, with a hint
// to --help, written to `err`). `driveOptions` offers --drive and --wine-prefix (Linux: the
// targets are Windows paths to be found in local folders).
std::optional<TCliOptions> ParseCommandLine(int argc, const char* const* argv, bool driveOptions,
                                            std::ostream& out, std::ostream& err, int& exitCode);

// "C:=/mnt/windows" (or "c=/mnt/windows") as a mapping; nothing when the form is wrong.
std::optional<TDriveMapping> ParseDriveMapping(const std::string& text);
