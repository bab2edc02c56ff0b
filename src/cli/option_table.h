// Every option of shortcut-sweeper, once: the parser (options.cpp), --help, the manual page
// and the shells' completions (option_docs.cpp) are all made from this table and these
// texts, so none of them can name an option the others lack.
#pragma once

#include <span>

enum class TOptionId {
    All,
    Format,
    Output,
    Print0,
    Quiet,
    Stats,
    MaxDepth,
    Exclude,
    Recycle,
    Suggest,
    Repair,
    Yes,
    Drive,
    WinePrefix,
    NoFollow,
    WineLaunchers,
    Help,
    Version,
};

// What an option's value is, for the completions.
enum class TValueKind {
    None,    // a flag
    Choice,  // one of `choices`
    File,    // a file name
    Folder,  // a folder name
    Number,  // a count
    Pattern, // a glob
    Drive,   // X:=DIR
};

struct TOptionDef {
    TOptionId id;
    const char* shortName; // "-a", or "" when there is none
    const char* longName;  // "--all"
    const char* value;     // the value's name in the help ("FILE"), "" for a flag
    TValueKind kind;
    const char* choices; // for TValueKind::Choice: the values, blank-separated
    bool repeatable;
    bool driveMapping; // offered where targets need a drive mapping (Linux)
    const char* help;  // one paragraph
};

std::span<const TOptionDef> OptionTable();

// One example: the command line and what it does.
struct TExample {
    const char* command;
    const char* says;
    bool driveMapping; // uses the Linux drive mapping
};
std::span<const TExample> Examples();

// One exit status and when the program ends with it.
struct TExitStatus {
    int status;
    const char* when;
};
std::span<const TExitStatus> ExitStatuses();

// A titled section of prose, each paragraph one string.
struct TSection {
    const char* title;
    std::span<const char* const> paragraphs;
    bool driveMapping;
};

namespace option_text {
extern const char* const kSummary;     // one line: what the program is
extern const char* const kDescription; // what it does
extern const char* const kFolder;      // the FOLDER operand
// The sections after the options: the verdict, the formats, the drive letters, signals.
std::span<const TSection> Sections();
} // namespace option_text
