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
constexpr int kExitReaderGone = 141;  // 128 + SIGPIPE: standard output's reader went away

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
    bool suggest = false; // where each invalid shortcut's target went
    bool repair = false;  // re-point the invalid shortcuts found for certain
    bool yes = false;
    std::vector<TDriveMapping> drives;
    std::string winePrefix;
    bool noFollow = false;      // walk real folders only, never a link to one
    bool wineLaunchers = false; // judge Wine's launchers instead of walking folders
    bool print0 = false;        // the shortcut files' paths only, NUL after each
    bool quiet = false;         // nothing printed; the walk stops at the first invalid shortcut
    bool stats = false;         // the counts on standard error at the end
    int maxDepth = -1;          // levels below each folder; -1: no limit
    std::vector<std::string> excludes;
};

// Parses the arguments. Returns the options, or nothing with `exitCode` set: 0 after --help
// (wrapped to `helpWidth` columns, 0 for the default), --version or --generate (written to
// `out`), kExitUsage after a usage error (its message, with a hint to --help, written to
// `err`). `driveOptions` offers --drive and --wine-prefix (Linux: the targets are Windows
// paths to be found in local folders); a folder --drive maps must be there.
std::optional<TCliOptions> ParseCommandLine(int argc, const char* const* argv, bool driveOptions,
                                            int helpWidth, std::ostream& out, std::ostream& err,
                                            int& exitCode);

// "C:=/mnt/windows" (or "c=/mnt/windows") as a mapping; nothing when the form is wrong.
std::optional<TDriveMapping> ParseDriveMapping(const std::string& text);
